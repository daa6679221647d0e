// Free routines on 8-bit texts.
#include "util/JclStrings.h"

#include "platform/win/WinBase.h"
#include "util/JclUnitVersioning.h"

bool CharIsUpper(char C) {
    return CharTables().CharTypeTable[static_cast<unsigned char>(C)] & C1_UPPER;
}
bool CharIsLower(char C) {
    return CharTables().CharTypeTable[static_cast<unsigned char>(C)] & C1_LOWER;
}

AnsiString EnsureSuffix(const AnsiString& Suffix, const AnsiString& Text) {
    if (Suffix.empty()) return Text;
    if (Text.size() >= Suffix.size() && Text.compare(Text.size() - Suffix.size(), Suffix.size(), Suffix) == 0)
        return Text;
    return Text + Suffix;
}

std::size_t NulTerminatedLength(const char* Text) {
    return Text ? std::char_traits<char>::length(Text) : 0;
}

void TrimAtNul(AnsiString& Text) {
    std::size_t p = Text.find('\0');
    if (p != AnsiString::npos) Text.resize(p);
}

int CountChar(const AnsiString& Text, char Ch) {
    int n = 0;
    for (char c : Text)
        n += c == Ch;
    return n;
}

int FindTextNoCase(const AnsiString& SubText, const AnsiString& Text, int Start) {
    if (SubText.empty() || Text.empty() || Start < 1) return 0;
    const TCharTables& t = CharTables();
    const int last = int(Text.size()) - int(SubText.size()) + 1;
    auto u = [](char c) { return static_cast<unsigned char>(c); };
    for (int pos = Start; pos <= last; ++pos) {
        const char* p = Text.data() + pos - 1;
        if (t.LowerCaseTable[u(p[0])] != t.LowerCaseTable[u(SubText[0])]) continue;
        bool match = true;
        for (std::size_t k = SubText.size() - 1; match && k >= 1; --k)
            match = p[k] == SubText[k] || t.SwapCaseTable[u(p[k])] == u(SubText[k]);
        if (match) return pos;
    }
    return 0;
}

AnsiString LeftPart(const AnsiString& Text, int Count) {
    return Count <= 0 ? AnsiString() : Text.substr(0, std::size_t(Count));
}

AnsiString RestFrom(const AnsiString& Text, int Start) {
    if (Start < 1) return Text;
    if (std::size_t(Start) > Text.size()) return AnsiString();
    return Text.substr(std::size_t(Start) - 1);
}

void SplitToList(const AnsiString& Text, const AnsiString& Separator, TStrings& List, bool KeepEmpty) {
    TUpdateBracket bracket(List);
    List.Clear();
    if (Separator.empty()) {
        if (!Text.empty()) List.Add(Text);
        return;
    }
    std::size_t start = 0;
    for (std::size_t p; (p = Text.find(Separator, start)) != AnsiString::npos; start = p + Separator.size())
        if (p > start || KeepEmpty) List.Add(Text.substr(start, p - start));
    if (start < Text.size()) List.Add(Text.substr(start));
}

AnsiString RepeatChar(char Ch, int Count) {
    return StringOfChar(Ch, Count);
}

AnsiString DeleteAllChars(const AnsiString& Text, char Ch) {
    AnsiString out;
    for (char c : Text)
        if (c != Ch) out += c;
    return out;
}

LIBRARY_UNIT_VERSION("util/JclStrings.cpp", "1", "2026-12-10", "JclLib\\source\\common")
