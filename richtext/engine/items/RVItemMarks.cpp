// The spelling marks of an item: adding, clearing, finding them, and moving
// them along when characters are deleted.
#include "richtext/engine/items/RVItem.h"

namespace {

bool IsMisspellPainter(const TRVWordPainter* Painter) {
    return dynamic_cast<const TRVWordMisspellPainter*>(Painter) != nullptr;
}

} // namespace

void TCustomRVItemInfo::FreeEmptyWordPainters() {
    if (WordPainters && WordPainters->Count() == 0) WordPainters.reset();
}

void TCustomRVItemInfo::AddMisspelling(int Start, int Length) {
    if (!WordPainters) WordPainters = std::make_unique<TRVWordPainterList>();
    WordPainters->Add(new TRVWordMisspellPainter(Start, Length));
}

void TCustomRVItemInfo::ClearMisspellings() {
    ItemState &= uint8_t(~rvisSpellChecked);
    if (!WordPainters) return;
    for (int i = WordPainters->Count() - 1; i >= 0; --i)
        if (IsMisspellPainter(WordPainters->Get(i))) WordPainters->Delete(i);
    FreeEmptyWordPainters();
}

void TCustomRVItemInfo::ClearWordPaintersFrom(int Pos) {
    ItemState &= uint8_t(~rvisSpellChecked);
    if (!WordPainters) return;
    if (Pos <= 1) {
        WordPainters.reset();
        return;
    }
    for (int i = WordPainters->Count() - 1; i >= 0; --i) {
        TRVWordPainter* p = WordPainters->Get(i);
        if (Pos < p->WordStart + p->WordLength) WordPainters->Delete(i);
    }
    FreeEmptyWordPainters();
}

bool TCustomRVItemInfo::AdjustWordPaintersOnDelete(int Pos, int Count) {
    bool recheck = false;
    if (!WordPainters) return recheck;
    for (int i = WordPainters->Count() - 1; i >= 0; --i) {
        TRVWordPainter* p = WordPainters->Get(i);
        if (p->WordStart + p->WordLength < Pos + Count - 1) continue;
        if (p->WordStart > Pos + 1) {
            p->WordStart -= Count;
        } else {
            WordPainters->Delete(i);
            recheck = true;
        }
    }
    FreeEmptyWordPainters();
    return recheck;
}

bool TCustomRVItemInfo::FindMisspellingAt(int Pos, int& Start, int& Length) const {
    if (!WordPainters) return false;
    for (int i = WordPainters->Count() - 1; i >= 0; --i) {
        TRVWordPainter* p = WordPainters->Get(i);
        if (p->WordStart <= Pos && Pos <= p->WordStart + p->WordLength) {
            Start = p->WordStart;
            Length = p->WordLength;
            return true;
        }
    }
    return false;
}

bool TCustomRVItemInfo::IsMisspelledAt(int Pos) const {
    if (!WordPainters) return false;
    for (int i = 0; i < WordPainters->Count(); ++i) {
        TRVWordPainter* p = WordPainters->Get(i);
        if (p->WordStart <= Pos && Pos < p->WordStart + p->WordLength) return true;
    }
    return false;
}
