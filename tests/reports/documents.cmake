# Tests of the document builder.
kalydor_add_test(reports_documents
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_documents.cpp
          ${CMAKE_CURRENT_LIST_DIR}/test_documentresources.cpp
  LIBS kalydor_core)
if(KALYDOR_BUILD_GUI)
  kalydor_add_test(gui_documents
    SOURCES ${PROJECT_SOURCE_DIR}/tests/gui/test_qtclipboard.cpp
    LIBS kalydor_gui Qt6::Test)
endif()

# Sample documents for the check with LibreOffice (scripts/check-documents-libreoffice); not a
# CTest test, since LibreOffice is not part of the build machine.
add_executable(documents_libreoffice_samples
  ${CMAKE_CURRENT_LIST_DIR}/test_documents_libreoffice.cpp)
target_link_libraries(documents_libreoffice_samples PRIVATE kalydor_core)
