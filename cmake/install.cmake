# `cmake --install` puts two components in place:
#   toolkit  the toolkit's headers and library, a CMake package (find_package(numerics)) and a
#            pkg-config file (numerics.pc);
#   plugin   the plugin module.
# `cmake --install BUILD --component toolkit` installs the toolkit alone.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

if(BUILD_SHARED_LIBS)
  set(toolkit_library numerics_shared)
else()
  set(toolkit_library numerics)
endif()
set(toolkit_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/numerics)
set(toolkit_pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS ${toolkit_library} EXPORT numericsTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT toolkit
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT toolkit NAMELINK_COMPONENT toolkit
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT toolkit
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/numerics/ ${PROJECT_BINARY_DIR}/numerics/generated/numerics/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/numerics COMPONENT toolkit
  FILES_MATCHING PATTERN "*.h" PATTERN "detail" EXCLUDE)

install(EXPORT numericsTargets NAMESPACE numerics:: DESTINATION ${toolkit_package_dir} COMPONENT toolkit)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/numericsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/numericsConfig.cmake
  INSTALL_DESTINATION ${toolkit_package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/numericsConfigVersion.cmake
  VERSION ${NUMERICS_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/numericsConfig.cmake ${PROJECT_BINARY_DIR}/numericsConfigVersion.cmake
  DESTINATION ${toolkit_package_dir} COMPONENT toolkit)

# numerics.pc finds the prefix from its own place, so the package may be installed anywhere.
file(RELATIVE_PATH toolkit_pc_prefix /prefix/${toolkit_pkgconfig_dir} /prefix)
string(REGEX REPLACE "/$" "" toolkit_pc_prefix ${toolkit_pc_prefix})
set(toolkit_pc_cflags "")
set(toolkit_pc_libs "")
set(toolkit_pc_libs_private "")
if(NOT MSVC)
  set(toolkit_pc_libs_private " -lm")
endif()
if(BUILD_SHARED_LIBS)
  set(toolkit_pc_cflags " -DNUMERICS_SHARED_LIBRARY")
else()
  set(toolkit_pc_libs "${toolkit_pc_libs_private}")
  set(toolkit_pc_libs_private "")
endif()
if(LOTWRIGHT_SANITIZE)
  string(APPEND toolkit_pc_libs " -fsanitize=address,undefined")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/numerics.pc.in ${PROJECT_BINARY_DIR}/numerics.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/numerics.pc DESTINATION ${toolkit_pkgconfig_dir} COMPONENT toolkit)

# A sanitizer build makes a package whose consumers need the sanitizer runtime; the CMake package
# and numerics.pc add it to their link.
if(LOTWRIGHT_SANITIZE)
  install(CODE "message(STATUS \"numerics is built with AddressSanitizer and UndefinedBehaviorSanitizer: \"
    \"programs that link it need -fsanitize=address,undefined (the CMake package and numerics.pc add it)\")"
    COMPONENT toolkit)
endif()

if(TARGET lotwright)
  install(TARGETS lotwright
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT plugin
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT plugin)
endif()
