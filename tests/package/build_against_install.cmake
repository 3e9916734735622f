# Installs the toolkit and the plugin components of a build, each into a prefix of its own under
# WORK_DIR, checks what each holds, then builds EXAMPLE_DIR against the toolkit with CMake and
# with pkg-config and runs both programs. With SOURCE_DIR instead of BUILD_DIR it first makes a
# shared build of SOURCE_DIR (toolkit and module) without GoogleTest.
file(REMOVE_RECURSE ${WORK_DIR})

function(run_step)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGV}\nfailed (${result}):\n${output}")
  endif()
  message("${output}")
endfunction()

# Runs a command and puts its standard output in the variable.
function(output_of variable)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN}\nfailed (${result}):\n${error}")
  endif()
  set(${variable} "${output}" PARENT_SCOPE)
endfunction()

function(expect condition_text)
  if(NOT (${ARGN}))
    message(FATAL_ERROR "expected ${condition_text}")
  endif()
endfunction()

set(shared OFF)
if(SOURCE_DIR)
  set(shared ON)
  set(BUILD_DIR ${WORK_DIR}/build)
  run_step(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G ${GENERATOR} -DBUILD_SHARED_LIBS=ON
           -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DLOTWRIGHT_BUILD_HOST=OFF
           -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
  run_step(${CMAKE_COMMAND} --build ${BUILD_DIR} --target numerics_shared lotwright --parallel 2)
endif()

# The components, each alone.
set(toolkit ${WORK_DIR}/toolkit)
set(plugin ${WORK_DIR}/plugin)
run_step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${toolkit} --component toolkit)
run_step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${plugin} --component plugin)

file(GLOB_RECURSE plugin_files RELATIVE ${plugin} ${plugin}/*)
expect("the plugin component to hold the module alone, not: ${plugin_files}" plugin_files MATCHES "^lib/lotwright\\.so$")
file(GLOB_RECURSE toolkit_files RELATIVE ${toolkit} ${toolkit}/*)
expect("no module in the toolkit component" NOT toolkit_files MATCHES "lotwright")
expect("no internal header in the toolkit component" NOT toolkit_files MATCHES "detail")
file(STRINGS ${toolkit}/include/numerics/version.h version_line REGEX "NUMERICS_VERSION_STRING")
expect("numerics/version.h to say ${VERSION}, not ${version_line}" version_line MATCHES "\"${VERSION}\"$")
set(shared_libraries ${toolkit_files})
list(FILTER shared_libraries INCLUDE REGEX "^lib/libnumerics\\.so")
set(static_libraries ${toolkit_files})
list(FILTER static_libraries INCLUDE REGEX "^lib/libnumerics\\.a$")
if(shared)
  expect("a shared library alone: ${toolkit_files}" shared_libraries AND NOT static_libraries)
else()
  expect("a static library alone: ${toolkit_files}" static_libraries AND NOT shared_libraries)
endif()

if(shared)
  # The shared library exports the functions and the variable that the headers mark NUMERICS_API,
  # and nothing else.
  file(GLOB headers ${toolkit}/include/numerics/*.h)
  list(FILTER headers EXCLUDE REGEX "/export\\.h$")
  set(marked 0)
  foreach(header IN LISTS headers)
    file(STRINGS ${header} lines REGEX "NUMERICS_API")
    list(LENGTH lines count)
    math(EXPR marked "${marked} + ${count}")
  endforeach()
  output_of(exports ${NM} -D --defined-only --demangle ${toolkit}/lib/libnumerics.so)
  string(REGEX REPLACE "\n" ";" exports "${exports}")
  list(LENGTH exports exported)
  foreach(line IN LISTS exports)
    expect("only public toolkit symbols exported, not: ${line}" line MATCHES " numerics::" AND NOT line MATCHES "numerics::detail")
  endforeach()
  expect("${marked} exported symbols, as many as the headers mark, not ${exported}" exported EQUAL marked)

  # The module links the toolkit in: it does not need the shared library.
  output_of(module_headers ${OBJDUMP} -p ${BUILD_DIR}/plugin/lotwright.so)
  expect("a module that does not need libnumerics" NOT module_headers MATCHES "NEEDED +libnumerics")
endif()

# An outside project with CMake: find_package(numerics).
run_step(${CMAKE_COMMAND} -S ${EXAMPLE_DIR} -B ${WORK_DIR}/cmake_consumer -G ${GENERATOR}
         -DCMAKE_PREFIX_PATH=${toolkit} -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
run_step(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake_consumer)
output_of(cmake_run ${WORK_DIR}/cmake_consumer/toolkit_example)
expect("the program to report numerics ${VERSION}:\n${cmake_run}" cmake_run MATCHES "^numerics ${VERSION}\n")

# An outside project with pkg-config: numerics.pc.
set(ENV{PKG_CONFIG_PATH} ${toolkit}/lib/pkgconfig)
output_of(pc_version ${PKG_CONFIG} --modversion numerics)
expect("numerics.pc to say ${VERSION}, not ${pc_version}" pc_version STREQUAL VERSION)
output_of(pc_flags ${PKG_CONFIG} --cflags --libs numerics)
if(shared)
  expect("the consumer of a shared library to define NUMERICS_SHARED_LIBRARY: ${pc_flags}" pc_flags MATCHES "-DNUMERICS_SHARED_LIBRARY")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
file(MAKE_DIRECTORY ${WORK_DIR}/pkg_config_consumer)
run_step(${CXX_COMPILER} ${EXAMPLE_DIR}/toolkit_example.cpp ${pc_flags} -o ${WORK_DIR}/pkg_config_consumer/toolkit_example)
set(ENV{LD_LIBRARY_PATH} ${toolkit}/lib)
output_of(pc_run ${WORK_DIR}/pkg_config_consumer/toolkit_example)
expect("the same output from both programs:\n${cmake_run}\n---\n${pc_run}" pc_run STREQUAL cmake_run)
