// Pieces of report text that the scoring tests look for.
#pragma once

#include "core/uConsts.h"

inline bool Has(const AnsiString& Text, const AnsiString& Part) {
    return Text.find(Part) != AnsiString::npos;
}

// A scale's list item with the interpretation of its sten.
inline AnsiString Item(int Scale, int Sten) {
    return "<li><b>" + ScaleNames[Scale] + ".</b> " + StenInterpretations[Sten - 1] + "<br></li>";
}

// A scale's list item without an interpretation.
inline AnsiString BareItem(int Scale) {
    return "<li><b>" + ScaleNames[Scale] + ".</b> <br></li>";
}

// How many list items of Text name the scale, with or without an
// interpretation.
inline int ItemsNaming(const AnsiString& Text, int Scale) {
    int count = 0;
    for (const AnsiString& item :
         {"<li>" + ScaleNames[Scale] + "</li>", "<li><b>" + ScaleNames[Scale] + ".</b>"})
        for (std::size_t at = Text.find(item); at != AnsiString::npos; at = Text.find(item, at + 1))
            ++count;
    return count;
}

// How many times Part occurs in Text.
inline int Occurrences(const AnsiString& Text, const AnsiString& Part) {
    int count = 0;
    for (std::size_t at = Text.find(Part); at != AnsiString::npos; at = Text.find(Part, at + 1))
        ++count;
    return count;
}
