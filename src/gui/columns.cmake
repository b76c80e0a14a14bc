# Column editor dialog and header drawing.
target_sources(kalydor_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/changeheaderform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/headerdelegate.cpp
)
