# Writes OUTPUT, a C++ source that holds the bytes of INPUT as the array
# SYMBOL and its size as SYMBOL_SIZE, so a picture is built into the program.
# Run with cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P EmbedFile.cmake.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Made from ${name} by EmbedFile.cmake.\n"
  "#include <cstddef>\n\n"
  "extern const unsigned char ${SYMBOL}[] = {\n    ${bytes}\n};\n"
  "extern const std::size_t ${SYMBOL}_SIZE = sizeof(${SYMBOL});\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
