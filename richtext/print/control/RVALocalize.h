// The languages of the dialogs and actions: each a table of numbered texts
// with a name, a character set and a help file, kept in a registry that
// selects one of them by its exact name.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

#include "platform/rtl/SysUtils.h"
#include "richtext/engine/text/RVClasses.h"

// Texts 0 to 637 of a language; 0 is empty in every language.
constexpr int RVAMessageCount = 638;
using TRVAMessageID = uint16_t;
// One language's texts, 8-bit in the language's code page.
using TRVAMessages = std::array<AnsiString, RVAMessageCount>;

// The character sets the linked languages name.
constexpr uint8_t ANSI_CHARSET = 0;
constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr uint8_t HEBREW_CHARSET = 177;
constexpr uint8_t ARABIC_CHARSET = 178;
constexpr uint8_t RUSSIAN_CHARSET = 204;

using TRVALanguageName = AnsiString;

class TRVALanguageInfo : public TObject {
public:
    TRVALanguageInfo(const TRVALanguageName& AName, uint8_t ACharset, const TRVAMessages* AMessages,
                     const AnsiString& AHelpFile)
        : Name(AName), Charset(ACharset), Messages(AMessages), HelpFile(AHelpFile) {}

    // Text Index; an index past the table raises ERangeError instead of
    // reading whatever lies beyond it.
    const AnsiString& Text(TRVAMessageID Index) const;
    // With a blank before and after, as group boxes and tabs show their
    // captions; at most the first 255 characters of the text are taken.
    AnsiString TextPadded(TRVAMessageID Index) const;
    // Text Index with its "%s" and "%d" filled by the run-time's own
    // formatter from Args; the arguments' own text is never read as a
    // pattern.
    AnsiString FormatText(TRVAMessageID Index, std::initializer_list<FormatArg> Args) const;

    TRVALanguageName Name;
    uint8_t Charset;
    const TRVAMessages* Messages;
    AnsiString HelpFile;
};

// An ordered list of languages and the current one. The first language
// added becomes current until another is selected.
class TRVALanguageRegistry {
public:
    void AddLanguageTable(const TRVALanguageName& Name, uint8_t Charset, const TRVAMessages* Messages,
                          const AnsiString& HelpFile);
    // The first language of that exact name (case and bytes alike), or
    // nullptr.
    const TRVALanguageInfo* Find(const TRVALanguageName& Name) const;
    // As Find; a name that no language has raises Exception "Invalid
    // language: " followed by the name.
    const TRVALanguageInfo* Get(const TRVALanguageName& Name) const;
    // Makes that language current; an unknown name raises as Get does and
    // leaves the current one.
    void SelectLanguage(const TRVALanguageName& Name);
    // The current language; without one, the list's index error.
    const TRVALanguageInfo& Current() const;
    bool HasCurrent() const { return FCurrent >= 0; }
    int Count() const { return FList.Count(); }
    const TRVALanguageInfo* Languages(int Index) const;

private:
    TRVList FList;
    int FCurrent = -1;
};

// The process's registry, made on first use with the languages linked into
// the program in their order, "English (US)" last and current.
TRVALanguageRegistry& RVALanguages();
// The language tables linked into the program.
const TRVAMessages& RVAEnglishMessages();
const TRVAMessages& RVARussianMessages();

// The process's registry by the routines the dialogs and actions call.
void AddLanguageTable(const TRVALanguageName& Name, uint8_t Charset, const TRVAMessages* Messages,
                      const AnsiString& HelpFile);
void SelectLanguage(const TRVALanguageName& Name);
// Empty, DEFAULT_CHARSET and empty while no language is current.
TRVALanguageName CurrentLanguageName();
uint8_t LanguageCharset();
AnsiString LanguageHelpFile();
AnsiString LocalizedText(TRVAMessageID Index);
AnsiString LocalizedTextPadded(TRVAMessageID Index);
// The current language's own characters, no copy: they live as long as
// the program.
const char* LocalizedPChar(TRVAMessageID Index);
