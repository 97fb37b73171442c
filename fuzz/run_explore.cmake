# Runs a harness for a fixed time from its regression inputs and reports how
# many inputs it tried:
#   cmake -DHARNESS=<executable> -DSECONDS=<n> -DCORPUS=<scratch folder>
#         -DSEEDS=<regression folder> -DARTIFACTS=<prefix> -DLOG=<file>
#         -P run_explore.cmake
# New inputs go to CORPUS; SEEDS is only read.  The whole libFuzzer log goes
# to LOG; its summary lines are echoed.
file(MAKE_DIRECTORY "${CORPUS}")
execute_process(
  COMMAND "${HARNESS}" -max_total_time=${SECONDS} -print_final_stats=1 -rss_limit_mb=2048
          -timeout=10 -artifact_prefix=${ARTIFACTS} "${CORPUS}" "${SEEDS}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE out
  ERROR_VARIABLE out)
file(WRITE "${LOG}" "${out}")
string(REGEX MATCHALL "[^\n]*(INITED|DONE|Done [0-9]+ runs|stat::)[^\n]*" summary "${out}")
foreach(line IN LISTS summary)
  message(STATUS "${line}")
endforeach()
if(NOT status EQUAL 0)
  string(LENGTH "${out}" length)
  math(EXPR start "${length} - 6000")
  if(start LESS 0)
    set(start 0)
  endif()
  string(SUBSTRING "${out}" ${start} -1 tail)
  message(FATAL_ERROR "${HARNESS} failed (status ${status}); log ${LOG}:\n${tail}")
endif()
