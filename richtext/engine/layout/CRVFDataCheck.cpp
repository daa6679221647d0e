// The layout's invariant checker and its call after formatting runs in
// checking builds.
#include "richtext/engine/layout/CRVFDataCheck.h"

#include "richtext/engine/document/CRVDataCheck.h"

namespace {

class TFaults {
public:
    static constexpr int MaxFaults = 5;
    void Add(const AnsiString& Fault) {
        if (++FCount > MaxFaults) return;
        if (!FText.empty()) FText += "; ";
        FText += Fault;
    }
    bool Full() const { return FCount >= MaxFaults; }
    const AnsiString& Text() const { return FText; }

private:
    AnsiString FText;
    int FCount = 0;
};

} // namespace

AnsiString CheckFormattedInvariants(const TCustomRVFormattedData& Data) {
    TFaults faults;
    const TRVDrawLines& lines = Data.DrawItems;
    if (lines.PendingDeleteCount != 0) faults.Add("a pending gap is left in the drawing items");
    int count = lines.Count();
    if (count == 0) {
        if (Data.LastFormattedItem >= 0 && Data.ItemCount() > 0)
            faults.Add("formatted items have no drawing items");
        return faults.Text();
    }
    // Characters From..To - 1 of a text item that no piece shows: only the
    // spaces that wrapping leaves to neither line, two at most.
    auto skipped = [&](int ItemNo, int From, int To) {
        if (To - From > 2) return false;
        const AnsiString& text = Data.GetItemText(ItemNo);
        TRVItemOptions options = Data.LiveItem(ItemNo).ItemOptions;
        for (int c = From; c < To; ++c)
            if (!IsSpaceCharAt(text, c, options)) return false;
        return true;
    };
    int prevItem = -1, expectedOffs = 0, lineTop = INT32_MIN;
    for (int i = 0; i < count && !faults.Full(); ++i) {
        const TRVDrawLineInfo* d = lines.GetItem(i);
        if (!d) {
            faults.Add(Format("drawing item %d is nil", {i}));
            continue;
        }
        if (d->ItemNo < 0 || d->ItemNo >= Data.ItemCount()) {
            faults.Add(Format("drawing item %d shows item %d of %d", {i, d->ItemNo, Data.ItemCount()}));
            continue;
        }
        if (i == 0 && !d->FromNewLine) faults.Add("the first drawing item begins no line");
        if (d->FromNewLine) {
            if (d->Top < lineTop)
                faults.Add(Format("line at drawing item %d lies above the line before", {i}));
            lineTop = d->Top;
        }
        const TCustomRVItemInfo& item = Data.LiveItem(d->ItemNo);
        bool text = Data.GetItemStyle(d->ItemNo) >= 0;
        if (d->ItemNo != prevItem) {
            if (d->ItemNo != prevItem + 1)
                faults.Add(Format("items %d to %d have no drawing items", {prevItem + 1, d->ItemNo - 1}));
            if (!item.GetContinuesParagraph() && !d->FromNewLine)
                faults.Add(Format("item %d begins a line but its drawing item %d does not", {d->ItemNo, i}));
            if (!Data.SharesItems() && item.DrawItemNo != i)
                faults.Add(Format("item %d names drawing item %d, not %d", {d->ItemNo, item.DrawItemNo, i}));
            if (text && (d->Offs < 1 || !skipped(d->ItemNo, 1, d->Offs)))
                faults.Add(Format("item %d begins at character %d", {d->ItemNo, d->Offs}));
            if (prevItem >= 0 && Data.GetItemStyle(prevItem) >= 0 &&
                !skipped(prevItem, expectedOffs, Data.ItemLength(prevItem) + 1))
                faults.Add(Format("item %d ends at character %d of %d",
                                  {prevItem, expectedOffs - 1, Data.ItemLength(prevItem)}));
            prevItem = d->ItemNo;
        } else if (text) {
            if (d->Offs < expectedOffs || !skipped(d->ItemNo, expectedOffs, d->Offs))
                faults.Add(Format("drawing item %d of item %d begins at %d, not %d",
                                  {i, d->ItemNo, d->Offs, expectedOffs}));
        } else {
            faults.Add(Format("non-text item %d has more than one drawing item", {d->ItemNo}));
        }
        if (text) {
            if (d->Length < 0 || d->Offs + d->Length > Data.ItemLength(d->ItemNo) + 1)
                faults.Add(Format("drawing item %d runs past its item's text", {i}));
            expectedOffs = d->Offs + d->Length;
        } else if (d->Offs != 0 || d->Length != 0) {
            faults.Add(Format("drawing item %d of a non-text item has characters", {i}));
        }
        if (d->Width < 0 || d->Height < 0) faults.Add(Format("drawing item %d has a negative size", {i}));
    }
    if (!faults.Full()) {
        int last = lines.GetItem(count - 1) ? lines.GetItem(count - 1)->ItemNo : -1;
        if (last != Data.ItemCount() - 1 && Data.LastFormattedItem == Data.ItemCount() - 1)
            faults.Add(Format("items after %d have no drawing items", {last}));
        if (last >= 0 && last < Data.ItemCount() && Data.GetItemStyle(last) >= 0 &&
            !skipped(last, expectedOffs, Data.ItemLength(last) + 1))
            faults.Add(Format("item %d ends at character %d of %d",
                              {last, expectedOffs - 1, Data.ItemLength(last)}));
    }
    int prevDrawItem = -1;
    for (const auto& jump : Data.Jumps) {
        if (jump->DrawItemNo < prevDrawItem || jump->DrawItemNo >= count) {
            faults.Add(Format("hyperlink area %d is out of order", {jump->JumpNo}));
            break;
        }
        prevDrawItem = jump->DrawItemNo;
    }
    return faults.Text();
}

void RVCheckLayoutAfterOperation(const TCustomRVFormattedData& Data) {
    if (!RVChecksInvariants()) return;
    RVCheckAfterOperation(Data);
    AnsiString faults = CheckFormattedInvariants(Data);
    if (!faults.empty()) throw EZoroZudoError("Layout invariants broken: " + faults);
}
