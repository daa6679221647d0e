// The header's columns and their collection, declared apart from the tree
// that owns them; users of the tree get them with VirtualTrees.h.
// VirtualTrees.h includes this part at its end, after the tree; a guard
// instead of "once" lets a source include the part first all the same.
#include "controls/vtree/VirtualTrees.h"

#ifndef LUVORA_VIRTUALTREES_COLUMNS_H
#define LUVORA_VIRTUALTREES_COLUMNS_H

// One column of the header. Its index is its place in the collection (what
// events name); its position is its place on screen from the left.
class TVirtualTreeColumn : public TCollectionItem {
public:
    explicit TVirtualTreeColumn(TCollection* ACollection);
    ~TVirtualTreeColumn() override;

    void Assign(TPersistent* Source) override;
    AnsiString DisplayName() const override;
    virtual bool SameAs(const TVirtualTreeColumn& Other) const;
    // The button's rectangle in the header, not scrolled.
    virtual TRect HeaderRect() const;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    WideString Hint;
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TVTHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TVTHeaderColumnLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    TVTColumnOptions Options() const { return FOptions; }
    void SetOptions(TVTColumnOptions Value);
    TColumnPosition Position() const { return FPosition; }
    void SetPosition(TColumnPosition Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TVirtualTreeColumnStyle Style() const { return FStyle; }
    void SetStyle(TVirtualTreeColumnStyle Value);
    int Tag = 0;
    const WideString& Text() const { return FText; }
    void SetText(const WideString& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    // The width before the latest change.
    int PreviousWidth() const { return FLastWidth; }

    // The left edge in client coordinates (a visible fixed column does not scroll).
    int Left() const;
    // Left and right edge before horizontal scrolling.
    void GetAbsoluteBounds(int& Left, int& Right) const;
    bool UsesRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
    void RestorePreviousWidth();
    void SyncBiDiModeFromTree();
    void SyncColorFromTree();
    TVirtualTreeColumns* Owner() const;

private:
    friend class TVirtualTreeColumns;
    friend class TVTHeader;
    friend class TVirtualTreeChecker;
    void Changed();
    TBaseVirtualTree* Tree() const;

    WideString FText;
    int FLeft = 0;
    int FWidth = 50;
    int FLastWidth = 50;
    int FMinWidth = 10;
    int FMaxWidth = 10000;
    int FImageIndex = -1;
    int FMargin = 4;
    int FSpacing = 4;
    TColumnPosition FPosition = 0;
    TVTColumnOptions FOptions = DefaultColumnOptions;
    TVirtualTreeColumnStyle FStyle = vsText;
    TVTHeaderColumnLayout FLayout = blGlyphLeft;
    TAlignment FAlignment = taLeftJustify;
    TBiDiMode FBiDiMode = bdLeftToRight;
    TColor FColor = clWindow;
    float FSpringRest = 0;
};

// The header's columns with their index-to-position map, widths and the
// geometric queries.
class TVirtualTreeColumns : public TCollection {
public:
    explicit TVirtualTreeColumns(TVTHeader* AOwner);
    ~TVirtualTreeColumns() override;

    TPersistent* GetOwner() const override;
    TVTHeader* Header() const { return FHeader; }
    void Assign(TPersistent* Source) override;
    // The column with that index; out of range raises EListError.
    TVirtualTreeColumn* GetItem(TColumnIndex Index) const;
    TVirtualTreeColumn* operator[](TColumnIndex Index) const { return GetItem(Index); }
    virtual TVirtualTreeColumn* Add();
    virtual void Clear();
    // Removes one column; the positions close up.
    void Delete(TColumnIndex Index);
    virtual void Update(TVirtualTreeColumn* Item);
    void BeginUpdate();
    void EndUpdate();
    bool InUpdate() const { return FUpdateCount > 0; }

    // P in header coordinates (y = 0 at the top of the header).
    virtual TColumnIndex ColumnAt(TPoint P, bool Relative) const;
    // The column under P with its left and right edge in client coordinates.
    TColumnIndex ColumnAndBounds(TPoint P, int& Left, int& Right, bool Relative) const;
    virtual TColumnIndex ColumnAtPosition(TColumnPosition Position) const;
    void ColumnBounds(TColumnIndex Column, int& Left, int& Right) const;
    TColumnIndex FirstVisibleColumn() const;
    TColumnIndex LastVisibleColumn() const;
    TColumnIndex NextColumn(TColumnIndex Column) const;
    TColumnIndex PreviousColumn(TColumnIndex Column) const;
    TColumnIndex NextVisibleColumn(TColumnIndex Column) const;
    TColumnIndex PreviousVisibleColumn(TColumnIndex Column) const;
    TColumnsArray GetVisibleColumns() const;
    int FixedVisibleWidth() const;
    int TotalVisibleWidth() const;
    bool IsValidIndex(TColumnIndex Column) const { return Column >= 0 && Column < Count(); }
    bool SameAs(const TVirtualTreeColumns& Other) const;
    // Entry p is the index of the column at position p.
    const std::vector<TColumnIndex>& PositionToIndex() const { return FPositionToIndex; }

    void ResizeAnimated(TColumnIndex Column, int NewWidth);
    void FitAutoSizeColumn(bool Force);
    void ApplyLoadedPositions();
    void ResetOrder(bool RightToLeft);

    // The columns the header's mouse handling follows; -1 when none.
    TColumnIndex HoverIndex = NoColumn;
    TColumnIndex DownIndex = NoColumn;
    TColumnIndex TrackIndex = NoColumn;
    TColumnIndex ClickIndex = NoColumn;
    TColumnIndex DragIndex = NoColumn;
    TColumnIndex DropTarget = NoColumn;
    bool DropBefore = false;

private:
    friend class TVirtualTreeColumn;
    friend class TVTHeader;
    friend class TVirtualTreeChecker;
    void SyncPositionArray();
    void MoveInPositionArray(TColumnIndex Column, TColumnPosition NewPosition);
    void RecomputeLefts(bool Force);
    TBaseVirtualTree* Tree() const;

    TVTHeader* FHeader;
    std::vector<TColumnIndex> FPositionToIndex;
    int FUpdateCount = 0;
    bool FNeedPositionsFix = false;
    bool FClearing = false;
};

#endif
