# cmake -DPROGRAM=exe -DTEMPLATE=page.1.in -DVERSION=x -DOUTPUT=page.1.gz -P ManPage.cmake
# Writes a manual page (gzip-compressed) from a roff template in which
# @HELP@ stands for the program's own --help text, so the page cannot drift
# from the program. @VERSION@ and @DATE@ are filled in too.
cmake_minimum_required(VERSION 3.25) # new evaluation rules: "@HELP@" stays plain text
foreach(var PROGRAM TEMPLATE VERSION OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "ManPage.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()

# roff: a backslash is written \e and '-' as \- (a minus sign, as options
# are typed); a line starting with '.' or ' is protected with \&.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")

file(READ "${TEMPLATE}" page)
string(TIMESTAMP DATE "%Y-%m-%d" UTC) # SOURCE_DATE_EPOCH, when set, fixes it
string(REPLACE "@HELP@" ".nf\n${help}.fi" page "${page}")
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
string(REPLACE "@DATE@" "${DATE}" page "${page}")

get_filename_component(plain "${OUTPUT}" NAME_WLE)
get_filename_component(dir "${OUTPUT}" DIRECTORY)
file(WRITE "${dir}/${plain}" "${page}")
# gzip -n: no name or time stamp, so the page is reproducible.
execute_process(COMMAND gzip -9 -n -f "${dir}/${plain}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed for ${dir}/${plain}")
endif()
