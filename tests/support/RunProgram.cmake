# Runs PROGRAM for at most SECONDS and checks how it ended:
#   EXPECT=aborted        it must abort (end by SIGABRT)
#   EXPECT=still-running  it must still be running when the time is up
# cmake -DPROGRAM=<path> -DEXPECT=<...> -DSECONDS=<n> -P RunProgram.cmake
execute_process(COMMAND ${PROGRAM} TIMEOUT ${SECONDS}
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(EXPECT STREQUAL "aborted")
  set(wanted "Subprocess aborted")
elseif(EXPECT STREQUAL "still-running")
  set(wanted "Process terminated due to timeout")
else()
  message(FATAL_ERROR "EXPECT must be aborted or still-running")
endif()
if(NOT result STREQUAL wanted)
  message(FATAL_ERROR "${PROGRAM} ended with [${result}], expected [${wanted}]\n${out}\n${err}")
endif()
