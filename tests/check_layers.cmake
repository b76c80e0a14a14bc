cmake_minimum_required(VERSION 3.25)

# Fails when a file of src/ includes a header of a folder above its own: the shared include
# root would let such an include compile, and the layers would slowly grow into one.
#   cmake -DSOURCE_DIR=<src> -P check_layers.cmake

# The folders each folder may include, its own among them.
set(core base platform codecs store devicedb language reports exchange constructions heating rooms
  shell)
set(allowed_base base)
set(allowed_platform base platform)
set(allowed_codecs base codecs)
set(allowed_store base platform store)
set(allowed_devicedb base platform codecs store devicedb)
set(allowed_language base platform codecs language)
set(allowed_reports base platform codecs store reports)
set(allowed_exchange base platform codecs store language reports exchange)
set(allowed_constructions ${allowed_exchange} constructions)
set(allowed_heating ${allowed_exchange} devicedb heating)
set(allowed_rooms ${allowed_heating} constructions rooms)
set(allowed_shell ${core})
set(allowed_gui ${core} gui)
# The command line prints through the Qt drawing of reports (in builds with the desktop
# program); every other command uses the core only.
set(allowed_cli ${core} gui cli)
set(allowed_app ${core} gui app)

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(faults "")
foreach(file IN LISTS files)
  string(REGEX MATCH "^[^/]+" folder "${file}")
  if(NOT DEFINED allowed_${folder})
    list(APPEND faults "${file}: the folder ${folder} has no place among the layers")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*" "\\1" target "${line}")
    if(NOT target IN_LIST allowed_${folder})
      list(APPEND faults "${file}: ${folder} may not include ${target} (${line})")
    endif()
  endforeach()
endforeach()

list(LENGTH files count)
if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes against the order of the layers:\n  ${text}")
endif()
message(STATUS "${count} files of src/ include only their own layer and those below it")
