// The members of items that talk to the document holding them: insertion
// and undo notifications, and the spelling marks' upkeep while typing,
// which asks the document for its word delimiters.
#include "richtext/engine/document/CRVData.h"

void TCustomRVItemInfo::Inserting(TCustomRVData* RVData, AnsiString& Text, bool) {
    if (RVData) RVData->DoItemAction(rviaInserting, this, Text, RVData);
}

void TCustomRVItemInfo::Inserted(TCustomRVData* RVData, int) {
    if (!RVData) return;
    UpdateAnimator(RVData);
    AnsiString text;
    RVData->DoItemAction(rviaInserted, this, text, RVData);
}

void TCustomRVItemInfo::MovingToUndoList(int ItemNo, TCustomRVData* RVData, TRVUndoInfo*) {
    if (RVData) {
        AnsiString text = RVData->GetItemText(ItemNo);
        RVData->DoItemAction(rviaMovingToUndoList, this, text, RVData);
    }
    ClearMisspellings();
}

bool TCustomRVItemInfo::AdjustWordPaintersOnInsert(int Pos, const AnsiString& Text, char16_t Ch,
                                                   TCustomRVData* RVData) {
    bool delimiter = RVData ? RVData->IsDelimiterChar(Ch)
                            : TCustomRVData::DelimitersContain(AnsiString(RVDefaultDelimiters), Ch);
    bool apostropheBefore = false;
    if (!delimiter && Pos >= 2 && Pos - 1 <= ItemTextLength(Text, ItemOptions)) {
        AnsiString before = ItemTextCopy(Text, Pos - 1, 1, ItemOptions);
        char16_t ch = IsUnicode() ? RawUnicodeToWide(before)[0] : char16_t(uint8_t(before[0]));
        // The typographic apostrophe is byte 146 in 8-bit text.
        apostropheBefore = ch == '\'' || ch == (IsUnicode() ? 0x2019 : 146);
    }
    int widening = delimiter ? 0 : apostropheBefore ? 2 : 1;
    bool recheck = delimiter;
    if (!WordPainters) return recheck;
    for (int i = WordPainters->Count() - 1; i >= 0; --i) {
        TRVWordPainter* p = WordPainters->Get(i);
        if (Pos >= p->WordStart + p->WordLength + widening) continue;
        if (p->WordStart < Pos + (delimiter ? 0 : 1)) {
            WordPainters->Delete(i);
            recheck = true;
        } else {
            ++p->WordStart;
        }
    }
    if (WordPainters->Count() == 0) WordPainters.reset();
    return recheck;
}
