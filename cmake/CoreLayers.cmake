# The core's include order, checked on the source tree (core_layers) and, so that the check
# itself is known to work, on small generated trees that break it in one way each
# (core_layers_catch_*) or keep it (core_layers_allow).
set(LUMICUT_LAYER_CHECK ${CMAKE_CURRENT_LIST_DIR}/CheckCoreLayers.cmake)
set(LUMICUT_LAYER_TREES ${CMAKE_BINARY_DIR}/core-layers)
file(REMOVE_RECURSE ${LUMICUT_LAYER_TREES})

function(lumicut_layer_test name tree)
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${LUMICUT_LAYER_CHECK})
endfunction()

# In a function, so that its variables stay out of the including scope.
function(lumicut_add_layer_tests)
  lumicut_layer_test(core_layers ${CMAKE_SOURCE_DIR})

  # Each row: name | file made under src/ | its include line | the layer it wrongly reaches.
  set(rows
    "naming_to_engine|naming/Bad.cpp|#include \"engine/Photo.h\"|engine"
    "metadata_to_engine|metadata/Bad.h|#include <engine/Photo.h>|engine"
    "metadata_to_naming|metadata/Bad.cpp|#  include \"naming/ShotDate.h\"|naming"
    "settings_to_metadata|settings/Bad.cpp|#include \"metadata/ExifBlock.h\"|metadata"
    "relative_path|naming/deep/Bad.cpp|#include \"../../engine/Photo.h\"|engine"
    "engine_to_batch|engine/Bad.cpp|#include \"batch/BatchPlan.h\"|batch")
  foreach(row IN LISTS rows)
    string(REPLACE "|" ";" fields "${row}")
    list(GET fields 0 name)
    list(GET fields 1 file)
    list(GET fields 2 line)
    list(GET fields 3 higher)
    file(WRITE ${LUMICUT_LAYER_TREES}/${name}/src/${file} "${line}\n")
    lumicut_layer_test(core_layers_catch_${name} ${LUMICUT_LAYER_TREES}/${name})
    string(REPLACE "." "\\." report "src/${file} includes ${higher}/")
    set_tests_properties(core_layers_catch_${name} PROPERTIES PASS_REGULAR_EXPRESSION "${report}")
  endforeach()

  # Downward includes, a comment naming a higher layer, and a folder whose name only ends like
  # one: none of them is reported.
  set(allowed ${LUMICUT_LAYER_TREES}/allow/src)
  file(WRITE ${allowed}/engine/Good.cpp
    "#include \"naming/ResultName.h\"\n"
    "#include \"metadata/ExifBlock.h\"\n"
    "#include \"settings/Settings.h\"\n")
  file(WRITE ${allowed}/naming/Good.cpp
    "#include \"metadata/ExifBlock.h\"\n"
    "// the photo's engine/Photo.h is not needed here\n")
  file(WRITE ${allowed}/metadata/Good.cpp
    "#include \"settings/Settings.h\"\n"
    "#include \"myengine/Other.h\"\n")
  file(WRITE ${allowed}/settings/Good.cpp "#include <QString>\n")
  file(WRITE ${allowed}/batch/Good.cpp
    "#include \"engine/Photo.h\"\n"
    "#include \"settings/Settings.h\"\n")
  lumicut_layer_test(core_layers_allow ${LUMICUT_LAYER_TREES}/allow)
endfunction()
lumicut_add_layer_tests()
