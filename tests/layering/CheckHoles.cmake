# Runs the layer check over the small tree in holes/, where driver/ reaches up into
# dialog/ in every way the check must see, and compares the faults it reports with the
# list below: each is reported, and nothing else (Angle.cpp's first four includes are
# allowed).
#
#   cmake -DCHECK=<cmake/CheckLayers.cmake> -P CheckHoles.cmake

set(expected
    [[driver/Angle.cpp: driver/ may not include <dialog/Up.h> (dialog/ is not below it)]]
    [[driver/Angle.cpp: driver/ may not include <./dialog/Up.h> (dialog/ is not below it)]]
    [[driver/Angle.cpp: <../dialog/dialog/Up.h> climbs out of its folder]]
    [[driver/Angle.cpp: <driver/../dialog/Up.h> climbs out of its folder]]
    [[driver/Angle.cpp: <driver\..\dialog\Up.h> climbs out of its folder]]
    [[driver/Angle.cpp: "driver/..dialog/Up.h" climbs out of its folder]]
    [[driver/Angle.cpp: </work/dialog/Up.h> is an absolute path]]
    [[driver/Angle.cpp: "#include UP_HEADER" names no path the check can read]])
foreach(extension cc cxx c++ inc ipp tpp hpp hh hxx h++ ixx cppm)
    list(APPEND expected
        "driver/Up.${extension}: driver/ may not include \"dialog/Up.h\" (dialog/ is not below it)")
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}/holes
    -P ${CHECK} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
set(faults "")
foreach(fault IN LISTS expected)
    string(FIND "${output}" "  ${fault}\n" at)
    if(at EQUAL -1)
        list(APPEND faults "not reported: ${fault}")
    endif()
endforeach()
string(REGEX MATCHALL "\n +driver/[^\n]*" reported "${output}")
list(LENGTH reported reportedCount)
list(LENGTH expected expectedCount)
if(result EQUAL 0 OR NOT reportedCount EQUAL expectedCount)
    list(APPEND faults "${reportedCount} faults reported, ${expectedCount} expected")
endif()
if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "The layer check missed holes:\n  ${text}\nIts output:\n${output}")
endif()
