# A toolkit error whose handler returns ends the process as without a handler: the handler's
# line, the three-line report on standard error, exit status 1.
#   cmake -DPROGRAM=<toolkit_user_host> -DMODULE=<toolkit_user.dll> [-DEMULATOR=<wine>] -P check_default_exit.cmake
cmake_minimum_required(VERSION 3.25)
set(ENV{WINEDEBUG} -all)
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${MODULE} --returning-handler
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
set(expected "noted: n must be a power of two in complex_fft\nVellacourt run-time error...\n")
string(APPEND expected "n must be a power of two in complex_fft\n...now exiting to system...\n")
# The emulator may say something of its own first.
string(LENGTH "${errors}" length)
string(LENGTH "${expected}" expected_length)
math(EXPR start "${length} - ${expected_length}")
if(start LESS 0)
  set(start 0)
endif()
string(SUBSTRING "${errors}" ${start} -1 ending)
if(NOT status EQUAL 1 OR NOT ending STREQUAL expected)
  message(FATAL_ERROR "status ${status}, output:\n${output}\nstandard error:\n${errors}\nexpected status 1 and:\n${expected}")
endif()
