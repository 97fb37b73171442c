# Runs a harness once over every file in a regression folder:
#   cmake -DHARNESS=<executable> -DINPUTS=<folder> -P run_regressions.cmake
# Given files rather than folders, libFuzzer executes each and exits.
file(GLOB inputs LIST_DIRECTORIES false "${INPUTS}/*")
list(LENGTH inputs count)
if(count EQUAL 0)
  message(FATAL_ERROR "no regression inputs in ${INPUTS}")
endif()
execute_process(COMMAND "${HARNESS}" ${inputs} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${HARNESS} failed on a regression input (status ${status})")
endif()
message(STATUS "${count} regression inputs pass")
