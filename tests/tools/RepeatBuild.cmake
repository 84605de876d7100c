# Runs the data builder a second time into a folder of its own and compares the result
# byte for byte with the blocks of the build: the same inputs must give the same bytes.
# Expects BUILDER, ARGS (the source arguments, |-separated), WORK_DIR, ARCHIVE, GLOBE.
string(REPLACE "|" ";" ARGS "${ARGS}")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(
    COMMAND "${BUILDER}" ${ARGS} --archive "${WORK_DIR}/climate-archive.bin"
            --globe "${WORK_DIR}/globe-data.bin"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "second builder run failed (${result}):\n${output}${errors}")
endif()
foreach(name climate-archive.bin globe-data.bin)
    if(name STREQUAL "climate-archive.bin")
        set(reference "${ARCHIVE}")
    else()
        set(reference "${GLOBE}")
    endif()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK_DIR}/${name}"
                            "${reference}"
                    RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
        message(FATAL_ERROR "${name} differs between two runs on the same sources")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
