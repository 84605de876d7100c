# The deployment check finds what a user's Windows would lack and what does not belong:
# the deployed folder passes, and each fault made in it is reported.
#
#   cmake -DCONFIG=<deploy-config.cmake> -DWORK=<scratch folder>
#         -DSCRIPT=<cmake/WindowsDeploy.cmake> -P DeployCheck.cmake
cmake_minimum_required(VERSION 3.25)

# The faults are made in a deployment of the test's own.
set(dest "${WORK}/Skyfetch")
file(REMOVE_RECURSE "${WORK}")

function(run mode expected_status expected_text)
    execute_process(COMMAND ${CMAKE_COMMAND} -DMODE=${mode} "-DCONFIG=${CONFIG}"
        "-DDEST=${dest}" ${ARGN} -P "${SCRIPT}"
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(expected_status EQUAL 0 AND NOT status EQUAL 0)
        message(FATAL_ERROR "${mode} should pass:\n${out}")
    endif()
    if(NOT expected_status EQUAL 0 AND status EQUAL 0)
        message(FATAL_ERROR "${mode} should fail with '${expected_text}':\n${out}")
    endif()
    string(REGEX REPLACE "[ \n]+" " " flat "${out}")
    if(NOT flat MATCHES "${expected_text}")
        message(FATAL_ERROR "${mode}: '${expected_text}' not reported:\n${out}")
    endif()
endfunction()

run(deploy 0 "complete and exact")
file(GLOB dlls RELATIVE "${dest}" "${dest}/*.dll")
foreach(needed Qt6Core.dll Qt6Widgets.dll Qt6OpenGLWidgets.dll Qt6Svg.dll libstdc\\+\\+-6.dll
        libwinpthread-1.dll)
    if(NOT dlls MATCHES "${needed}")
        message(FATAL_ERROR "${needed} was not deployed: ${dlls}")
    endif()
endforeach()
# Imported by nobody: Qt's test library is in the search folders but not needed.
if(dlls MATCHES "Qt6Test")
    message(FATAL_ERROR "Qt6Test.dll was deployed although nothing imports it")
endif()

# A DLL nobody imports, and a plugin not on the list.
file(COPY_FILE "${dest}/libgcc_s_seh-1.dll" "${dest}/stray.dll")
run(check 1 "extra: stray.dll")
file(REMOVE "${dest}/stray.dll")
# A file that is no DLL at all, under a DLL's name.
file(WRITE "${dest}/broken.dll" "")
run(check 1 "broken.dll is no program or DLL")
file(REMOVE "${dest}/broken.dll")
file(COPY "${dest}/plugins/platforms/qwindows.dll" DESTINATION "${dest}/plugins/imageformats")
run(check 1 "extra: plugins/imageformats/qwindows.dll")
file(REMOVE_RECURSE "${dest}/plugins/imageformats")

# A DLL a Qt library needs, gone.
file(RENAME "${dest}/Qt6Svg.dll" "${WORK}/Qt6Svg.dll")
run(check 1 "imports Qt6Svg.dll, which is missing")
file(RENAME "${WORK}/Qt6Svg.dll" "${dest}/Qt6Svg.dll")

# A DLL that only Wine's folder holds: here the C++ run-time, with its folder in Wine's
# place.
file(RENAME "${dest}/libstdc++-6.dll" "${WORK}/libstdc++-6.dll")
run(check 1 "imports libstdc\\+\\+-6.dll, which only Wine provides" "-DWINE_DLL_DIR=${WORK}")
file(RENAME "${WORK}/libstdc++-6.dll" "${dest}/libstdc++-6.dll")

# A plugin on the list, gone.
file(REMOVE "${dest}/plugins/styles/qwindowsvistastyle.dll")
run(check 1 "missing: plugins/styles/qwindowsvistastyle.dll")

file(REMOVE_RECURSE "${WORK}")
