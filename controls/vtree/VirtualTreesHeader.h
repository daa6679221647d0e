// The tree's header: its font as streamed and its properties, mouse state
// and stream; users of the tree get it with VirtualTrees.h.
// VirtualTrees.h includes this part at its end, after the tree; a guard
// instead of "once" lets a source include the part first all the same.
#include "controls/vtree/VirtualTrees.h"

#ifndef LUVORA_VIRTUALTREES_HEADER_H
#define LUVORA_VIRTUALTREES_HEADER_H

// The header's font as the header stream carries it; the painting layer
// turns it into a real font.
struct TVTHeaderFont {
    TColor Color = clWindowText;
    int Height = -11;
    AnsiString Name = "Tahoma";
    uint8_t Pitch = 0;
    uint8_t Style = 0;
    friend bool operator==(const TVTHeaderFont&, const TVTHeaderFont&) = default;
};

// The strip of column buttons above the client area: sizes, sorts, drags and
// resizes columns through abstract mouse events.
class TVTHeader : public TPersistent {
public:
    explicit TVTHeader(TBaseVirtualTree* AOwner);
    ~TVTHeader() override;

    void Assign(TPersistent* Source) override;
    TBaseVirtualTree* Treeview() const { return FOwner; }
    TVirtualTreeColumns* Columns() const { return FColumns.get(); }
    void SetColumns(TVirtualTreeColumns* Value);

    TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
    void SetAutoSizeIndex(TColumnIndex Value);
    TColor Background() const { return FBackground; }
    void SetBackground(TColor Value);
    const TVTHeaderFont& Font() const { return FFont; }
    void SetFont(const TVTHeaderFont& Value);
    uint32_t Height() const { return FHeight; }
    void SetHeight(uint32_t Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TColumnIndex MainColumn() const;
    void SetMainColumn(TColumnIndex Value);
    TVTHeaderOptions Options() const { return FOptions; }
    void SetOptions(TVTHeaderOptions Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TPopupMenu* PopupMenu = nullptr;
    TColumnIndex SortColumn() const { return FSortColumn; }
    void SetSortColumn(TColumnIndex Value);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection Value);
    TVTHeaderStyle Style() const { return FStyle; }
    void SetStyle(TVTHeaderStyle Value);
    THeaderStates States() const { return FStates; }

    bool HasColumns() const { return FColumns->Count() > 0; }
    // P in client coordinates.
    bool PointInHeader(TPoint P) const;
    virtual bool SplitterAt(TPoint P);
    void RepaintHeader(TColumnIndex Column = NoColumn, bool ToBorder = false);
    virtual void RecomputeHeaderFrame();
    void FitAllColumns(bool Animated);
    void RestoreAllWidths();
    void ClampMainColumn();
    void SpringColumns();
    TShiftState CurrentShiftState() const;

    // The header stream: every count, length and the position map are checked
    // before anything changes, so a bad stream raises and leaves the header as
    // it was.
    virtual void LoadFromStream(const TVTBytes& Stream, size_t& Position);
    virtual void SaveToStream(TVTBytes& Stream) const;

    // Mouse and keys, points in client coordinates; true when the header
    // handled the event.
    bool HandleMouseDown(TMouseButton Button, TShiftState Shift, TPoint P);
    bool HandleMouseMove(TShiftState Shift, TPoint P);
    void HandleHoverMove(TShiftState Shift, TPoint P);
    bool HandleMouseUp(TMouseButton Button, TShiftState Shift, TPoint P, bool NonClient);
    bool HandleDblClick(TMouseButton Button, TShiftState Shift, TPoint P);
    // Escape or the loss of the focus.
    bool HandleCancel();
    bool HandleSetCursor(TPoint P);
    // The hot-tracking timer.
    void HandleTimer();
    // The track anchor (the fixed edge of the column being resized).
    int TrackAnchor() const { return FTrackAnchor; }

private:
    friend class TVirtualTreeColumns;
    friend class TVirtualTreeColumn;
    friend class TBaseVirtualTree;
    friend class TVirtualTreeChecker;
    // P in client coordinates turned into header coordinates.
    TPoint ToHeader(TPoint P) const {
        return TPoint{P.X, int(std::min<int64_t>(int64_t(P.Y) + FHeight, INT32_MAX))};
    }
    void ColumnClick(TPoint P, TMouseButton Button, bool Forced, bool Double);
    void StartColumnDrag();
    void MoveColumnDrag(TPoint P);
    void RepaintColumn(TColumnIndex Column);
    void ApplySortToTree();

    TBaseVirtualTree* FOwner;
    std::unique_ptr<TVirtualTreeColumns> FColumns;
    TColumnIndex FAutoSizeIndex = 0;
    TColor FBackground = clBtnFace;
    TVTHeaderFont FFont;
    uint32_t FHeight = 17;
    TCustomImageList* FImages = nullptr;
    TColumnIndex FMainColumn = NoColumn;
    TVTHeaderOptions FOptions{hoColumnResize, hoDrag};
    bool FParentFont = false;
    TColumnIndex FSortColumn = NoColumn;
    TSortDirection FSortDirection = sdAscending;
    TVTHeaderStyle FStyle = hsThickButtons;
    THeaderStates FStates;
    int FTrackAnchor = 0;
    TPoint FTrackStart;
    TPoint FDragStart;
    int FLastWidth = 0;
};

#endif
