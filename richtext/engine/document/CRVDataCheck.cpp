// The document's invariant checker, and its call after structural
// operations in checking builds.
#include "richtext/engine/document/CRVDataCheck.h"

#include <utility>
#include <variant>

#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

class TFaults {
public:
    static constexpr int MaxFaults = 5;
    void Add(const AnsiString& Fault) {
        if (++FCount > MaxFaults) return;
        if (!FText.empty()) FText += "; ";
        FText += FWhere + Fault;
    }
    bool Full() const { return FCount >= MaxFaults; }
    const AnsiString& Text() const { return FText; }
    // Faults of a nested document are told with where it lies.
    AnsiString Enter(const AnsiString& Where) { return std::exchange(FWhere, FWhere + Where + ": "); }
    void Leave(AnsiString Saved) { FWhere = std::move(Saved); }

private:
    AnsiString FText;
    AnsiString FWhere;
    int FCount = 0;
};

// Tags of a string-tag document are texts; of the others integers. The
// empty text and 0 both mean no tag and fit either kind.
bool TagFits(const TRVTag& Tag, bool Strings) {
    if (const auto* number = std::get_if<int32_t>(&Tag)) return !Strings ? true : *number == 0;
    return Strings || std::get<AnsiString>(Tag).empty();
}

void CheckItems(const TCustomRVData& Data, TFaults& Faults) {
    TRVStyle* style = Data.GetRVStyle();
    bool stringTags = Data.TagsArePChars();
    int paraNo = 0;
    for (int i = 0; i < Data.ItemCount() && !Faults.Full(); ++i) {
        const TCustomRVItemInfo* item = Data.GetItem(i);
        if (!item) {
            Faults.Add(Format("item %d is nil", {i}));
            continue;
        }
        bool inLine = item->ItemOptions & (ioContinuesParagraph | ioLineBreakBefore);
        bool fullLine = item->GetBoolValue(iqFullLine);
        if (inLine && fullLine) Faults.Add(Format("full-line item %d continues a paragraph or line", {i}));
        if (inLine && i == 0) Faults.Add("the first item continues a paragraph or line");
        if (inLine && i > 0 && Data.GetItem(i - 1) && Data.GetItem(i - 1)->GetBoolValue(iqFullLine))
            Faults.Add(Format("item %d continues the full-line item before it", {i}));
        if ((item->ItemOptions & ioPageBreakBefore) && (inLine || !Data.AllowsPageBreaks()))
            Faults.Add(Format("item %d has a page break off a paragraph start", {i}));
        if (item->StartsParagraph())
            paraNo = item->ParaNo;
        else if (item->ParaNo != paraNo)
            Faults.Add(Format("item %d has paragraph style %d in a paragraph of style %d",
                              {i, item->ParaNo, paraNo}));
        if (item->StyleNo >= 0 && item->IsUnicode() && Data.GetItemText(i).size() % 2)
            Faults.Add(Format("Unicode item %d has an odd number of bytes", {i}));
        if (item->StyleNo == rvsListMarker) {
            if (inLine) Faults.Add(Format("list marker %d is inside a paragraph", {i}));
            // The last item may be a marker whose paragraph is being built.
            const TCustomRVItemInfo* next = i + 1 < Data.ItemCount() ? Data.GetItem(i + 1) : nullptr;
            if (next && !next->GetContinuesParagraph())
                Faults.Add(Format("the paragraph of list marker %d holds only the marker", {i}));
        }
        if (!TagFits(item->Tag, stringTags)) Faults.Add(Format("item %d has a tag of the other kind", {i}));
        if (!style) continue;
        int textStyles = style->TextStyles().Count();
        if (item->ParaNo < 0 || item->ParaNo >= style->ParaStyles().Count())
            Faults.Add(Format("item %d has paragraph style %d out of range", {i, item->ParaNo}));
        if (item->StyleNo >= 0 && item->StyleNo != rvsDefStyle && item->StyleNo >= textStyles)
            Faults.Add(Format("item %d has text style %d out of range", {i, item->StyleNo}));
        int associated = item->GetAssociatedTextStyleNo();
        if (associated != -1 && associated != rvsDefStyle && (associated < 0 || associated >= textStyles))
            Faults.Add(Format("item %d refers to text style %d out of range", {i, associated}));
        if (item->StyleNo >= 0 && !item->IsUnicode()) {
            int actual = Data.GetActualStyle(*item);
            if (actual >= 0 && actual < textStyles && style->TextStyles().GetItem(actual)->Unicode)
                Faults.Add(Format("item %d holds 8-bit text in Unicode text style %d", {i, actual}));
        }
        if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(item);
            marker && (marker->ListNo < -1 || marker->ListNo >= style->ListStyles().Count()))
            Faults.Add(Format("list marker %d has list style %d out of range", {i, marker->ListNo}));
    }
}

