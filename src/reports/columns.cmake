# Column layouts of lists and printed tables, and the logic of the column editor.
target_sources(kalydor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/listheaderformat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/changeheader.cpp
)
