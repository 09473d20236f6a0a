# Sanitizer build of the core library and its tests (make test runs it in build-asan after
# the normal tests): memory errors and undefined behaviour stop the test binary at the
# first finding. Only the core targets get the flags; the widget targets are not built
# in that folder.
option(LUMICUT_SANITIZE "Build lumicut_core and lumicut_core_tests with ASan and UBSan" OFF)
if(LUMICUT_SANITIZE)
  set(LUMICUT_SANITIZE_FLAGS
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(lumicut_core PRIVATE ${LUMICUT_SANITIZE_FLAGS})
  target_compile_options(lumicut_core_tests PRIVATE ${LUMICUT_SANITIZE_FLAGS})
  # Everything that links the core needs the sanitizer runtimes.
  target_link_options(lumicut_core INTERFACE -fsanitize=address,undefined)
  set_property(TEST core APPEND PROPERTY ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()
