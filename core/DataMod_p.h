// What the sources of the data module share: the kinds of transaction, the
// statements of the data file's queries, and matching a name without regard
// to case.
#pragma once

#include <string_view>
#include <vector>

#include "platform/rtl/SysUtils.h"

inline const std::vector<AnsiString> kReadWrite = {"read_committed", "rec_version", "nowait"};
inline const std::vector<AnsiString> kReadOnly = {"read_committed", "rec_version", "nowait", "read"};

// Ordered, so that answers are always scored against the pairs they were
// given for.
inline constexpr const char* kStatementsSql = "select *\nfrom statements\norder by STATEMENT_ID";
inline constexpr const char* kStatementKeysSql =
    "select STATEMENT_ID, KEY_STATEMENT, KEY_STATEMENT2 from STATEMENTS order by STATEMENT_ID";
// Every band of the norms, read once a connection; a raw score takes the
// first band in ID order that holds it.
inline constexpr const char* kStensSql = "select SCALE, STEN, MIN_VALUE, MAX_VALUE from STENS order by ID";
inline constexpr const char* kTemplatesSql = "select * from HTMLTEMPLATES";

// A and B are the same text but for the case of their letters (code page
// 1251); no copies are made.
inline bool SameTextFast(const char* A, std::size_t LengthA, std::string_view B) {
    if (LengthA != B.size()) return false;
    // Latin letters, which names are made of, fold here; others ask the
    // code page.
    auto upper = [](char C) {
        if (C >= 'a' && C <= 'z') return char(C - 'a' + 'A');
        return static_cast<unsigned char>(C) < 0x80 ? C : AnsiUpperChar(C);
    };
    for (std::size_t i = 0; i < LengthA; ++i)
        if (A[i] != B[i] && upper(A[i]) != upper(B[i])) return false;
    return true;
}
