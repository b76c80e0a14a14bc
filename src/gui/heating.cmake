# Project options dialog.
target_sources(kalydor_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/projektoptionsform.cpp)
