# The document builder: text, RTF and spreadsheet streams and the clipboard stream.
target_sources(kalydor_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/printfstringstream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/biffstream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clipboardstream.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/memoryclipboard.cpp)
