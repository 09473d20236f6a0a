# Sanitizer build of the core library and its tests (make test runs it in build-asan after
# the normal tests): memory errors and undefined behaviour stop the test binary at the
# first finding. Only the core targets get the flags; the widget targets are not built
# in that folder.
option(LUMICUT_SANITIZE "Build lumicut_core and lumicut_core_tests with ASan and UBSan" OFF)
if(LUMICUT_SANITIZE)
  # -O1 -g1: quicker to build than the release flags, still fast to run, and line numbers
  # in the reports.
  set(LUMICUT_SANITIZE_FLAGS
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
    -O1 -g1)
  target_compile_options(lumicut_core PRIVATE ${LUMICUT_SANITIZE_FLAGS})
  # GCC's value-range warnings misfire on the instrumented code (sizes "up to 2^64").
  target_compile_options(lumicut_core_tests PRIVATE ${LUMICUT_SANITIZE_FLAGS}
    -Wno-stringop-overflow -Wno-array-bounds -Wno-format-truncation)
  # Everything that links the core needs the sanitizer runtimes.
  target_link_options(lumicut_core INTERFACE -fsanitize=address,undefined)
  set_property(TEST core APPEND PROPERTY ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()

# ThreadSanitizer check of the background work (save queue, decoding ahead, the full-size
# decode after a reduced first display). Kept small for the time `make test` may take: the
# sources that run on or hand data to the worker threads, and the tests that drive them, are
# compiled again with -fsanitize=thread; the rest of the core comes non-instrumented from
# lumicut_core (whose objects for those sources are then not linked). The threads hand
# everything over through std::mutex, which ThreadSanitizer sees; Qt's own locks it does not.
if(NOT LUMICUT_SANITIZE) # ASan and TSan do not mix
  set(LUMICUT_THREAD_SOURCES
    src/engine/WorkerThread.cpp src/engine/SaveQueue.cpp src/engine/PhotoPrefetch.cpp
    src/engine/PhotoDocument.cpp src/engine/Photo.cpp src/engine/JpegCodec.cpp
    src/naming/BackgroundScan.cpp)
  set(LUMICUT_THREAD_TESTS
    tests/engine/SaveQueueTest.cpp tests/engine/PhotoPrefetchTest.cpp
    tests/engine/PhotoDocumentBackgroundTest.cpp tests/support/PhotoFixtures.cpp
    tests/naming/BackgroundScanTest.cpp)
  add_executable(lumicut_thread_tests ${LUMICUT_THREAD_SOURCES} ${LUMICUT_THREAD_TESTS})
  # The meta-object code comes with lumicut_core; a second copy would clash.
  set_target_properties(lumicut_thread_tests PROPERTIES AUTOMOC OFF)
  target_include_directories(lumicut_thread_tests PRIVATE tests)
  target_compile_options(lumicut_thread_tests PRIVATE -fsanitize=thread -O1 -g1)
  target_link_options(lumicut_thread_tests PRIVATE -fsanitize=thread)
  target_link_libraries(lumicut_thread_tests PRIVATE lumicut_core Qt6::Test GTest::gtest
    GTest::gtest_main)
  add_dependencies(test_programs lumicut_thread_tests)
  add_test(NAME core_threads COMMAND lumicut_thread_tests)
  set_tests_properties(core_threads PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;TZ=UTC;TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
endif()
