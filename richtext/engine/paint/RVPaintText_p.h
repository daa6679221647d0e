// What painting's sources share: the display text of drawing items, kept
// per item while one paint walks its lines, and the drawing of one piece of
// a text drawing item in a state.
#pragma once

#include "richtext/engine/layout/CRVFData.h"

// The item's characters as UTF-16 are converted once per item; each drawing
// item's piece is then cut from them.
class TRVDisplayTextCache {
public:
    const WideString& Get(const TCustomRVFormattedData& Data, int DrawItemNo, bool ShowSpecial);

private:
    int FItemNo = -1;
    WideString FRaw;
    WideString FPiece;
};

// One text drawing item being painted.
struct TRVTextPiece {
    const TCustomRVFormattedData& Data;
    TRVStyle& Style;
    TCanvas& Canvas;
    int DrawItemNo;
    int StyleNo;
    TRVBiDiMode BiDiMode;
    bool Focused;
    bool Special;
    bool Lines;
    int BandTop, BandBottom;
    int DX, DY;
    // Characters From..To - 1 (1-based in the drawing item) of its display
    // text Text.
    void Draw(const WideString& Text, int From, int To, bool Selected, bool Hover);
};
