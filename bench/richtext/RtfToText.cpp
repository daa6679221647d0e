// A command that reads an RTF file into a document and writes the
// document's text as UTF-8: the RTF reader as a whole command, beside the
// peers its benchmark runs.
#include <cstdio>
#include <cstring>
#include <fstream>

#include "richtext/import/rtf/RVRTFImport.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file.rtf>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary | std::ios::ate);
    std::string bytes(in ? std::size_t(in.tellg()) : 0, '\0');
    if (!in || !in.seekg(0).read(bytes.data(), std::streamsize(bytes.size()))) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    TRVRTFReadResult read = ReadRtfDocument(bytes);
    TRVMemoryStream text;
    if (!read.Document->SaveTextStream("", text, 80, false, false, true, false)) return 1;
    WideString wide(std::size_t(text.Size() / 2), u'\0');
    std::memcpy(wide.data(), text.Memory(), wide.size() * 2);
    const std::string utf8 = WideToUtf8(wide);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return read.Code == rtf_ec_OK ? 0 : 1;
}
