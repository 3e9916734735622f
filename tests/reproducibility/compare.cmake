# Runs the reproducibility program and compares its lines with the expected file, naming every
# family whose hash differs; with -DREGENERATE=ON it writes the file from the output instead.
#   cmake -DPROGRAM=FILE [-DEMULATOR=FILE] -DEXPECTED=FILE [-DREGENERATE=ON] -P compare.cmake
set(regenerate_command "cmake --workflow --preset reproducibility-expected")

execute_process(COMMAND ${EMULATOR} ${PROGRAM} OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} failed (${status}):\n${output}${errors}")
endif()
# The Windows C runtime ends its lines with \r\n.
string(REPLACE "\r" "" output "${output}")

if(REGENERATE)
  file(WRITE ${EXPECTED}
    "# The hash of the output bits of every toolkit family on the fixed inputs of the program in\n"
    "# tests/reproducibility/: every build of the tree must print exactly these lines, and the test\n"
    "# `reproducibility` checks that in every build that runs tests. Written by the native GCC build;\n"
    "# when a change of bits is intended, regenerate it there with\n"
    "#   ${regenerate_command}\n"
    "${output}")
  message(STATUS "Wrote ${EXPECTED}")
  return()
endif()

# Sets <prefix>_names to the family names in `text`, in order, and <prefix>_<name> to each hash.
# Blank lines and lines starting with # are skipped; any other line must be "name hash".
function(read_hashes text prefix)
  string(REPLACE "\n" ";" lines "${text}")
  set(names "")
  foreach(line IN LISTS lines)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^([A-Za-z0-9_]+) ([0-9a-f]+)$")
      message(FATAL_ERROR "Not a line of family hashes: '${line}'")
    endif()
    list(APPEND names ${CMAKE_MATCH_1})
    set(${prefix}_${CMAKE_MATCH_1} ${CMAKE_MATCH_2} PARENT_SCOPE)
  endforeach()
  set(${prefix}_names ${names} PARENT_SCOPE)
endfunction()

file(READ ${EXPECTED} expected_text)
read_hashes("${expected_text}" expected)
read_hashes("${output}" actual)

set(report "")
set(differing "")
foreach(name IN LISTS expected_names)
  if(NOT DEFINED actual_${name})
    string(APPEND report "  ${name}: not printed by this build\n")
    list(APPEND differing ${name})
  elseif(NOT actual_${name} STREQUAL expected_${name})
    string(APPEND report "  ${name}: ${actual_${name}}, expected ${expected_${name}}\n")
    list(APPEND differing ${name})
  endif()
endforeach()
foreach(name IN LISTS actual_names)
  if(NOT DEFINED expected_${name})
    string(APPEND report "  ${name}: ${actual_${name}}, not in the expected file\n")
    list(APPEND differing ${name})
  endif()
endforeach()

list(LENGTH actual_names family_count)
if(differing)
  list(LENGTH differing differing_count)
  list(JOIN differing ", " differing)
  message(NOTICE
    "This build's output bits differ from ${EXPECTED} in ${differing_count} of ${family_count} "
    "families:\n${report}"
    "Every build of the tree must give the same bits. If the change is intended, regenerate the file on "
    "the native GCC build with\n  ${regenerate_command}\nand commit it with the change; every other build "
    "must then match it.")
  message(FATAL_ERROR "Output bits differ from the expected file in: ${differing}")
endif()
message(STATUS "All ${family_count} families give the expected bits.")
