# Runs a resource generator and checks that its output, a file or a folder of
# files, is the committed one: the same names and the same bytes.
# cmake -DGENERATOR=exe -DCOMMITTED=res/file -DOUTPUT=build/file -P check_generated.cmake
file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${result}")
endif()
execute_process(COMMAND diff -r ${OUTPUT} ${COMMITTED} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${COMMITTED} is not what ${GENERATOR} makes: run it and commit the output")
endif()
