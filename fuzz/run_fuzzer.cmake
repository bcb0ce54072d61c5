# Runs one fuzz target for a fixed time, as CTest does: on a working copy of its seed corpus, so
# that the corpus in the repository stays as it is, while what the runs find accumulates in the
# build directory. A crash, a hang or a leak fails the run; its input lands in WORK/artifacts.
#
#   cmake -D FUZZER=<target> -D SEEDS=<dir> -D WORK=<dir> -D SECONDS=<n> [-D OPTIONS=<list>]
#         -P run_fuzzer.cmake

foreach(required FUZZER SEEDS WORK SECONDS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "run_fuzzer.cmake: ${required} is not set")
  endif()
endforeach()

# Relative paths are taken from where this script is run, not from the working directory.
foreach(path FUZZER SEEDS WORK)
  get_filename_component(${path} "${${path}}" ABSOLUTE)
endforeach()

file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(GLOB seeds "${SEEDS}/*")
file(COPY ${seeds} DESTINATION "${WORK}/corpus")

execute_process(
  COMMAND "${FUZZER}"
    -max_total_time=${SECONDS}
    -timeout=10
    -print_final_stats=1
    "-artifact_prefix=${WORK}/artifacts/"
    ${OPTIONS}
    "${WORK}/corpus"
  WORKING_DIRECTORY "${WORK}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${WORK}/artifacts")
endif()