void CheckCheckpoints(const TCustomRVData& Data, TFaults& Faults) {
    bool stringTags = Data.TagsArePChars();
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
        if (!TagFits(cp->Tag, stringTags))
            Faults.Add(Format("checkpoint \"%s\" has a tag of the other kind", {cp->Name}));
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

// Markers and sequence items of Data and its sub-documents in document order.
void CollectNumbered(const TCustomRVData& Data, std::vector<TRVMarkerItemInfo*>& Markers,
                     std::vector<TRVSeqItemInfo*>& Sequences) {
    for (int i = 0; i < Data.ItemCount(); ++i) {
        TCustomRVItemInfo* item = Data.GetItem(i);
        if (!item) continue;
        if (auto* marker = dynamic_cast<TRVMarkerItemInfo*>(item)) Markers.push_back(marker);
        if (auto* seq = dynamic_cast<TRVSeqItemInfo*>(item)) Sequences.push_back(seq);
        std::unique_ptr<TRVStoreSubRVData> position;
        for (TCustomRVData* sub = item->GetSubDocument(position, rvsdFirst); sub;
             sub = item->GetSubDocument(position, rvsdNext))
            CollectNumbered(*sub, Markers, Sequences);
    }
}

// Markers whose list styles exist, so that counting them raises nothing.
bool CountableMarkers(const TCustomRVData& Data, const std::vector<TRVMarkerItemInfo*>& Markers) {
    TRVStyle* style = Data.GetRVStyle();
    for (const TRVMarkerItemInfo* m : Markers)
        if (m->ListNo >= 0 && (!style || m->ListNo >= style->ListStyles().Count())) return false;
    return true;
}

// The numbering lists of Data, which keeps them, against a walk of its tree,
// and their counters and texts against a recount (the items' own values are
// put back afterwards).
void CheckNumbering(TCustomRVData& Data, TFaults& Faults) {
    std::vector<TRVMarkerItemInfo*> markers;
    std::vector<TRVSeqItemInfo*> sequences;
    CollectNumbered(Data, markers, sequences);
    TRVMarkerList* markerList = Data.GetMarkerList(false);
    int listed = markerList ? markerList->Count() : 0;
    bool sameMarkers = listed == int(markers.size());
    for (int i = 0; sameMarkers && i < listed; ++i)
        sameMarkers = markerList->Items(i) == markers[std::size_t(i)];
    if (!sameMarkers) {
        Faults.Add(Format("the marker list holds %d markers, not the %d of the document in order",
                          {listed, int(markers.size())}));
    } else if (markerList && CountableMarkers(Data, markers)) {
        struct TSaved {
            int32_t Counter;
            AnsiString Text;
        };
        std::vector<TSaved> saved;
        for (TRVMarkerItemInfo* m : markers)
            saved.push_back({m->Counter, m->DisplayString});
        TRVMarkerList recount;
        recount.PrevMarkerList = markerList->PrevMarkerList;
        for (TRVMarkerItemInfo* m : markers)
            recount.Append(m);
        recount.RecalcAllCounters(Data.GetRVStyle());
        for (std::size_t i = 0; i < markers.size(); ++i) {
            if (markers[i]->Counter != saved[i].Counter || markers[i]->DisplayString != saved[i].Text)
                Faults.Add(Format("list marker %d of the list counts %d, not %d",
                                  {int(i), saved[i].Counter, markers[i]->Counter}));
            markers[i]->Counter = saved[i].Counter;
            markers[i]->DisplayString = saved[i].Text;
        }
        // The recount moved the markers' places in their list; put them back.
        for (int i = 0; i < markerList->Count(); ++i)
            markerList->Items(i)->GetIndexInList(markerList);
    }
    TRVSeqList* seqList = Data.GetSeqList(false);
    listed = seqList ? seqList->Count() : 0;
    bool sameSequences = listed == int(sequences.size());
    for (int i = 0; sameSequences && i < listed; ++i)
        sameSequences = seqList->Items(i) == sequences[std::size_t(i)];
    if (!sameSequences) {
        Faults.Add(Format("the sequence list holds %d items, not the %d of the document in order",
                          {listed, int(sequences.size())}));
    } else if (seqList) {
        std::vector<std::pair<int32_t, AnsiString>> saved;
        for (TRVSeqItemInfo* q : sequences)
            saved.emplace_back(q->Counter, q->Text);
        TRVSeqList recount;
        for (TRVSeqItemInfo* q : sequences)
            recount.Append(q);
        recount.RecalcAllCounters();
        for (std::size_t i = 0; i < sequences.size(); ++i) {
            if (sequences[i]->Counter != saved[i].first || sequences[i]->Text != saved[i].second)
                Faults.Add(Format("sequence item %d counts %d, not %d",
                                  {int(i), saved[i].first, sequences[i]->Counter}));
            sequences[i]->Counter = saved[i].first;
            sequences[i]->Text = saved[i].second;
        }
        for (int i = 0; i < seqList->Count(); ++i)
            seqList->Items(i)->GetIndexInList(seqList);
    }
}

void CheckTree(const TCustomRVData& Data, TFaults& Faults);

// Note bodies belong to their note and to the note's document; they keep
// numbering lists of their own.
void CheckNote(const TCustomRVData& Data, int ItemNo, const TCustomRVNoteItemInfo& Note, TFaults& Faults) {
    if (!Note.Document) {
        Faults.Add(Format("note %d has no body", {ItemNo}));
        return;
    }
    if (Note.Document->OwnerItem != &Note)
        Faults.Add(Format("the body of note %d belongs to another item", {ItemNo}));
    if (Note.Document->MainRVData != Data.GetOuterRootData())
        Faults.Add(Format("the body of note %d refers to another document", {ItemNo}));
    AnsiString saved = Faults.Enter(Format("body of note %d", {ItemNo}));
    CheckTree(*Note.Document, Faults);
    Faults.Leave(saved);
}

void CheckTree(const TCustomRVData& Data, TFaults& Faults) {
    CheckItems(Data, Faults);
    CheckCheckpoints(Data, Faults);
    auto& data = const_cast<TCustomRVData&>(Data);
    if (data.GetNumberingRoot() == &data) CheckNumbering(data, Faults);
    for (int i = 0; i < Data.ItemCount() && !Faults.Full(); ++i) {
        TCustomRVItemInfo* item = Data.GetItem(i);
        if (!item) continue;
        if (auto* note = dynamic_cast<TCustomRVNoteItemInfo*>(item)) CheckNote(Data, i, *note, Faults);
        std::unique_ptr<TRVStoreSubRVData> position;
        int index = 0;
        for (TCustomRVData* sub = item->GetSubDocument(position, rvsdFirst); sub && !Faults.Full();
             sub = item->GetSubDocument(position, rvsdNext), ++index) {
            AnsiString saved = Faults.Enter(Format("sub-document %d of item %d", {index, i}));
            if (sub->GetParentData() != &Data) Faults.Add("its parent is another document");
            CheckTree(*sub, Faults);
            Faults.Leave(saved);
        }
    }
}

} // namespace

