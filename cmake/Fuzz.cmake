# libFuzzer targets under fuzz/ (make fuzz configures a separate folder with clang and this
# option on). The core library is built with coverage, ASan and UBSan; every fuzz/*Fuzz.cpp
# becomes one fuzz program of the same name.
option(LUMICUT_FUZZ "Build the libFuzzer targets of fuzz/ (needs clang)" OFF)
if(LUMICUT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LUMICUT_FUZZ needs clang: configure with CXX=clang++")
  endif()
  set(LUMICUT_FUZZ_FLAGS
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_compile_options(lumicut_core PRIVATE ${LUMICUT_FUZZ_FLAGS})
  target_link_options(lumicut_core INTERFACE -fsanitize=address,undefined)

  # Seed builders and checkers shared with the tests.
  add_library(lumicut_fuzz_support STATIC
    fuzz/SeedWriter.cpp tests/support/PhotoFixtures.cpp fuzz/ParamScript.cpp)
  target_include_directories(lumicut_fuzz_support PUBLIC fuzz tests)
  target_compile_options(lumicut_fuzz_support PRIVATE ${LUMICUT_FUZZ_FLAGS})
  target_link_libraries(lumicut_fuzz_support PUBLIC lumicut_core)

  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*Fuzz.cpp)
  foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_options(${name} PRIVATE
      -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE lumicut_fuzz_support)
    set_target_properties(${name} PROPERTIES AUTOMOC OFF)
    list(APPEND LUMICUT_FUZZ_TARGETS ${name})
  endforeach()
  add_custom_target(fuzz_targets DEPENDS ${LUMICUT_FUZZ_TARGETS})
endif()
