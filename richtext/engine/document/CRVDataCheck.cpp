// The document's invariant checker.
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

void CheckItems(const TCustomRVData& Data, TFaults& Faults) {
    int paraNo = 0;
    for (int i = 0; i < Data.ItemCount() && !Faults.Full(); ++i) {
        const TCustomRVItemInfo* item = Data.GetItem(i);
        if (!item) {
            Faults.Add(Format("item %d is nil", {i}));
            continue;
        }
        bool inLine = item->ItemOptions & (ioContinuesParagraph | ioLineBreakBefore);
        if (inLine && item->GetBoolValue(iqFullLine))
            Faults.Add(Format("full-line item %d continues a paragraph or line", {i}));
        if (inLine && i == 0) Faults.Add("the first item continues a paragraph or line");
        if (item->StartsParagraph())
            paraNo = item->ParaNo;
        else if (item->ParaNo != paraNo)
            Faults.Add(Format("item %d has paragraph style %d in a paragraph of style %d",
                              {i, item->ParaNo, paraNo}));
        if (item->StyleNo >= 0 && item->IsUnicode() && Data.GetItemText(i).size() % 2)
            Faults.Add(Format("Unicode item %d has an odd number of bytes", {i}));
    }
}

void CheckCheckpoints(const TCustomRVData& Data, TFaults& Faults) {
    int withCheckpoint = 0;
    for (int i = 0; i < Data.ItemCount(); ++i)
        if (const TCustomRVItemInfo* item = Data.GetItem(i); item && item->Checkpoint) ++withCheckpoint;
    int linked = 0;
    int lastItemNo = -1;
    const TRVCPInfo* prev = nullptr;
    for (const TRVCPInfo* cp = Data.CheckpointHead; cp && !Faults.Full(); prev = cp, cp = cp->Next) {
        if (++linked > withCheckpoint) {
            Faults.Add("the checkpoint chain is longer than the items' checkpoints");
            return;
        }
        if (cp->Prev != prev) Faults.Add(Format("checkpoint %d links back wrongly", {linked - 1}));
        int itemNo = cp->Item ? Data.GetItemNo(cp->Item) : -1;
        if (itemNo < 0 || cp->Item->Checkpoint.get() != cp) {
            Faults.Add(Format("checkpoint \"%s\" belongs to no item of the document", {cp->Name}));
            continue;
        }
        if (itemNo <= lastItemNo) Faults.Add(Format("checkpoint \"%s\" is out of item order", {cp->Name}));
        lastItemNo = itemNo;
    }
    if (Data.CheckpointTail != prev) Faults.Add("the checkpoint tail is not the last checkpoint");
    if (linked != withCheckpoint)
        Faults.Add(Format("%d items have checkpoints, %d are linked", {withCheckpoint, linked}));
    int expected = linked + (Data.PendingCheckpoint ? 1 : 0);
    if (Data.CheckpointCount != expected)
        Faults.Add(Format("CheckpointCount is %d, not %d", {Data.CheckpointCount, expected}));
    if (Data.PendingCheckpoint && Data.PendingCheckpoint->Item)
        Faults.Add("the pending checkpoint belongs to an item");
}

} // namespace

AnsiString CheckRVDataInvariants(const TCustomRVData& Data) {
    TFaults faults;
    CheckItems(Data, faults);
    CheckCheckpoints(Data, faults);
    return faults.Text();
}
