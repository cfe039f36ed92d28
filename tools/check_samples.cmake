# Runs the generator into OUT_DIR and compares every file it writes with the one in SAMPLES_DIR.
execute_process(COMMAND ${GENERATOR} ${OUT_DIR} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "varnex-make-samples failed: ${status}")
endif()
foreach(name knight_ref.smd runner_ref.smd runner_walk.smd)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT_DIR}/${name}
    ${SAMPLES_DIR}/${name} RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    message(FATAL_ERROR "samples/${name} differs from what tools/make_samples.cpp writes: "
      "run varnex-make-samples samples/ and check the change in")
  endif()
endforeach()
