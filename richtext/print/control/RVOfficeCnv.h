// The text converters registered on the computer for saving documents in
// other formats, as the registry lists them, and the save dialog's filter
// items made of them. Nothing on this platform registers such converters,
// so the list is normally empty.
#pragma once

#include "richtext/engine/text/RVClasses.h"

// Where word processors register their export converters, under
// HKEY_LOCAL_MACHINE.
inline constexpr const char* RVExportConvertersKey =
    "SOFTWARE\\Microsoft\\Shared Tools\\Text Converters\\Export";

class TRVOfficeConverterInfo : public TObject {
public:
    AnsiString Name;
    AnsiString Path;
    // File masks joined by ";": "*.doc;*.rtf".
    AnsiString Extensions;
};

// The converters in the order the registry lists them; the object that
// asked for the list is kept, not owned.
class TRVOfficeCnvList : public TRVList {
public:
    // Reads the converters of Key: each subkey with the string values
    // "Name", "Path" and "Extensions" (extensions separated by blanks);
    // one that lacks a value is left out, and with ExcludeHTML so is the
    // one whose file is "HTML32.CNV". An error while reading ends the list
    // where it got to.
    TRVOfficeCnvList(const AnsiString& Key, TObject* AOwner, bool ExcludeHTML);
    TRVOfficeConverterInfo* Items(int Index) const {
        return static_cast<TRVOfficeConverterInfo*>(Get(Index));
    }
    TObject* Owner() const { return FOwner; }
    // The save dialog's items, "Name (masks)|masks" (or "Name|masks") joined
    // by "|"; empty without converters.
    AnsiString GetFilter(bool ShowExtensions) const;

private:
    void Read(const AnsiString& Key, bool ExcludeHTML);
    TObject* FOwner;
};
