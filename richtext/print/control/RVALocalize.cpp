// The language registry, its lookups and the languages linked into the
// program.
#include "richtext/print/control/RVALocalize.h"

namespace {
constexpr std::size_t ShortStringLength = 255;

struct TLinkedLanguage {
    const char* Name;
    uint8_t Charset;
    bool Russian;
};

// In the order they register; "English (US)" comes last and is selected.
// Their texts other than English and Russian are the English ones.
const TLinkedLanguage LinkedLanguages[] = {
    {"Chinese (Big5)", 136, false}, {"Polish", 238, false},
    {"Hungarian", 0, false},        {"Chinese (Simplified)", 134, false},
    {"Byelorussian", 204, false},   {"Turkish", 162, false},
    {"Ukrainian", 204, false},      {"Spanish", 0, false},
    {"Lithuanian", 186, false},     {"Farsi", 178, false},
    {"Slovak", 238, false},         {"Dutch (NL)", 0, false},
    {"Czech", 238, false},          {"Portuguese (Brazilian)", 0, false},
    {"Francais", 0, false},         {"Italian", 0, false},
    {"German", 0, false},           {"Norsk (Bokm\xE5l)", 0, false}, // the name is in code page 1252
    {"Svenska", 0, false},          {"Russian", 204, true},
    {"English (US)", 0, false},
};
} // namespace

// TRVALanguageInfo

const AnsiString& TRVALanguageInfo::Text(TRVAMessageID Index) const {
    if (Index >= RVAMessageCount)
        throw ERangeError(Format("Message number %d is not in the language table", {int(Index)}));
    return (*Messages)[Index];
}

AnsiString TRVALanguageInfo::TextPadded(TRVAMessageID Index) const {
    return " " + Text(Index).substr(0, ShortStringLength) + " ";
}

AnsiString TRVALanguageInfo::FormatText(TRVAMessageID Index, std::initializer_list<FormatArg> Args) const {
    return Format(Text(Index), Args);
}

// TRVALanguageRegistry

void TRVALanguageRegistry::AddLanguageTable(const TRVALanguageName& Name, uint8_t Charset,
                                            const TRVAMessages* Messages, const AnsiString& HelpFile) {
    FList.Add(new TRVALanguageInfo(Name, Charset, Messages, HelpFile));
    if (FCurrent < 0) FCurrent = FList.Count() - 1;
}

const TRVALanguageInfo* TRVALanguageRegistry::Find(const TRVALanguageName& Name) const {
    for (int i = 0; i < FList.Count(); ++i)
        if (Languages(i)->Name == Name) return Languages(i);
    return nullptr;
}

const TRVALanguageInfo* TRVALanguageRegistry::Get(const TRVALanguageName& Name) const {
    if (const TRVALanguageInfo* found = Find(Name)) return found;
    throw Exception("Invalid language: " + Name);
}

void TRVALanguageRegistry::SelectLanguage(const TRVALanguageName& Name) {
    const TRVALanguageInfo* found = Get(Name);
    FCurrent = FList.IndexOf(found);
}

const TRVALanguageInfo& TRVALanguageRegistry::Current() const {
    return *Languages(FCurrent);
}

const TRVALanguageInfo* TRVALanguageRegistry::Languages(int Index) const {
    return static_cast<const TRVALanguageInfo*>(FList.Get(Index));
}

TRVALanguageRegistry& RVALanguages() {
    static TRVALanguageRegistry registry;
    static const bool linked = [] {
        for (const TLinkedLanguage& l : LinkedLanguages)
            registry.AddLanguageTable(l.Name, l.Charset,
                                      l.Russian ? &RVARussianMessages() : &RVAEnglishMessages(), "");
        registry.SelectLanguage("English (US)");
        return true;
    }();
    (void)linked;
    return registry;
}

// The process's registry

void AddLanguageTable(const TRVALanguageName& Name, uint8_t Charset, const TRVAMessages* Messages,
                      const AnsiString& HelpFile) {
    RVALanguages().AddLanguageTable(Name, Charset, Messages, HelpFile);
}

void SelectLanguage(const TRVALanguageName& Name) {
    RVALanguages().SelectLanguage(Name);
}

TRVALanguageName CurrentLanguageName() {
    return RVALanguages().HasCurrent() ? RVALanguages().Current().Name : TRVALanguageName();
}

uint8_t LanguageCharset() {
    return RVALanguages().HasCurrent() ? RVALanguages().Current().Charset : DEFAULT_CHARSET;
}

AnsiString LanguageHelpFile() {
    return RVALanguages().HasCurrent() ? RVALanguages().Current().HelpFile : AnsiString();
}

AnsiString LocalizedText(TRVAMessageID Index) {
    return RVALanguages().Current().Text(Index);
}

AnsiString LocalizedTextPadded(TRVAMessageID Index) {
    return RVALanguages().Current().TextPadded(Index);
}

const char* LocalizedPChar(TRVAMessageID Index) {
    return RVALanguages().Current().Text(Index).c_str();
}
