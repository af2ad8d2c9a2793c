# Fails when PROGRAM loads any Qt 5 library (a Qt 5 build of QCustomPlot
# would bring Qt 5 in beside Qt 6, and the program would abort at start), or
# when it lacks the Qt 6 widgets or the Qt 6 build of QCustomPlot.
execute_process(COMMAND ldd ${PROGRAM} RESULT_VARIABLE result OUTPUT_VARIABLE libraries ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed: ${err}")
endif()
if(libraries MATCHES "libQt5[^ \t\n]*")
  message(FATAL_ERROR "${PROGRAM} loads the Qt 5 library ${CMAKE_MATCH_0}:\n${libraries}")
endif()
foreach(required libQt6Widgets libQCustomPlotQt6)
  if(NOT libraries MATCHES "${required}")
    message(FATAL_ERROR "${PROGRAM} does not load ${required}:\n${libraries}")
  endif()
endforeach()
