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
