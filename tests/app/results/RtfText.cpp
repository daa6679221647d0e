// Reading a saved RTF file back into text through the engine.
#include "RtfText.h"

#include <fstream>
#include <sstream>

#include "richtext/engine/text/RVClasses.h"
#include "richtext/import/rtf/RVRTFImport.h"

AnsiString RtfFileText(const AnsiString& FileName) {
    std::ifstream in(FileName, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    TRVRTFReadResult read = ReadRtfDocument(bytes.str());
    if (read.Code != rtf_ec_OK || !read.Document) return "";
    TRVMemoryStream stream;
    read.Document->SaveTextStream("", stream, 80, false, true, false, false);
    return AnsiString(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}
