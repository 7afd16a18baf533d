# The sources of numeric support of the block library; the Linux and the Windows builds both read this list.
set(numeric_sources
  ${CMAKE_CURRENT_LIST_DIR}/Calc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompiledFormula.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DynamicLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EightDecimals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormulaTrace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Init_NSPDLL.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ParameterRecords.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SampleOutput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SupportRoutines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ValueText.cpp)
