# Fails when a file of the core includes a layer above its own. The layers, from the bottom:
# settings, metadata, naming, engine, batch; a file under src/<layer>/ may include its own
# layer and those below it. Quoted, angled and relative ("../engine/...") includes all count.
#
#   cmake -DSOURCE_DIR=<folder holding src/> -P cmake/CheckCoreLayers.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT IS_DIRECTORY "${SOURCE_DIR}/src")
  message(FATAL_ERROR "core layers: no src/ folder under '${SOURCE_DIR}'")
endif()

set(layers settings metadata naming engine batch)
list(LENGTH layers count)
math(EXPR belowTop "${count} - 2") # the top layer may include every other
set(violations "")
foreach(level RANGE ${belowTop})
  list(GET layers ${level} layer)
  math(EXPR next "${level} + 1")
  list(SUBLIST layers ${next} -1 above)
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}"
    "${SOURCE_DIR}/src/${layer}/*")
  foreach(file IN LISTS files)
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      foreach(higher IN LISTS above)
        if(line MATCHES "[\"<](\\.\\./)*${higher}/")
          string(APPEND violations "\n  ${file} includes ${higher}/: ${line}")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR
    "core layers: a file includes a layer above its own "
    "(settings <- metadata <- naming <- engine <- batch):${violations}")
endif()
