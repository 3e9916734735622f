# Checks the plugin module's export table: the seven module functions under plain names and,
# besides them, only members of the two exported classes.
#   cmake -DMODULE=<lotwright.so|lotwright.dll> -DLISTER=<nm|objdump> -P check_exports.cmake
cmake_minimum_required(VERSION 3.25)
set(module_functions createPlugin getPluginName getPluginDescription getAuthor getHelpFile
    getPluginVersion getGUIScript)

if(MODULE MATCHES "\\.dll$")
  execute_process(COMMAND ${LISTER} -p ${MODULE} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  # Export names stand in the "[Ordinal/Name Pointer] Table" as lines "\t[  N] name".
  string(REGEX REPLACE ".*\\[Ordinal/Name Pointer\\] Table\n" "" listing "${listing}")
  string(REGEX REPLACE "\n\n.*" "" listing "${listing}")
  string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" entries "${listing}")
  list(TRANSFORM entries REPLACE "\t\\[ *[0-9]+\\] " "")
else()
  execute_process(COMMAND ${LISTER} -D --defined-only --format=posix ${MODULE}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  string(REGEX MATCHALL "(^|\n)[^ \n]+" entries "${listing}")
  list(TRANSFORM entries STRIP)
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list the exports of ${MODULE}")
endif()

foreach(name IN LISTS module_functions)
  if(NOT name IN_LIST entries)
    message(SEND_ERROR "${name} is not exported under its plain name")
  endif()
endforeach()
foreach(name IN LISTS entries)
  if(NOT name IN_LIST module_functions AND NOT name MATCHES "19CNZTPluginInterface|9lotwright")
    message(SEND_ERROR "unexpected export: ${name}")
  endif()
endforeach()
list(LENGTH entries count)
message(STATUS "${MODULE}: ${count} exports checked")
