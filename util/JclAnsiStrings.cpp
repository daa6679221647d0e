// Substring replacement and the character tables of the user's code page.
#include "util/JclAnsiStrings.h"

#include "platform/win/WinBase.h"
#include "util/JclUnitVersioning.h"

const TCharTables& CharTables() {
    static const TCharTables tables = [] {
        TCharTables t{};
        for (int c = 0; c < 256; ++c)
            t.CharTypeTable[c] = GetCharType1(static_cast<unsigned char>(c));
        for (int c = 0; c < 256; ++c) {
            t.LowerCaseTable[c] = static_cast<unsigned char>(AnsiLowerChar(char(c)));
            t.UpperCaseTable[c] = static_cast<unsigned char>(AnsiUpperChar(char(c)));
            if (t.CharTypeTable[c] & C1_UPPER)
                t.SwapCaseTable[c] = t.LowerCaseTable[c];
            else if (t.CharTypeTable[c] & C1_LOWER)
                t.SwapCaseTable[c] = t.UpperCaseTable[c];
            else
                t.SwapCaseTable[c] = static_cast<unsigned char>(c);
        }
        return t;
    }();
    return tables;
}

void ReplaceSubstrings(AnsiString& S, const AnsiString& Search, const AnsiString& Replacement,
                       uint8_t Flags) {
    if (Search.empty()) {
        if (S.empty()) {
            S = Replacement;
            return;
        }
        throw EJclError("Search string cannot be blank");
    }
    if (S.empty()) return;
    const bool ignoreCase = Flags & IgnoreCase;
    const AnsiString pattern = ignoreCase ? AnsiUpperCase(Search) : Search;
    const auto& upper = CharTables().UpperCaseTable;
    auto at = [&](std::size_t I) {
        unsigned char c = static_cast<unsigned char>(S[I]);
        return ignoreCase ? upper[c] : c;
    };
    AnsiString out;
    out.reserve(S.size());
    std::size_t i = 0;
    while (i < S.size()) {
        bool match = i + pattern.size() <= S.size();
        for (std::size_t k = 0; match && k < pattern.size(); ++k)
            match = at(i + k) == static_cast<unsigned char>(pattern[k]);
        if (!match) {
            out += S[i++];
            continue;
        }
        out += Replacement;
        i += pattern.size();
        if (!(Flags & ReplaceAll)) {
            out.append(S, i, AnsiString::npos);
            break;
        }
    }
    S = std::move(out);
}

LIBRARY_UNIT_VERSION("util/JclAnsiStrings.cpp", "1", "2026-12-10", "JclLib\\source\\common")
