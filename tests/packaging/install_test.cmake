# Installs the build into a fresh prefix and checks the installed program from outside.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()

set(expected bin/kalydor-cli share/kalydor/languages/English.xml
    share/kalydor/languages/Romana.xml share/kalydor/material.db share/kalydor/Kalydor32.db
    share/kalydor/demo/Demo.db)
if(GUI)
  list(APPEND expected bin/kalydor share/kalydor/kalydor.html share/kalydor/kalydor.ro.html
       share/applications/ro.vendara.kalydor.desktop
       share/icons/hicolor/scalable/apps/ro.vendara.kalydor.svg
       share/metainfo/ro.vendara.kalydor.metainfo.xml)
endif()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()

# The installed command line reads its languages and device table from share/kalydor.
execute_process(COMMAND ${PREFIX}/bin/kalydor-cli lang list RESULT_VARIABLE listed
                OUTPUT_VARIABLE languages ERROR_VARIABLE errors)
if(NOT listed EQUAL 0 OR NOT languages MATCHES "Român")
  message(FATAL_ERROR "the installed kalydor-cli lists no languages: ${languages} ${errors}")
endif()
execute_process(COMMAND ${PREFIX}/bin/kalydor-cli project lowest-flow
                        ${PREFIX}/share/kalydor/demo/Demo.db
                RESULT_VARIABLE checked OUTPUT_VARIABLE flow ERROR_VARIABLE errors)
if(NOT checked EQUAL 0 OR NOT flow MATCHES "\"Baie etaj\"")
  message(FATAL_ERROR "the installed kalydor-cli cannot check the demonstration house: "
                      "${flow} ${errors}")
endif()

if(GUI)
  file(READ ${PREFIX}/share/applications/ro.vendara.kalydor.desktop entry)
  if(NOT entry MATCHES "Exec=kalydor %F" OR NOT entry MATCHES "Icon=ro.vendara.kalydor")
    message(FATAL_ERROR "the desktop entry does not open files with its icon:\n${entry}")
  endif()
  find_program(APPSTREAMCLI appstreamcli)
  if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net
                            ${PREFIX}/share/metainfo/ro.vendara.kalydor.metainfo.xml
                    RESULT_VARIABLE valid OUTPUT_VARIABLE report ERROR_VARIABLE report)
    if(NOT valid EQUAL 0)
      message(FATAL_ERROR "appstreamcli refuses the metainfo:\n${report}")
    endif()
  endif()
endif()
file(REMOVE_RECURSE ${PREFIX})
