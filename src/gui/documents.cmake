# Qt clipboard for the document builder.
target_sources(kalydor_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/qtclipboard.cpp)
