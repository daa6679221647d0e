// Naming the picture files that an export writes beside its own file.
#include <filesystem>

#include "richtext/engine/document/CRVData.h"

namespace {

bool IsReadOnly(const AnsiString& FileName) {
    std::error_code error;
    auto perms = std::filesystem::status(FileName, error).permissions();
    return !error && (perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

} // namespace

// A prefix that is a path of its own (a drive, or absolute) is not put
// under Path.
void TCustomRVData::GetNextFileName(const AnsiString& ImagesPrefix, const AnsiString& Path,
                                    const AnsiString& Ext, int& ImageCounter, bool ReuseWritable,
                                    AnsiString& FileName) const {
    bool ownPath =
        ImagesPrefix.find(':') != AnsiString::npos || (!ImagesPrefix.empty() && ImagesPrefix[0] == '/');
    AnsiString name = ownPath ? ImagesPrefix : Path + ImagesPrefix;
    do {
        ++ImageCounter;
        FileName = name + IntToStr(ImageCounter) + Ext;
    } while (FileExists(FileName) && (!ReuseWritable || IsReadOnly(FileName)));
}
