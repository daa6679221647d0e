// The temporary folder, the path of a loaded module and the version
// resource of a file.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/win/Version.h"
#include "util/JclBase.h"

class EJclFileVersionInfoError : public EJclError {
public:
    using EJclError::EJclError;
};

// The platform's temporary folder, with its trailing separator.
AnsiString GetSystemTempPath();
// The full path of the module that holds the address ModuleHandle; 0 is the
// executable. Empty on failure.
AnsiString ModuleFilePath(std::uintptr_t ModuleHandle);
// Copies the fixed part of the file's version resource; false when there is
// none. Never raises.
bool ReadFixedFileInfo(const AnsiString& FileName, VS_FIXEDFILEINFO& Fixed);

enum TFileFlag : uint8_t {
    FileFlagDebug = 1 << 0,
    FileFlagInfoInferred = 1 << 1,
    FileFlagPatched = 1 << 2,
    FileFlagPreRelease = 1 << 3,
    FileFlagPrivateBuild = 1 << 4,
    FileFlagSpecialBuild = 1 << 5,
};

// One line "key=value" with the index of its language.
struct TVersionEntry {
    AnsiString Text;
    uint32_t Tag;
};

// The whole version resource of a file, as key/value texts per language.
class TJclFileVersionInfo : public TObject {
public:
    // Raises EJclFileVersionInfoError "File contains no version information"
    // for a file without a resource or with a malformed one.
    explicit TJclFileVersionInfo(const AnsiString& FileName);
    // Parses a resource already in memory (as GetFileVersionInfoA gives it).
    static std::unique_ptr<TJclFileVersionInfo> FromBuffer(std::string RawBuffer);

    // Index 1 to 12 of the key table; empty for an absent key.
    AnsiString VersionKeyValue(int Index) const;
    const VS_FIXEDFILEINFO& FixedInfo() const { return FFixedInfo; }
    uint8_t FileFlags() const { return FFileFlags; }
    const std::vector<TVersionEntry>& AllEntries() const { return FAllEntries; }
    // Each with the language/code-page word of its language.
    const std::vector<TVersionEntry>& LanguageEntries() const { return FLanguageEntries; }
    const std::vector<uint32_t>& Languages() const { return FLanguages; }
    const std::vector<uint32_t>& Translations() const { return FTranslations; }
    int CurrentLanguage() const { return FCurrentLanguage; }

    static constexpr const char* VersionKeyNames[13] = {"",
                                                        "Comments",
                                                        "CompanyName",
                                                        "FileDescription",
                                                        "FileVersion",
                                                        "InternalName",
                                                        "LegalCopyright",
                                                        "LegalTradeMarks",
                                                        "OriginalFilename",
                                                        "ProductName",
                                                        "ProductVersion",
                                                        "SpecialBuild",
                                                        "PrivateBuild"};

private:
    TJclFileVersionInfo() = default;
    void Parse();
    std::string FRawBuffer;
    VS_FIXEDFILEINFO FFixedInfo{};
    uint8_t FFileFlags = 0;
    std::vector<TVersionEntry> FAllEntries;
    std::vector<TVersionEntry> FLanguageEntries;
    std::vector<uint32_t> FLanguages;
    int FCurrentLanguage = 0;
    std::vector<uint32_t> FTranslations;
};
