# Install rules and the CMake package: find_package(Kelvo CONFIG REQUIRED)
# gives Kelvo::Kelvo (chart and axis, no GUI toolkit) and, where Kelvo was
# built with Qt, Kelvo::Qt (the Qt host). Headers go to include/kelvo/. A
# pkg-config file (kelvo.pc) describes the chart and axis for other builds.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KELVO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kelvo)
set_target_properties(vexa_platform PROPERTIES EXPORT_NAME Platform)
set_target_properties(vexa_base PROPERTIES EXPORT_NAME Base)
set_target_properties(vexa_scale PROPERTIES EXPORT_NAME Scale)
set_target_properties(vexa_chart PROPERTIES EXPORT_NAME Chart)
set(KELVO_EXPORTED vexa_platform vexa_base vexa_scale vexa_chart kelvo)
set(KELVO_WITH_QT OFF)
if(TARGET kelvo_qt)
  set_target_properties(vexa_qt PROPERTIES EXPORT_NAME QtHost)
  list(APPEND KELVO_EXPORTED vexa_qt kelvo_qt)
  set(KELVO_WITH_QT ON)
endif()

install(TARGETS ${KELVO_EXPORTED} EXPORT KelvoTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
set(KELVO_HEADER_DIRS platform base scale chart)
if(KELVO_WITH_QT)
  list(APPEND KELVO_HEADER_DIRS qt)
endif()
foreach(dir ${KELVO_HEADER_DIRS})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/kelvo/${dir} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelvo
          FILES_MATCHING PATTERN "*.h")
endforeach()
install(EXPORT KelvoTargets NAMESPACE Kelvo:: DESTINATION ${KELVO_CMAKE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/KelvoConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/KelvoConfig.cmake
                              INSTALL_DESTINATION ${KELVO_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KelvoConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KelvoConfig.cmake ${PROJECT_BINARY_DIR}/KelvoConfigVersion.cmake
        DESTINATION ${KELVO_CMAKE_DIR})

set(KELVO_PC_REQUIRES freetype2)
if(KELVO_FONTCONFIG)
  string(APPEND KELVO_PC_REQUIRES " fontconfig")
endif()
set(KELVO_PC_STB "")
if(STB_LIBRARY)
  set(KELVO_PC_STB "-lstb")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/kelvo.pc.in ${PROJECT_BINARY_DIR}/kelvo.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kelvo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
