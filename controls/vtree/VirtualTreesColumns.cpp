// The header's columns: each column's properties and limits, the map from
// positions to indices, left edges, automatic sizing, springing and the
// geometric queries.
#include "controls/vtree/VirtualTreesColumns.h"

#include <algorithm>
#include <cmath>

#include "controls/vtree/VirtualTrees_p.h"
#include "platform/rtl/ScopeGuard.h"

// ---- Column ------------------------------------------------------------------------------

TVirtualTreeColumn::TVirtualTreeColumn(TCollection* ACollection) : TCollectionItem(ACollection) {
    TVirtualTreeColumns* owner = Owner();
    if (!owner) return;
    FPosition = TColumnPosition(owner->Count() - 1);
    TBaseVirtualTree* tree = Tree();
    FBiDiMode = tree->BiDiMode();
    FColor = tree->Color();
    owner->Update(nullptr);
}

TVirtualTreeColumn::~TVirtualTreeColumn() {
    TVirtualTreeColumns* owner = Owner();
    if (!owner || owner->FClearing) return;
    const TColumnIndex index = Index();
    auto& positions = owner->FPositionToIndex;
    positions.erase(std::remove(positions.begin(), positions.end(), index), positions.end());
    for (TColumnIndex& entry : positions)
        if (entry > index) --entry;
    auto adjust = [index](TColumnIndex& Column) {
        if (Column == index)
            Column = NoColumn;
        else if (Column > index)
            --Column;
    };
    for (TColumnIndex* column : {&owner->HoverIndex, &owner->DownIndex, &owner->TrackIndex,
                                 &owner->ClickIndex, &owner->DragIndex, &owner->DropTarget})
        adjust(*column);
    TVTHeader* header = owner->Header();
    adjust(header->FAutoSizeIndex);
    adjust(header->FSortColumn);
    if (header->FMainColumn > index)
        --header->FMainColumn;
    else if (header->FMainColumn == index)
        header->FMainColumn = owner->Count() > 1 ? 0 : NoColumn;
}

TVirtualTreeColumns* TVirtualTreeColumn::Owner() const {
    return static_cast<TVirtualTreeColumns*>(Collection());
}

TBaseVirtualTree* TVirtualTreeColumn::Tree() const {
    return Owner()->Tree();
}

void TVirtualTreeColumn::Changed() {
    if (Owner()) Owner()->Update(this);
}

void TVirtualTreeColumn::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Changed();
    Tree()->InvalidateView();
}

void TVirtualTreeColumn::SetBiDiMode(TBiDiMode Value) {
    if (Value == FBiDiMode) return;
    FBiDiMode = Value;
    FOptions.Exclude(coParentBidiMode);
    Changed();
    Tree()->InvalidateView();
}

void TVirtualTreeColumn::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    FOptions.Exclude(coParentColor);
    Changed();
    Tree()->InvalidateView();
}

void TVirtualTreeColumn::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed();
}

void TVirtualTreeColumn::SetLayout(TVTHeaderColumnLayout Value) {
    if (Value == FLayout) return;
    FLayout = Value;
    Changed();
}

void TVirtualTreeColumn::SetMargin(int Value) {
    if (Value < 0) Value = 4;
    if (Value == FMargin) return;
    FMargin = Value;
    Changed();
}

void TVirtualTreeColumn::SetSpacing(int Value) {
    if (Value == FSpacing) return;
    FSpacing = Value;
    Changed();
}

