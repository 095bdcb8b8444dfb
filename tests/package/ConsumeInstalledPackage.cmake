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
message(STATUS "1 passed, 0 failed")
