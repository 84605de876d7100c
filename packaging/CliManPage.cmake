# Makes the skyfetch-cli(1) manual page with help2man (packaging/CMakeLists.txt runs it):
#
#   cmake -DHELP2MAN=... -DCLI=... -DINCLUDE=skyfetch-cli.h2m -DWORK=FILE.h2m -DNAME=...
#         -DEPOCH=... -DOUTPUT=skyfetch-cli.1 -P CliManPage.cmake
#
# help2man puts what --version prints after its first line at the end of the page's last
# section, where the "Climate data:" line would read as part of FILES. Here help2man gets
# only the first line as the version, and the rest goes into a section DATA of its own
# through an include file WORK: INCLUDE with that section added. help2man places such a
# section after OPTIONS.
foreach(_var HELP2MAN CLI INCLUDE WORK NAME EPOCH OUTPUT)
    if(NOT DEFINED ${_var})
        message(FATAL_ERROR "CliManPage.cmake needs -D${_var}=...")
    endif()
endforeach()

execute_process(COMMAND "${CLI}" --version
    OUTPUT_VARIABLE _version RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
    message(FATAL_ERROR "${CLI} --version failed (${_status})")
endif()
string(REGEX REPLACE "\n+$" "" _version "${_version}")
string(FIND "${_version}" "\n" _end)
if(_end LESS 0)
    message(FATAL_ERROR "${CLI} --version names no climate data: ${_version}")
endif()
string(SUBSTRING "${_version}" 0 ${_end} _first)
math(EXPR _end "${_end} + 1")
string(SUBSTRING "${_version}" ${_end} -1 _data)
if(NOT _data MATCHES "^Climate data: ")
    message(FATAL_ERROR "The second line of ${CLI} --version is not \"Climate data: ...\": ${_data}")
endif()

# The lines as roff text, escaped as help2man escapes what it reads: backslashes and
# hyphens, and a dot or apostrophe that would start a line as a request; one line each.
string(REPLACE "\\" "\\e" _data "${_data}")
string(REPLACE "-" "\\-" _data "${_data}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" _data "${_data}")
string(REPLACE "\n" "\n.br\n" _data "${_data}")

file(READ "${INCLUDE}" _include)
file(WRITE "${WORK}" "${_include}\n[DATA]\n${_data}\n")

set(ENV{SOURCE_DATE_EPOCH} "${EPOCH}")
execute_process(COMMAND "${HELP2MAN}" --no-info --section=1 "--name=${NAME}"
        "--include=${WORK}" "--version-string=${_first}" "--output=${OUTPUT}" "${CLI}"
    RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
    message(FATAL_ERROR "help2man failed (${_status}) on ${CLI}")
endif()
