# Turns a file into a C++ source that holds its bytes:
#   cmake -DINPUT=<file> -DOUTPUT=<source> -DNAME=<function> -P EmbedFile.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE "${OUTPUT}.tmp"
    "// Generated from ${INPUT}; do not edit.\n"
    "#include <string_view>\n"
    "namespace {\nconstexpr char Bytes[] = {${bytes}};\n}\n"
    "std::string_view ${NAME}() { return {Bytes, ${size}}; }\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
