# Configures tests/package/subproject (Kelvo through FetchContent), builds
# its program and runs it.
#   cmake -DSOURCE_DIR=... -DWORK_DIR=... -P BuildAsSubproject.cmake
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${out}")
  endif()
endfunction()
run("configure" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/package/subproject -B ${WORK_DIR} -G Ninja
    -DKELVO_SOURCE=${SOURCE_DIR} -DCMAKE_BUILD_TYPE=Release)
run("build" ${CMAKE_COMMAND} --build ${WORK_DIR} --target headless_chart -j 2)
run("run" ${WORK_DIR}/headless_chart ${WORK_DIR}/chart.png)
message(STATUS "1 passed, 0 failed")