void TVirtualTreeColumn::SetStyle(TVirtualTreeColumnStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TVirtualTreeColumn::SetText(const WideString& Value) {
    if (Value == FText) return;
    FText = Value;
    Changed();
}

void TVirtualTreeColumn::SetWidth(int Value) {
    Value = std::min(std::max(Value, FMinWidth), FMaxWidth);
    if (Value == FWidth) return;
    FLastWidth = FWidth;
    FWidth = Value;
    TVirtualTreeColumns* owner = Owner();
    if (!owner) return;
    TVTHeader* header = owner->Header();
    TBaseVirtualTree* tree = Tree();
    // That column's width belongs to the auto-size rule.
    if (!(header->FOptions.Contains(hoAutoResize) && Index() == header->FAutoSizeIndex))
        owner->RecomputeLefts(false);
    if (tree->IsLoading() || owner->InUpdate()) return;
    if (header->FOptions.Contains(hoAutoResize)) owner->FitAutoSizeColumn(false);
    tree->DoColumnResize(Index());
}

void TVirtualTreeColumn::SetMinWidth(int Value) {
    if (Value < 0) Value = 0;
    FMinWidth = std::min(Value, FMaxWidth);
    SetWidth(FWidth);
}

void TVirtualTreeColumn::SetMaxWidth(int Value) {
    FMaxWidth = std::max(Value, FMinWidth);
    SetWidth(FWidth);
}

void TVirtualTreeColumn::SetPosition(TColumnPosition Value) {
    TVirtualTreeColumns* owner = Owner();
    TBaseVirtualTree* tree = Tree();
    if (tree->IsLoading()) {
        // Fixed up once loading ends.
        FPosition = Value;
        return;
    }
    Value = std::min(Value, TColumnPosition(owner->Count() - 1));
    if (Value != FPosition) {
        owner->SyncPositionArray();
        owner->MoveInPositionArray(Index(), Value);
        Changed();
        if (!owner->InUpdate() && tree->HandleAllocated()) {
            owner->Header()->RepaintHeader();
            tree->InvalidateView();
        }
    }
    // A column takes the fixed state of its neighbour, so fixed columns stay together.
    TColumnIndex neighbour = FOptions.Contains(coFixed) && FPosition > 0
                                 ? owner->ColumnAtPosition(FPosition - 1)
                                 : owner->ColumnAtPosition(FPosition + 1);
    if (neighbour >= 0) {
        TVTColumnOptions options = FOptions;
        if (owner->GetItem(neighbour)->FOptions.Contains(coFixed))
            options.Include(coFixed);
        else
            options.Exclude(coFixed);
        SetOptions(options);
    }
}

void TVirtualTreeColumn::SetOptions(TVTColumnOptions Value) {
    if (Value == FOptions) return;
    TVTColumnOptions turnedOn = Value - FOptions;
    TVTColumnOptions changed = (Value - FOptions) + (FOptions - Value);
    FOptions = Value;
    TBaseVirtualTree* tree = Tree();
    if (turnedOn.Contains(coParentBidiMode)) FBiDiMode = tree->BiDiMode();
    if (turnedOn.Contains(coParentColor)) FColor = tree->Color();
    if (turnedOn.Contains(coAutoSpring)) FSpringRest = 0;
    Changed();
    if (tree->IsLoading()) return;
    if ((changed.Contains(coVisible) || turnedOn.Contains(coParentColor)) && tree->FUpdateCount == 0 &&
        tree->HandleAllocated()) {
        tree->InvalidateView();
        if (changed.Contains(coVisible)) tree->UpdateHorizontalScrollBar(false);
    }
}

int TVirtualTreeColumn::Left() const {
    if (FOptions.Contains(coVisible) && FOptions.Contains(coFixed)) return FLeft;
    return FLeft - Tree()->EffectiveOffsetX();
}

void TVirtualTreeColumn::GetAbsoluteBounds(int& Left, int& Right) const {
    Left = FLeft;
    Right = FLeft + FWidth;
}

TRect TVirtualTreeColumn::HeaderRect() const {
    TRect r = Tree()->HeaderRectInClient();
    r.Left += FLeft;
    r.Right = r.Left + FWidth;
    return r;
}

bool TVirtualTreeColumn::SameAs(const TVirtualTreeColumn& Other) const {
    return FBiDiMode == Other.FBiDiMode && FImageIndex == Other.FImageIndex && FLayout == Other.FLayout &&
           FMargin == Other.FMargin && FMaxWidth == Other.FMaxWidth && FMinWidth == Other.FMinWidth &&
           FPosition == Other.FPosition && FSpacing == Other.FSpacing && FStyle == Other.FStyle &&
           FText == Other.FText && Hint == Other.Hint && FWidth == Other.FWidth &&
           FAlignment == Other.FAlignment && FColor == Other.FColor && Tag == Other.Tag &&
           FOptions == Other.FOptions;
}

void TVirtualTreeColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TVirtualTreeColumn*>(Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    // The setters must not react to the options while the rest is copied.
    const TVTColumnOptions own = FOptions;
    FOptions = {};
    {
        TScopeGuard restore([&] { FOptions = own; });
        SetBiDiMode(source->FBiDiMode);
        SetImageIndex(source->FImageIndex);
        SetLayout(source->FLayout);
        SetMargin(source->FMargin);
        SetMaxWidth(source->FMaxWidth);
        SetMinWidth(source->FMinWidth);
        SetPosition(source->FPosition);
        SetSpacing(source->FSpacing);
        SetStyle(source->FStyle);
        SetText(source->FText);
        Hint = source->Hint;
        SetWidth(source->FWidth);
        SetAlignment(source->FAlignment);
        SetColor(source->FColor);
        Tag = source->Tag;
    }
    SetOptions(source->FOptions);
    Changed();
}

AnsiString TVirtualTreeColumn::DisplayName() const {
    bool narrow = std::all_of(FText.begin(), FText.end(), [](char16_t c) { return c <= 255; });
    if (narrow) {
        AnsiString result;
        for (char16_t c : FText)
            result += char(c);
        return result;
    }
    return Format("Column %d", {Index()});
}

void TVirtualTreeColumn::RestorePreviousWidth() {
    Owner()->ResizeAnimated(Index(), FLastWidth);
}

void TVirtualTreeColumn::SyncBiDiModeFromTree() {
    if (!FOptions.Contains(coParentBidiMode) || !Owner()) return;
    if (FBiDiMode == Tree()->BiDiMode()) return;
    FBiDiMode = Tree()->BiDiMode();
    Changed();
}

void TVirtualTreeColumn::SyncColorFromTree() {
    if (!FOptions.Contains(coParentColor) || !Owner()) return;
    if (FColor == Tree()->Color()) return;
    FColor = Tree()->Color();
    Changed();
}

// ---- Collection --------------------------------------------------------------------------

TVirtualTreeColumns::TVirtualTreeColumns(TVTHeader* AOwner)
    : TCollection([](TCollection* C) -> TCollectionItem* { return new TVirtualTreeColumn(C); }),
      FHeader(AOwner) {}

TVirtualTreeColumns::~TVirtualTreeColumns() {
    // The columns go while this collection is still whole.
    FClearing = true;
    TCollection::Clear();
}

TPersistent* TVirtualTreeColumns::GetOwner() const {
    return FHeader;
}

TBaseVirtualTree* TVirtualTreeColumns::Tree() const {
    return FHeader->Treeview();
}

TVirtualTreeColumn* TVirtualTreeColumns::GetItem(TColumnIndex Index) const {
    return static_cast<TVirtualTreeColumn*>(Items(Index));
}

TVirtualTreeColumn* TVirtualTreeColumns::Add() {
    return static_cast<TVirtualTreeColumn*>(TCollection::Add());
}

void TVirtualTreeColumns::Clear() {
    FClearing = true;
    TScopeGuard done([&] {
        FClearing = false;
        FPositionToIndex.clear();
        Update(nullptr);
    });
    HoverIndex = DownIndex = TrackIndex = ClickIndex = DragIndex = DropTarget = NoColumn;
    if (!FHeader->FStates.Contains(hsLoading)) {
        FHeader->FAutoSizeIndex = NoColumn;
        FHeader->FMainColumn = NoColumn;
        FHeader->FSortColumn = NoColumn;
    }
    TCollection::Clear();
}

void TVirtualTreeColumns::Delete(TColumnIndex Index) {
    delete GetItem(Index);
    Update(nullptr);
}

void TVirtualTreeColumns::BeginUpdate() {
    ++FUpdateCount;
    TCollection::BeginUpdate();
}

void TVirtualTreeColumns::EndUpdate() {
    TCollection::EndUpdate();
    if (FUpdateCount > 0 && --FUpdateCount == 0) Update(nullptr);
}

void TVirtualTreeColumns::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TVirtualTreeColumns*>(Source);
    if (!source) {
        TCollection::Assign(Source);
        return;
    }
    BeginUpdate();
    {
        TScopeGuard end([&] { EndUpdate(); });
        Clear();
        for (int i = 0; i < source->Count(); ++i)
            Add()->Assign(source->GetItem(i));
        FPositionToIndex = source->FPositionToIndex;
        FNeedPositionsFix = false;
    }
    RecomputeLefts(true);
}

