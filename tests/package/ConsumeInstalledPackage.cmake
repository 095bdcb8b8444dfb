# Installs this build into a fresh prefix, then configures, builds and runs
# the headless example as a separate project that finds Kelvo only through
# find_package(Kelvo CONFIG REQUIRED) in that prefix.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... [-DWITH_QT=1] -P ConsumeInstalledPackage.cmake
file(REMOVE_RECURSE ${WORK_DIR})
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${out}")
  endif()
endfunction()
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
set(headers kelvo/chart/Vexa_kelvo.h kelvo/platform/Bitmap.h kelvo/scale/Vexa_Scale.h)
if(WITH_QT)
  list(APPEND headers kelvo/qt/KelvoWidget.h kelvo/qt/QtHost.h)
endif()
foreach(header ${headers})
  if(NOT EXISTS ${WORK_DIR}/prefix/include/${header})
    message(FATAL_ERROR "not installed: include/${header}")
  endif()
endforeach()
# The Qt host is a layer above the chart, not a part of the platform.
if(EXISTS ${WORK_DIR}/prefix/include/kelvo/platform/qt)
  message(FATAL_ERROR "the Qt host was installed under include/kelvo/platform")
endif()
run("configure the consumer" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/headless
    -B ${WORK_DIR}/consumer -G Ninja -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
    -DCMAKE_BUILD_TYPE=Release)
run("build the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/consumer)
run("run the consumer" ${WORK_DIR}/consumer/headless_chart ${WORK_DIR}/chart.png)
if(NOT EXISTS ${WORK_DIR}/chart.png)
  message(FATAL_ERROR "the consumer wrote no picture")
endif()
# The same program built by the compiler alone, with pkg-config's flags.
file(GLOB pc_file ${WORK_DIR}/prefix/*/pkgconfig/kelvo.pc ${WORK_DIR}/prefix/*/*/pkgconfig/kelvo.pc)
if(NOT pc_file)
  message(FATAL_ERROR "not installed: kelvo.pc")
endif()
get_filename_component(pc_dir ${pc_file} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
execute_process(COMMAND pkg-config --cflags --libs kelvo RESULT_VARIABLE result
                OUTPUT_VARIABLE flags ERROR_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pkg-config kelvo failed:\n${flags}")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run("build with pkg-config" c++ -std=c++20 ${SOURCE_DIR}/examples/headless/HeadlessChart.cpp
    -o ${WORK_DIR}/headless-pc ${flags})
run("run the pkg-config build" ${WORK_DIR}/headless-pc ${WORK_DIR}/chart-pc.png)
message(STATUS "1 passed, 0 failed")
