// Drawing lines: the pieces of items that formatting places on lines, the
// list that holds them in reading order with its pending-deletion gap, and
// the drawing item of an item that printing may split over pages, with its
// parts.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "richtext/engine/text/RVClasses.h"
#include "richtext/engine/text/RVFuncs.h"
#include "richtext/engine/text/RVUni.h"

class TRVFootnoteRefList; // footnotes met while paginating (printing)
class TRVItemList;        // a document's item strings (document/)
class TCustomRVItemInfo;

// One piece of an item on one line: a whole non-text item, or a run of the
// characters of a text item. Lengths are pixels of the canvas the document
// was formatted on.
class TRVDrawLineInfo : public TObject {
public:
    TRVDrawLineInfo() = default;
    TRVDrawLineInfo(int ALeft, int ATop, int AWidth, int AHeight, int AItemNo, bool AFromNewLine);

    // Pixels of justification space at the start of the piece (in Width).
    int32_t SpaceBefore = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t ItemNo = 0;
    // 1-based first character and character count; 0 for non-text items.
    int32_t Offs = 0;
    int32_t Length = 0;
    // Line spacing below the line; the same on every piece of a line.
    int32_t ExtraSpaceBelow = 0;
    // 255 for a piece that begins a line; any non-zero value means so.
    uint8_t FromNewLine = 0;

    virtual void SetData(int ALeft, int ATop, int AItemNo, bool AFromNewLine);
    virtual void SetSize(int AWidth, int AHeight);

    // Splitting over printed pages; a plain piece never splits. Room and
    // heights are device pixels.
    virtual bool InitSplit(const TRVScreenDeviceResolution& Resolution);
    virtual bool CanSplitFirst(int Room, const TRVScreenDeviceResolution& Resolution, bool ItemStartsPage,
                               bool ListExists, bool CountFootnotes);
    virtual bool SplitAt(int Room, const TRVScreenDeviceResolution& Resolution, bool FirstOnPage,
                         TRVFootnoteRefList*& Footnotes, int& Height, bool CountFootnotes);
};

// The drawing items of a document in reading order, owned. Partial
// re-formatting frees a stretch of them at once and fills the freed slots
// (the pending gap) before the list grows, so the tail moves once at most.
class TRVDrawLines {
public:
    TRVDrawLines() = default;
    ~TRVDrawLines();
    TRVDrawLines(const TRVDrawLines&) = delete;
    TRVDrawLines& operator=(const TRVDrawLines&) = delete;

    int Count() const { return int(FItems.size()); }
    // Index errors raise "List index out of bounds (%d)".
    TRVDrawLineInfo* GetItem(int Index) const;
    TRVDrawLineInfo* operator[](int Index) const { return GetItem(Index); }
    // Replaces the slot only: the old object is the caller's.
    void SetItem(int Index, TRVDrawLineInfo* Item);
    void Add(std::unique_ptr<TRVDrawLineInfo> Item);
    // Into the first slot of the gap when there is one, else an ordinary
    // insert that moves the tail.
    void Insert(int Index, std::unique_ptr<TRVDrawLineInfo> Item);
    // Frees the item; without a gap its slot goes, with one it joins it.
    void Delete(int Index);
    // Frees items First..Last; their slots become the gap.
    void MarkForDeletion(int First, int Last);
    // Removes what is left of the gap in one move of the tail.
    void ApplyPendingDeletion();
    void Clear();

    int32_t PendingDeleteStart = -1;
    int32_t PendingDeleteCount = 0;

    // The characters a text piece shows, in the item's encoding.
    AnsiString GetDrawItemText(int Index, const TRVItemList& Items) const;
    // Count characters from From (1-based within the piece), never past its end.
    AnsiString GetDrawItemTextPart(int Index, const TRVItemList& Items, int From, int Count) const;

private:
    void CheckIndex(int Index) const;
    bool InGap(int Index) const {
        return PendingDeleteCount > 0 && Index >= PendingDeleteStart &&
               Index < PendingDeleteStart + PendingDeleteCount;
    }
    // Slots in the gap hold nil.
    std::vector<TRVDrawLineInfo*> FItems;
};

// One page's part of a split item. Heights are device pixels.
class TRVMultiDrawItemPart : public TObject {
public:
    int32_t Height = 0;
    // The height of the content the part shows (pictures: screen pixels).
    virtual int GetPartImageHeight() const { return 0; }
    // What a soft page break at the start of this part records; -1: none.
    virtual int GetPageBreakExtra() const { return -1; }
    // Whether the break before this part cuts through sub-documents.
    virtual bool CutsContent() const { return false; }
    // Lets the item record the soft page breaks this part makes.
    virtual void RecordSoftPageBreaks(TRVDrawLineInfo*, TCustomRVItemInfo*) {}
};

// The parts of a split item, owned, in page order.
class TRVMultiDrawItemPartsList {
public:
    int Count() const { return int(FParts.size()); }
    TRVMultiDrawItemPart* GetItem(int Index) const;
    TRVMultiDrawItemPart* operator[](int Index) const { return GetItem(Index); }
    TRVMultiDrawItemPart* Last() const { return FParts.empty() ? nullptr : FParts.back().get(); }
    void Add(std::unique_ptr<TRVMultiDrawItemPart> Part) { FParts.push_back(std::move(Part)); }
    void Clear() { FParts.clear(); }

private:
    std::vector<std::unique_ptr<TRVMultiDrawItemPart>> FParts;
};

// The drawing item of an item that printing may split over pages; its size
// is that of the whole item at the device, set by its creator.
class TRVMultiDrawItemInfo : public TRVDrawLineInfo {
public:
    TRVMultiDrawItemPartsList PartsList;
};

// Where a printed page begins: an item and the offset in it, and for a page
// that begins inside a split item the value its page part gives (-1: none).
class TRVSoftPageBreakInfo : public TObject {
public:
    int32_t ItemNo = 0;
    int32_t Offs = 0;
    int32_t ExtraData = -1;
};

// The soft page breaks of a document in page order, owned.
class TRVSoftPageBreakList : public TRVList {
public:
    TRVSoftPageBreakInfo* Get(int Index) const {
        return static_cast<TRVSoftPageBreakInfo*>(TRVList::Get(Index));
    }
};