void TVirtualTreeColumns::Update(TVirtualTreeColumn* Item) {
    TBaseVirtualTree* tree = Tree();
    SyncPositionArray();
    if (tree->IsLoading())
        FNeedPositionsFix = true;
    else
        RecomputeLefts(false);
    if (Count() > 0 && FHeader->FMainColumn < 0) FHeader->FMainColumn = 0;
    if (tree->IsLoading() || FHeader->FStates.Contains(hsLoading) || FClearing) return;
    if (FHeader->FOptions.Contains(hoAutoResize)) FitAutoSizeColumn(false);
    if (Item) {
        FHeader->RepaintColumn(Item->Index());
    } else if (tree->HandleAllocated()) {
        tree->UpdateHorizontalScrollBar(false);
        FHeader->RepaintHeader();
        tree->InvalidateView();
    }
}

void TVirtualTreeColumns::SyncPositionArray() {
    const size_t count = size_t(Count());
    if (FPositionToIndex.size() == count) return;
    size_t old = FPositionToIndex.size();
    FPositionToIndex.resize(count);
    if (count > old) {
        for (size_t p = old; p < count; ++p)
            FPositionToIndex[p] = TColumnIndex(p);
        return;
    }
    bool changed = true;
    while (changed) {
        changed = false;
        for (TColumnIndex& entry : FPositionToIndex)
            if (entry >= TColumnIndex(count)) {
                --entry;
                changed = true;
            }
    }
}

