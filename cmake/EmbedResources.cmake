# Writes a C++ source holding the bytes of resource files, so the program needs no resource
# files beside it. Run as a script:
#   cmake -DOUTPUT=out.cpp -DBASE_DIR=dir -DFILES="a;b" -P EmbedResources.cmake
# Each file is named by its path relative to BASE_DIR.

set(content "// Generated from the files under resources/; do not edit.\n")
string(APPEND content "#include <string_view>\n#include <utility>\n\nnamespace kalydor {\n")
set(table "")
set(index 0)
foreach(file IN LISTS FILES)
  file(READ "${BASE_DIR}/${file}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND content "static const char kResource${index}[] = {${bytes} 0};\n")
  string(APPEND table "    {\"${file}\", std::string_view(kResource${index}, ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND content "\nextern const std::pair<std::string_view, std::string_view> kEmbeddedResources[] = {\n")
string(APPEND content "${table}    {{}, {}},\n};\n\n} // namespace kalydor\n")
file(WRITE "${OUTPUT}.tmp" "${content}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
