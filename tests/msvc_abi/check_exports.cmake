# Prints and checks the export table of the plugin module built in Microsoft's C++ ABI: the seven
# module functions under plain names, the class members a host may link to under their decorated
# names, and nothing besides members of the two classes.
#   cmake -DMODULE=lotwright.dll -DREADOBJ=llvm-readobj -P check_exports.cmake
cmake_minimum_required(VERSION 3.25)
set(required
  createPlugin getPluginName getPluginDescription getAuthor getHelpFile getPluginVersion getGUIScript
  "??0CNZTPluginInterface@@QEAA@XZ"               # default constructor
  "??0CNZTPluginInterface@@QEAA@AEBV0@@Z"         # copy constructor
  "??4CNZTPluginInterface@@QEAAAEAV0@AEBV0@@Z"    # copy assignment
  "??1CNZTPluginInterface@@UEAA@XZ"               # virtual destructor
  "??_7CNZTPluginInterface@@6B@"                  # virtual table
  "??0lotwright@@QEAA@XZ"
  "??1lotwright@@UEAA@XZ"
  "?execute@lotwright@@UEAA_NXZ"
  "?initPlugin@lotwright@@UEAA_NXZ")

execute_process(COMMAND ${READOBJ} --coff-exports ${MODULE} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot list the exports of ${MODULE} with '${READOBJ}'")
endif()
# Each export is listed with a line "Name: <name>"; an unnamed ordinal has an empty name.
string(REGEX MATCHALL "Name: [^\n]+" exports "${listing}")
list(TRANSFORM exports REPLACE "^Name: " "")

message(STATUS "Exports of ${MODULE}:")
foreach(name IN LISTS exports)
  message(STATUS "  ${name}")
endforeach()
foreach(name IN LISTS required)
  if(NOT name IN_LIST exports)
    message(SEND_ERROR "${name} is not exported")
  endif()
endforeach()
foreach(name IN LISTS exports)
  if(NOT name IN_LIST required AND NOT name MATCHES "(CNZTPluginInterface|lotwright)@@")
    message(SEND_ERROR "unexpected export: ${name}")
  endif()
endforeach()
