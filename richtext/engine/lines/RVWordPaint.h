// The marks an item carries over character ranges of its text, such as the
// wavy underline of a misspelled word.
#pragma once

#include "platform/canvas/Graphics.h"
#include "richtext/engine/text/RVClasses.h"

class TRVStyle;
class TCustomRVData;

// A decoration of the characters WordStart .. WordStart + WordLength - 1
// (1-based) of one text item.
class TRVWordPainter : public TObject {
public:
    TRVWordPainter(int AWordStart, int AWordLength) : WordStart(AWordStart), WordLength(AWordLength) {}
    int WordStart;
    int WordLength;
    // Draws the mark under the range, whose box on the canvas is R.
    virtual void Paint(TCanvas& Canvas, const TRect& R, const TRVStyle& RVStyle, TCustomRVData* RVData) = 0;
};

// The mark of a word that live spelling found misspelled: a wavy line in
// the style sheet's live-spelling colour along the bottom of the range.
class TRVWordMisspellPainter : public TRVWordPainter {
public:
    using TRVWordPainter::TRVWordPainter;
    // At most this many points: wider ranges are cut and closed at the right.
    static constexpr int MaxPoints = 1024;
    void Paint(TCanvas& Canvas, const TRect& R, const TRVStyle& RVStyle, TCustomRVData* RVData) override;
};

// The painters of one item, which it owns.
class TRVWordPainterList : public TRVList {
public:
    TRVWordPainter* Get(int Index) const { return static_cast<TRVWordPainter*>(TRVList::Get(Index)); }
};