AnsiString CheckRVDataInvariants(const TCustomRVData& Data) {
    TFaults faults;
    CheckTree(Data, faults);
    return faults.Text();
}

bool RVChecksInvariants() {
#ifdef RV_CHECK_INVARIANTS
    return true;
#else
    return false;
#endif
}

namespace {

// Whether Data hangs in its root's tree. A sub-document built apart (an
// imported table before it is added) already numbers in the root's lists,
// which its items join only when it is added; the check runs then.
bool IsAttached(const TCustomRVData& Data) {
    const TCustomRVData* child = &Data;
    for (const TCustomRVData* parent = child->GetParentData(); parent;
         child = parent, parent = parent->GetParentData()) {
        bool found = false;
        for (int i = 0; !found && i < parent->ItemCount(); ++i) {
            TCustomRVItemInfo* item = parent->GetItem(i);
            if (!item) continue;
            std::unique_ptr<TRVStoreSubRVData> position;
            for (TCustomRVData* sub = item->GetSubDocument(position, rvsdFirst); sub && !found;
                 sub = item->GetSubDocument(position, rvsdNext))
                found = sub == child;
        }
        if (!found) return false;
    }
    return true;
}

} // namespace

void RVCheckAfterOperation(const TCustomRVData& Data) {
    if (!RVChecksInvariants() || !IsAttached(Data)) return;
    AnsiString faults = CheckRVDataInvariants(*Data.GetOuterRootData());
    if (!faults.empty()) throw EZoroZudoError("Document invariants broken: " + faults);
}
