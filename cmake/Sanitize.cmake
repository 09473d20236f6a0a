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
