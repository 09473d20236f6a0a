# Names in the code follow the rules of .clang-tidy (Qt habits: classes CamelCase, functions
# and methods camelBack, data members m_camelBack, constants kCamelCase). The check reads
# every header of src/ through one generated source file, so it costs one compilation; the
# source files were brought to the same rules and keep them by example.
find_program(LUMICUT_CLANG_TIDY NAMES clang-tidy clang-tidy-14)
if(LUMICUT_CLANG_TIDY)
  file(GLOB_RECURSE LUMICUT_ALL_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.h)
  list(SORT LUMICUT_ALL_HEADERS)
  set(LUMICUT_ALL_HEADERS_TU "")
  foreach(header ${LUMICUT_ALL_HEADERS})
    string(APPEND LUMICUT_ALL_HEADERS_TU "#include \"${header}\"\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/naming/AllHeaders.cpp CONTENT "${LUMICUT_ALL_HEADERS_TU}")
  # Never built; it only gives the generated file its flags in compile_commands.json.
  add_library(lumicut_naming_check OBJECT EXCLUDE_FROM_ALL ${CMAKE_BINARY_DIR}/naming/AllHeaders.cpp)
  target_link_libraries(lumicut_naming_check PRIVATE lumicut_ui lumicut_core)
  set_target_properties(lumicut_naming_check PROPERTIES AUTOMOC OFF)
  add_test(NAME naming
    COMMAND ${LUMICUT_CLANG_TIDY} --quiet -p ${CMAKE_BINARY_DIR}
            --config-file=${CMAKE_SOURCE_DIR}/.clang-tidy
            ${CMAKE_BINARY_DIR}/naming/AllHeaders.cpp)
endif()
