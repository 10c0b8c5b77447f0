# Runs one fuzz target for a bounded time on a fresh copy of its seed corpus (the seeds in the
# repository stay as they are). Any crash, leak, sanitizer report or input slower than the
# timeout makes libFuzzer stop with a non-zero code, and the test fails with its artifact kept.
# The seed is fixed, so that a slower machine walks a shorter stretch of the same path and a
# failure here is one the same run shows again on any machine; tools/fuzz searches further
# with fresh seeds.
# Usage: cmake -DFUZZER=... -DCORPUS=... -DWORK=... -DSECONDS=... -P runfuzzer.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(GLOB seeds ${CORPUS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
execute_process(
  COMMAND ${FUZZER} -seed=1 -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
          -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${WORK}/artifacts")
endif()
