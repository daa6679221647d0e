// The marks an item carries over character ranges of its text, such as the
// mark of a misspelled word.
#pragma once

#include "richtext/engine/text/RVClasses.h"

// A decoration of the characters WordStart .. WordStart + WordLength - 1
// (1-based) of one text item.
class TRVWordPainter : public TObject {
public:
    TRVWordPainter(int AWordStart, int AWordLength) : WordStart(AWordStart), WordLength(AWordLength) {}
    int WordStart;
    int WordLength;
};

// The mark of a word that live spelling found misspelled.
class TRVWordMisspellPainter : public TRVWordPainter {
public:
    using TRVWordPainter::TRVWordPainter;
};

// The painters of one item, which it owns.
class TRVWordPainterList : public TRVList {
public:
    TRVWordPainter* Get(int Index) const { return static_cast<TRVWordPainter*>(TRVList::Get(Index)); }
};
