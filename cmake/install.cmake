# `cmake --install` puts the toolkit's headers and library, the plugin module and a package
# config in place, so that plugin code elsewhere can say find_package(numerics).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS numerics EXPORT numericsTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/numerics)
install(EXPORT numericsTargets NAMESPACE numerics::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/numerics)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/numericsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/numericsConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/numerics)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/numericsConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/numericsConfig.cmake ${PROJECT_BINARY_DIR}/numericsConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/numerics)
if(TARGET lotwright)
  install(TARGETS lotwright LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