void TVirtualTreeColumns::MoveInPositionArray(TColumnIndex Column, TColumnPosition NewPosition) {
    TColumnPosition old = GetItem(Column)->FPosition;
    auto first = FPositionToIndex.begin();
    if (old < NewPosition)
        std::rotate(first + old, first + old + 1, first + NewPosition + 1);
    else if (old > NewPosition)
        std::rotate(first + NewPosition, first + old, first + old + 1);
    FPositionToIndex[NewPosition] = Column;
    // Positions follow the array at once, also inside update blocks.
    for (size_t p = 0; p < FPositionToIndex.size(); ++p)
        GetItem(FPositionToIndex[p])->FPosition = TColumnPosition(p);
}

void TVirtualTreeColumns::RecomputeLefts(bool Force) {
    if (FNeedPositionsFix || (!Force && InUpdate())) return;
    if (FPositionToIndex.size() != size_t(Count())) return;
    int sum = 0;
    for (size_t p = 0; p < FPositionToIndex.size(); ++p) {
        TVirtualTreeColumn* column = GetItem(FPositionToIndex[p]);
        column->FPosition = TColumnPosition(p);
        column->FLeft = sum;
        if (column->FOptions.Contains(coVisible)) sum += column->FWidth;
    }
}

void TVirtualTreeColumns::ApplyLoadedPositions() {
    const int count = Count();
    std::vector<TColumnIndex> positions(size_t(count), NoColumn);
    bool permutation = true;
    for (int i = 0; i < count && permutation; ++i) {
        TColumnPosition p = GetItem(i)->FPosition;
        if (p >= TColumnPosition(count) || positions[p] != NoColumn)
            permutation = false;
        else
            positions[p] = i;
    }
    // Positions read from a form that are not a permutation give the index order.
    if (!permutation)
        for (int i = 0; i < count; ++i)
            positions[size_t(i)] = i;
    FPositionToIndex = positions;
    FNeedPositionsFix = false;
    RecomputeLefts(true);
}

void TVirtualTreeColumns::ResetOrder(bool RightToLeft) {
    const int count = Count();
    FPositionToIndex.resize(size_t(count));
    for (int p = 0; p < count; ++p)
        FPositionToIndex[size_t(p)] = RightToLeft ? count - 1 - p : p;
    RecomputeLefts(true);
}

TColumnIndex TVirtualTreeColumns::ColumnAtPosition(TColumnPosition Position) const {
    return Position < FPositionToIndex.size() ? FPositionToIndex[Position] : NoColumn;
}

