# Tests of the column layouts.
set(KALYDOR_TESTS_DIR ${PROJECT_SOURCE_DIR}/tests)
kalydor_add_test(reports_columns
  SOURCES ${KALYDOR_TESTS_DIR}/reports/test_listheaderformat.cpp
          ${KALYDOR_TESTS_DIR}/reports/test_listheaderformat_titles.cpp
          ${KALYDOR_TESTS_DIR}/reports/test_listheaderformat_editor.cpp
  LIBS kalydor_core)

if(KALYDOR_BUILD_GUI)
  kalydor_add_test(gui_columns
    SOURCES ${KALYDOR_TESTS_DIR}/gui/test_changeheaderform.cpp
    LIBS kalydor_gui Qt6::Test)
endif()