TColumnIndex TVirtualTreeColumns::ColumnAndBounds(TPoint P, int& Left, int& Right, bool Relative) const {
    const TBaseVirtualTree* tree = Tree();
    int sum = Relative && P.X > FixedVisibleWidth() ? -tree->EffectiveOffsetX() : 0;
    if (tree->UseRightToLeftAlignment()) sum += tree->ComputeRTLOffset(true);
    // Right-to-left columns start right of 0; nothing lies left of them.
    if (P.X < sum) return InvalidColumn;
    for (TColumnIndex index : FPositionToIndex) {
        const TVirtualTreeColumn* column = GetItem(index);
        if (!column->FOptions.Contains(coVisible)) continue;
        Left = sum;
        sum += column->FWidth;
        if (P.X < sum) {
            Right = sum;
            return index;
        }
    }
    return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::ColumnAt(TPoint P, bool Relative) const {
    const TBaseVirtualTree* tree = Tree();
    int64_t height = int64_t(FHeader->FHeight) + tree->FView->ClientHeight();
    if (P.X < 0 || P.Y < 0 || P.Y > height) return InvalidColumn;
    int left, right;
    return ColumnAndBounds(P, left, right, Relative);
}

void TVirtualTreeColumns::ColumnBounds(TColumnIndex Column, int& Left, int& Right) const {
    const TBaseVirtualTree* tree = Tree();
    if (Column < 0) {
        Left = 0;
        Right = tree->FView->ClientWidth();
        return;
    }
    const TVirtualTreeColumn* column = GetItem(Column);
    Left = column->Left();
    Right = Left + column->FWidth;
    if (tree->UseRightToLeftAlignment()) {
        int shift = tree->ComputeRTLOffset(true);
        Left += shift;
        Right += shift;
    }
}

TColumnIndex TVirtualTreeColumns::FirstVisibleColumn() const {
    for (TColumnIndex index : FPositionToIndex)
        if (GetItem(index)->FOptions.Contains(coVisible)) return index;
    return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::LastVisibleColumn() const {
    for (auto it = FPositionToIndex.rbegin(); it != FPositionToIndex.rend(); ++it)
        if (GetItem(*it)->FOptions.Contains(coVisible)) return *it;
    return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::NextColumn(TColumnIndex Column) const {
    if (!IsValidIndex(Column)) return InvalidColumn;
    TColumnPosition p = GetItem(Column)->FPosition + 1;
    return p < FPositionToIndex.size() ? FPositionToIndex[p] : InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::PreviousColumn(TColumnIndex Column) const {
    if (!IsValidIndex(Column)) return InvalidColumn;
    TColumnPosition p = GetItem(Column)->FPosition;
    return p > 0 ? FPositionToIndex[p - 1] : InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::NextVisibleColumn(TColumnIndex Column) const {
    do
        Column = NextColumn(Column);
    while (Column >= 0 && !GetItem(Column)->FOptions.Contains(coVisible));
    return Column;
}

TColumnIndex TVirtualTreeColumns::PreviousVisibleColumn(TColumnIndex Column) const {
    do
        Column = PreviousColumn(Column);
    while (Column >= 0 && !GetItem(Column)->FOptions.Contains(coVisible));
    return Column;
}

TColumnsArray TVirtualTreeColumns::GetVisibleColumns() const {
    TColumnsArray result;
    for (TColumnIndex index : FPositionToIndex)
        if (GetItem(index)->FOptions.Contains(coVisible)) result.push_back(GetItem(index));
    return result;
}

int TVirtualTreeColumns::FixedVisibleWidth() const {
    int result = 0;
    for (int i = 0; i < Count(); ++i) {
        const TVirtualTreeColumn* column = GetItem(i);
        if (column->FOptions.Contains(coVisible) && column->FOptions.Contains(coFixed))
            result += column->FWidth;
    }
    return result;
}

int TVirtualTreeColumns::TotalVisibleWidth() const {
    for (auto it = FPositionToIndex.rbegin(); it != FPositionToIndex.rend(); ++it) {
        const TVirtualTreeColumn* column = GetItem(*it);
        if (column->FOptions.Contains(coVisible)) return column->FLeft + column->FWidth;
    }
    return 0;
}

bool TVirtualTreeColumns::SameAs(const TVirtualTreeColumns& Other) const {
    if (Count() != Other.Count() || FPositionToIndex != Other.FPositionToIndex) return false;
    for (int i = 0; i < Count(); ++i)
        if (!GetItem(i)->SameAs(*Other.GetItem(i))) return false;
    return true;
}

void TVirtualTreeColumns::ResizeAnimated(TColumnIndex Column, int NewWidth) {
    TVirtualTreeColumn* column = GetItem(Column);
    NewWidth = std::min(std::max(NewWidth, column->FMinWidth), column->FMaxWidth);
    if (NewWidth == column->FWidth) return;
    TBaseVirtualTree* tree = Tree();
    // The picture slides while the width is already the new one.
    if (tree->HandleAllocated()) tree->AnimateColumnResize(Column, NewWidth);
    column->SetWidth(NewWidth);
}

void TVirtualTreeColumns::FitAutoSizeColumn(bool Force) {
    if (Count() == 0) return;
    TColumnIndex target = FHeader->FAutoSizeIndex;
    if (target < 0 || target >= Count()) target = Count() - 1;
    TBaseVirtualTree* tree = Tree();
    int available = tree->FView->ClientWidth();
    for (int i = 0; i < Count(); ++i)
        if (i != target && GetItem(i)->FOptions.Contains(coVisible)) available -= GetItem(i)->FWidth;
    TVirtualTreeColumn* column = GetItem(target);
    int width = std::max(std::min(available, column->FMaxWidth), column->FMinWidth);
    if (!Force && width == column->FWidth) return;
    // Set directly: the previous width stays what the user gave.
    column->FWidth = width;
    RecomputeLefts(false);
    tree->DoColumnResize(target);
}
