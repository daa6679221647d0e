// The header: its properties, the column-edge hit test, the mouse state
// machine of resizing, dragging and clicking, hot tracking, springing and
// the header stream.
#include "controls/vtree/VirtualTreesHeader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/vtree/VirtualTrees_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

// Hover tracking looks at the cursor again after this many milliseconds.
constexpr unsigned HeaderTimerInterval = 50;
// The version the writer writes.
constexpr int32_t HeaderStreamVersion = 3;

// ---- The header stream's one reader ----

struct TColumnRecord {
    WideString Text;
    WideString Hint;
    int32_t Width = 0, MinWidth = 0, MaxWidth = 0;
    TVirtualTreeColumnStyle Style = vsText;
    int32_t ImageIndex = -1;
    TVTHeaderColumnLayout Layout = blGlyphLeft;
    int32_t Margin = 4, Spacing = 4;
    TBiDiMode BiDiMode = bdLeftToRight;
    TVTColumnOptions Options;
    int32_t Tag = 0;
    TAlignment Alignment = taLeftJustify;
    TColor Color = clWindow;
    bool HasTagAndAlignment = false;
    bool HasColor = false;
};

struct THeaderRecord {
    int32_t Version = -1;
    std::vector<TColumnRecord> Columns;
    std::vector<TColumnIndex> Positions;
    int32_t AutoSizeIndex = 0;
    TColor Background = clBtnFace;
    uint32_t Height = 17;
    TVTHeaderOptions Options;
    TVTHeaderStyle Style = hsThickButtons;
    TVTHeaderFont Font;
    int32_t MainColumn = NoColumn, SortColumn = NoColumn;
    TSortDirection SortDirection = sdAscending;
};

[[noreturn]] void StreamError() {
    RaiseTreeError("Stream read error", 0);
}

class THeaderReader {
public:
    THeaderReader(const TVTBytes& Data, size_t Position) : FData(Data), FPos(Position) {
        if (FPos > FData.size()) StreamError();
    }
    size_t Position() const { return FPos; }
    size_t Remaining() const { return FData.size() - FPos; }

    int32_t Int() {
        if (Remaining() < 4) StreamError();
        uint32_t v = uint32_t(FData[FPos]) | uint32_t(FData[FPos + 1]) << 8 |
                     uint32_t(FData[FPos + 2]) << 16 | uint32_t(FData[FPos + 3]) << 24;
        FPos += 4;
        return int32_t(v);
    }
    void StepBack() { FPos -= 4; }
    // The low byte, which must name one of Count values.
    int Enum(int Count) {
        int v = Int() & 0xFF;
        if (v >= Count) StreamError();
        return v;
    }
    WideString Wide() {
        int32_t n = Int();
        if (n < 0 || uint64_t(n) * 2 > Remaining()) StreamError();
        WideString s(size_t(n), u'\0');
        for (int32_t i = 0; i < n; ++i, FPos += 2)
            s[size_t(i)] = char16_t(FData[FPos] | FData[FPos + 1] << 8);
        return s;
    }
    AnsiString Ansi() {
        int32_t n = Int();
        if (n < 0 || uint64_t(n) > Remaining()) StreamError();
        AnsiString s(FData.begin() + std::ptrdiff_t(FPos), FData.begin() + std::ptrdiff_t(FPos) + n);
        FPos += size_t(n);
        return s;
    }

private:
    const TVTBytes& FData;
    size_t FPos;
};

TVTColumnOptions ConvertColumnOptions(int32_t Raw, int32_t Version) {
    uint32_t bits = uint32_t(Raw);
    if (Version >= 3) return TVTColumnOptions::FromBits(uint16_t(bits & 0xFFFF));
    if (Version == 2) return TVTColumnOptions::FromBits(uint16_t(bits & 0xFF));
    // Before version 2 there was no parent-colour option at bit 4.
    return TVTColumnOptions::FromBits(uint16_t((bits & 0x0F) | (bits & 0x70) << 1));
}

TColumnRecord ReadColumn(THeaderReader& R, int32_t Version) {
    TColumnRecord c;
    c.Text = R.Wide();
    c.Hint = R.Wide();
    c.Width = R.Int();
    c.MinWidth = R.Int();
    c.MaxWidth = R.Int();
    c.Style = TVirtualTreeColumnStyle(R.Enum(2));
    c.ImageIndex = R.Int();
    c.Layout = TVTHeaderColumnLayout(R.Enum(4));
    c.Margin = R.Int();
    c.Spacing = R.Int();
    c.BiDiMode = TBiDiMode(R.Enum(4));
    c.Options = ConvertColumnOptions(R.Int(), Version);
    if (Version >= 1) {
        c.HasTagAndAlignment = true;
        c.Tag = R.Int();
        c.Alignment = TAlignment(R.Enum(3));
    }
    if (Version >= 2) {
        c.HasColor = true;
        c.Color = TColor(R.Int());
    }
    return c;
}

// Reads and checks a whole header stream; nothing is applied here.
THeaderRecord ParseHeaderStream(const TVTBytes& Data, size_t& Position) {
    THeaderReader r(Data, Position);
    THeaderRecord h;
    int32_t marker = r.Int();
    if (marker >= 0)
        r.StepBack();
    else
        h.Version = r.Int();
    int32_t count = r.Int();
    if (count > 0) {
        // Two lengths, ten fields and the position entry are the least a column takes.
        constexpr uint64_t MinColumnBytes = 13 * 4;
        if (uint64_t(count) * MinColumnBytes > r.Remaining()) StreamError();
        h.Columns.reserve(size_t(count));
        for (int32_t i = 0; i < count; ++i)
            h.Columns.push_back(ReadColumn(r, h.Version));
        std::vector<bool> seen(size_t(count), false);
        for (int32_t p = 0; p < count; ++p) {
            int32_t index = r.Int();
            if (index < 0 || index >= count || seen[size_t(index)]) StreamError();
            seen[size_t(index)] = true;
            h.Positions.push_back(index);
        }
    }
    h.AutoSizeIndex = r.Int();
    h.Background = TColor(r.Int());
    h.Height = uint32_t(r.Int());
    h.Options = TVTHeaderOptions::FromBits(uint16_t(r.Int() & 0xFFFF));
    h.Style = TVTHeaderStyle(r.Enum(4));
    h.Font.Color = TColor(r.Int());
    h.Font.Height = r.Int();
    h.Font.Name = r.Ansi();
    h.Font.Pitch = uint8_t(r.Int() & 0x7F);
    h.Font.Style = uint8_t(r.Int() & 0xFF);
    if (h.Version >= 1) {
        h.MainColumn = r.Int();
        h.SortColumn = r.Int();
        h.SortDirection = TSortDirection(r.Enum(2));
    }
    Position = r.Position();
    return h;
}

void PutInt(TVTBytes& S, int32_t Value) {
    uint32_t v = uint32_t(Value);
    for (int i = 0; i < 4; ++i)
        S.push_back(uint8_t(v >> (8 * i)));
}

void PutWide(TVTBytes& S, const WideString& Text) {
    PutInt(S, int32_t(Text.size()));
    for (char16_t c : Text) {
        S.push_back(uint8_t(c & 0xFF));
        S.push_back(uint8_t(c >> 8));
    }
}

} // namespace

// ---- Construction and properties ---------------------------------------------------------

TVTHeader::TVTHeader(TBaseVirtualTree* AOwner)
    : FOwner(AOwner), FColumns(std::make_unique<TVirtualTreeColumns>(this)) {}

TVTHeader::~TVTHeader() = default;

void TVTHeader::SetColumns(TVirtualTreeColumns* Value) {
    FColumns->Assign(Value);
}

TColumnIndex TVTHeader::MainColumn() const {
    return HasColumns() ? FMainColumn : NoColumn;
}

void TVTHeader::SetAutoSizeIndex(TColumnIndex Value) {
    if (Value == FAutoSizeIndex) return;
    FAutoSizeIndex = Value;
    if (FOptions.Contains(hoAutoResize)) FColumns->FitAutoSizeColumn(false);
}

void TVTHeader::SetBackground(TColor Value) {
    if (Value == FBackground) return;
    FBackground = Value;
    RepaintHeader();
}

void TVTHeader::SetFont(const TVTHeaderFont& Value) {
    FParentFont = false;
    if (Value == FFont) return;
    FFont = Value;
    RepaintHeader();
}

void TVTHeader::SetHeight(uint32_t Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    if (!FOwner->IsLoading() && !FStates.Contains(hsLoading)) RecomputeHeaderFrame();
}

void TVTHeader::SetImages(TCustomImageList* Value) {
    if (Value == FImages) return;
    FImages = Value;
    if (!FOwner->IsLoading()) RepaintHeader();
}

void TVTHeader::SetMainColumn(TColumnIndex Value) {
    if (FOwner->IsLoading()) {
        FMainColumn = Value;
        return;
    }
    Value = HasColumns() ? std::clamp(Value, 0, FColumns->Count() - 1) : NoColumn;
    if (Value == FMainColumn) return;
    FMainColumn = Value;
    if (FStates.Contains(hsLoading)) return;
    FOwner->MainColumnChanged();
    if (!FOwner->TreeOptions()->SelectionOptions().Contains(toExtendedFocus)) FOwner->FFocusedColumn = Value;
    FOwner->InvalidateView();
}

void TVTHeader::SetOptions(TVTHeaderOptions Value) {
    const TVTHeaderOptions old = FOptions;
    FOptions = Value;
    if (old.Contains(hoAutoResize) != Value.Contains(hoAutoResize) && HasColumns()) {
        FColumns->FitAutoSizeColumn(false);
        if (FOwner->HandleAllocated()) {
            FOwner->UpdateHorizontalScrollBar(false);
            if (Value.Contains(hoAutoResize)) FOwner->InvalidateView();
        }
    }
    if (FOwner->IsLoading() || FStates.Contains(hsLoading) || !FOwner->HandleAllocated()) return;
    if (old.Contains(hoVisible) != Value.Contains(hoVisible)) RecomputeHeaderFrame();
    RepaintHeader();
    FOwner->InvalidateView();
}

void TVTHeader::SetParentFont(bool Value) {
    FParentFont = Value;
}

void TVTHeader::SetSortColumn(TColumnIndex Value) {
    if (FOwner->IsLoading()) {
        FSortColumn = Value;
        return;
    }
    Value = std::clamp(Value, NoColumn, FColumns->Count() - 1);
    if (Value == FSortColumn) return;
    if (FSortColumn >= 0) RepaintColumn(FSortColumn);
    FSortColumn = Value;
    if (FSortColumn >= 0) RepaintColumn(FSortColumn);
    ApplySortToTree();
}

void TVTHeader::SetSortDirection(TSortDirection Value) {
    if (Value == FSortDirection) return;
    FSortDirection = Value;
    RepaintHeader();
    ApplySortToTree();
}

void TVTHeader::ApplySortToTree() {
    if (FOwner->TreeOptions()->AutoOptions().Contains(toAutoSort) && FOwner->FUpdateCount == 0 &&
        !FStates.Contains(hsLoading))
        FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TVTHeader::SetStyle(TVTHeaderStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    if (!FOwner->IsLoading()) RepaintHeader();
}

void TVTHeader::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TVTHeader*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    SetAutoSizeIndex(source->FAutoSizeIndex);
    SetBackground(source->FBackground);
    SetColumns(source->FColumns.get());
    SetFont(source->FFont);
    SetHeight(source->FHeight);
    SetImages(source->FImages);
    SetMainColumn(source->MainColumn());
    SetOptions(source->FOptions);
    SetParentFont(source->FParentFont);
    PopupMenu = source->PopupMenu;
    SetSortColumn(source->FSortColumn);
    SetSortDirection(source->FSortDirection);
    SetStyle(source->FStyle);
}

// ---- Geometry and repaints ---------------------------------------------------------------

bool TVTHeader::PointInHeader(TPoint P) const {
    TRect r = FOwner->HeaderRectInClient();
    return !r.IsEmpty() && r.Contains(P);
}

void TVTHeader::RepaintHeader(TColumnIndex Column, bool ToBorder) {
    if (!FOptions.Contains(hoVisible) || !FOwner->HandleAllocated()) return;
    if (!FColumns->IsValidIndex(Column)) {
        FOwner->FView->RepaintHeader(nullptr);
        return;
    }
    const TVirtualTreeColumn* column = FColumns->GetItem(Column);
    TRect r = column->HeaderRect();
    if (!column->FOptions.Contains(coFixed)) {
        r.Left -= FOwner->EffectiveOffsetX();
        r.Right -= FOwner->EffectiveOffsetX();
    }
    if (FOwner->UseRightToLeftAlignment()) {
        int shift = FOwner->ComputeRTLOffset(false);
        r.Left += shift;
        r.Right += shift;
    }
    if (ToBorder) {
        TRect whole = FOwner->HeaderRectInClient();
        if (FOwner->UseRightToLeftAlignment())
            r.Left = whole.Left;
        else
            r.Right = whole.Right;
    }
    FOwner->FView->RepaintHeader(&r);
}

void TVTHeader::RepaintColumn(TColumnIndex Column) {
    if (Column >= 0) RepaintHeader(Column, false);
}

void TVTHeader::RecomputeHeaderFrame() {
    if (FOwner->HandleAllocated()) FOwner->FView->RedrawFrame();
}

bool TVTHeader::SplitterAt(TPoint P) {
    FColumns->TrackIndex = NoColumn;
    if (!HasColumns()) return false;
    const std::vector<TColumnIndex>& positions = FColumns->FPositionToIndex;
    if (!FOwner->UseRightToLeftAlignment()) {
        int edge = FOwner->RangeX() - FOwner->EffectiveOffsetX();
        for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
            const TVirtualTreeColumn* column = FColumns->GetItem(*it);
            if (!column->FOptions.Contains(coVisible)) continue;
            if (edge - 3 < P.X && P.X < edge + 5) {
                if (!column->FOptions.Contains(coResizable)) return false;
                FColumns->TrackIndex = *it;
                FTrackAnchor = edge - column->FWidth;
                return true;
            }
            edge -= column->FWidth;
        }
        return false;
    }
    int client = FOwner->FView->ClientWidth();
    int range = FOwner->RangeX();
    int edge = -FOwner->EffectiveOffsetX() + (range < client ? client - range : 0);
    for (TColumnIndex index : positions) {
        const TVirtualTreeColumn* column = FColumns->GetItem(index);
        if (!column->FOptions.Contains(coVisible)) continue;
        if (edge - 5 < P.X && P.X < edge + 3) {
            if (!column->FOptions.Contains(coResizable)) return false;
            FColumns->TrackIndex = index;
            FTrackAnchor = edge + column->FWidth;
            return true;
        }
        edge += column->FWidth;
    }
    return false;
}

void TVTHeader::FitAllColumns(bool Animated) {
    for (TColumnIndex index : std::vector<TColumnIndex>(FColumns->FPositionToIndex)) {
        TVirtualTreeColumn* column = FColumns->GetItem(index);
        if (!column->FOptions.Contains(coVisible) || !column->FOptions.Contains(coResizable)) continue;
        int width = FOwner->GetMaxColumnWidth(index);
        if (Animated)
            FColumns->ResizeAnimated(index, width);
        else
            column->SetWidth(width);
    }
}

void TVTHeader::RestoreAllWidths() {
    std::vector<TColumnIndex> positions = FColumns->FPositionToIndex;
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        TVirtualTreeColumn* column = FColumns->GetItem(*it);
        if (column->FOptions.Contains(coVisible) && column->FOptions.Contains(coResizable))
            column->RestorePreviousWidth();
    }
}

void TVTHeader::ClampMainColumn() {
    if (FMainColumn < 0) FMainColumn = 0;
    if (FMainColumn > FColumns->Count() - 1) FMainColumn = FColumns->Count() - 1;
}

void TVTHeader::SpringColumns() {
    const int current = FOwner->FView->ClientWidth();
    TScopeGuard remember([&] { FLastWidth = current; });
    if (FLastWidth == 0) return;
    const float change = float(current - FLastWidth);
    if (change == 0) return;
    int springs = 0;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TVTColumnOptions o = FColumns->GetItem(i)->FOptions;
        if (o.Contains(coVisible) && o.Contains(coAutoSpring)) ++springs;
    }
    if (springs == 0) return;
    const float share = std::fabs(change) / float(springs);
    float undistributed = std::fabs(change);
    for (int i = 0; i < FColumns->Count() && undistributed >= 0; ++i) {
        TVirtualTreeColumn* column = FColumns->GetItem(i);
        if (!column->FOptions.Contains(coVisible) || !column->FOptions.Contains(coAutoSpring)) continue;
        float sum = column->FSpringRest + share;
        if (sum >= 1) {
            int whole = int(std::trunc(sum));
            column->FSpringRest = sum - float(whole);
            column->SetWidth(column->FWidth + (change > 0 ? whole : -whole));
        } else {
            column->FSpringRest = sum;
        }
        undistributed -= share;
    }
}

TShiftState TVTHeader::CurrentShiftState() const {
    return FOwner->FView->KeyboardShiftState() & (ssShift | ssCtrl | ssAlt);
}

// ---- Mouse -------------------------------------------------------------------------------

bool TVTHeader::HandleMouseDown(TMouseButton Button, TShiftState Shift, TPoint P) {
    IVTView* view = FOwner->FView;
    TPoint h = ToHeader(P);
    if (Button != TMouseButton::mbLeft) {
        if (PointInHeader(P)) FOwner->DoHeaderMouseDown(Button, Shift, h.X, h.Y);
        return false;
    }
    view->CancelHint();
    view->KillTimer(ScrollTimer);
    FOwner->DoStateChange({}, {tsScrollPending, tsScrolling});
    view->KillTimer(EditTimer);
    FOwner->DoStateChange({}, {tsEditPending});
    FDragStart = P;
    FOwner->DoHeaderMouseDown(Button, Shift, h.X, h.Y);
    if (SplitterAt(P) && FOptions.Contains(hoColumnResize)) {
        FColumns->HoverIndex = NoColumn;
        FTrackStart = P;
        view->SetCapture();
        FStates.Include(hsTrackPending);
        return true;
    }
    TColumnIndex column = FColumns->ColumnAt(h, true);
    if (column >= 0) {
        TVTColumnOptions o = FColumns->GetItem(column)->FOptions;
        if (o.Contains(coEnabled) && o.Contains(coAllowClick) && column != FColumns->DownIndex) {
            RepaintColumn(FColumns->DownIndex);
            FColumns->DownIndex = column;
            RepaintColumn(column);
        }
        if (FOptions.Contains(hoDrag) && o.Contains(coDraggable)) {
            view->SetCapture();
            FStates.Include(hsDragPending);
            return true;
        }
    }
    return false;
}

bool TVTHeader::HandleMouseMove(TShiftState, TPoint P) {
    IVTView* view = FOwner->FView;
    if (FStates.Contains(hsTrackPending)) {
        view->KillTimer(HeaderTimer);
        FStates.Exclude(hsTrackPending).Include(hsTracking);
        return true;
    }
    if (FStates.Contains(hsTracking)) {
        if (FColumns->IsValidIndex(FColumns->TrackIndex)) {
            int width = FOwner->UseRightToLeftAlignment() ? FTrackAnchor - P.X : P.X - FTrackAnchor;
            FColumns->GetItem(FColumns->TrackIndex)->SetWidth(width);
        }
        return true;
    }
    if (FStates.Contains(hsDragPending)) {
        int threshold = view->DragThreshold();
        bool beyond = std::abs(P.X - FDragStart.X) > threshold || std::abs(P.Y - FDragStart.Y) > threshold;
        if (beyond && FOptions.Contains(hoDrag)) {
            TColumnIndex dragged = FColumns->ColumnAt(ToHeader(FDragStart), true);
            if (dragged >= 0 && FOwner->DoHeaderDragging(dragged)) {
                view->KillTimer(HeaderTimer);
                TColumnIndex pressed = FColumns->DownIndex;
                FColumns->DownIndex = NoColumn;
                FColumns->HoverIndex = NoColumn;
                RepaintColumn(pressed);
                StartColumnDrag();
                FStates.Exclude(hsDragPending).Include(hsDragging);
            }
        }
        return true;
    }
    if (FStates.Contains(hsDragging)) {
        MoveColumnDrag(P);
        return true;
    }
    return false;
}

void TVTHeader::HandleHoverMove(TShiftState Shift, TPoint P) {
    TPoint h = ToHeader(P);
    FOwner->DoHeaderMouseMove(Shift, h.X, h.Y);
    if (!PointInHeader(P)) return;
    TColumnIndex column = std::max(FColumns->ColumnAt(h, true), NoColumn);
    bool moved = column != FColumns->HoverIndex;
    if (moved) {
        RepaintColumn(FColumns->HoverIndex);
        FColumns->HoverIndex = column;
        RepaintColumn(column);
    }
    if (moved || (FColumns->DownIndex >= 0 && FColumns->DownIndex != FColumns->HoverIndex)) {
        FOwner->FView->KillTimer(HeaderTimer);
        FOwner->FView->SetTimer(HeaderTimer, HeaderTimerInterval);
    }
}

void TVTHeader::HandleTimer() {
    TPoint cursor = FOwner->FView->CursorPos();
    if (!PointInHeader(cursor) || (FColumns->DownIndex >= 0 && FColumns->DownIndex != FColumns->HoverIndex)) {
        FOwner->FView->KillTimer(HeaderTimer);
        FColumns->HoverIndex = FColumns->ClickIndex = FColumns->DownIndex = NoColumn;
        RepaintHeader();
    }
}

void TVTHeader::ColumnClick(TPoint P, TMouseButton Button, bool Forced, bool Double) {
    TPoint h = ToHeader(P);
    TColumnIndex column = FColumns->ColumnAt(h, true);
    if (column >= 0 && FColumns->GetItem(column)->FOptions.Contains(coAllowClick) &&
        (Forced || column == FColumns->DownIndex)) {
        FColumns->ClickIndex = column;
        TShiftState shift = CurrentShiftState() | (Double ? TShiftState(ssDouble) : 0);
        FOwner->DoHeaderClick(column, Button, shift, h.X, h.Y);
        RepaintColumn(column);
    } else {
        FColumns->ClickIndex = NoColumn;
    }
}

bool TVTHeader::HandleMouseUp(TMouseButton Button, TShiftState Shift, TPoint P, bool NonClient) {
    IVTView* view = FOwner->FView;
    TPoint h = ToHeader(P);
    if (Button == TMouseButton::mbRight) {
        if (!PointInHeader(P)) return false;
        view->CancelHint();
        ColumnClick(P, Button, true, false);
        FOwner->DoHeaderMouseUp(Button, Shift, h.X, h.Y);
        FColumns->DownIndex = FColumns->TrackIndex = NoColumn;
        if (PopupMenu) {
            view->KillTimer(ScrollTimer);
            view->KillTimer(HeaderTimer);
            FColumns->HoverIndex = NoColumn;
            // The context-menu request that follows the release finds the menu shown.
            FOwner->DoStateChange({tsPopupMenuShown}, {tsScrollPending, tsScrolling});
            view->Popup(PopupMenu, P);
            return true;
        }
        return false;
    }
    if (Button == TMouseButton::mbMiddle) {
        if (!PointInHeader(P)) return false;
        ColumnClick(P, Button, true, false);
        FOwner->DoHeaderMouseUp(Button, Shift, h.X, h.Y);
        FColumns->DownIndex = NoColumn;
        return false;
    }
    const THeaderStates active{hsTracking, hsTrackPending, hsDragging, hsDragPending};
    const bool hadState = !(FStates * active).Empty();
    view->CancelHint();
    view->ReleaseCapture();
    if (FStates.Contains(hsDragging)) {
        view->HideHeaderDragImage();
        TColumnIndex dragged = FColumns->DragIndex;
        bool inWindow =
            P.X >= 0 && P.X < view->ClientWidth() && P.Y >= -int64_t(FHeight) && P.Y < view->ClientHeight();
        if (FColumns->DropTarget >= 0 && FColumns->DropTarget != dragged && FColumns->IsValidIndex(dragged) &&
            inWindow) {
            TVirtualTreeColumn* column = FColumns->GetItem(dragged);
            TColumnPosition from = column->FPosition;
            TColumnPosition to = FColumns->GetItem(FColumns->DropTarget)->FPosition;
            TColumnPosition target;
            if (FColumns->DropBefore)
                target = from < to ? (to > 0 ? to - 1 : 0) : to;
            else
                target = from < to ? to : to + 1;
            column->SetPosition(target);
            FOwner->DoHeaderDragged(dragged, from);
        } else {
            FOwner->DoHeaderDraggedOut(dragged, P);
        }
        FColumns->DropTarget = NoColumn;
        FColumns->DragIndex = NoColumn;
        RepaintHeader();
    }
    if (NonClient) {
        ColumnClick(P, Button, false, false);
        FOwner->DoHeaderMouseUp(Button, Shift, h.X, h.Y);
    } else {
        if (FColumns->DownIndex >= 0) ColumnClick(P, Button, false, false);
        if (hadState) FOwner->DoHeaderMouseUp(Button, Shift, h.X, h.Y);
    }
    RepaintColumn(FColumns->TrackIndex);
    RepaintColumn(FColumns->DownIndex);
    FColumns->TrackIndex = FColumns->DownIndex = NoColumn;
    FStates -= active;
    return hadState;
}

bool TVTHeader::HandleDblClick(TMouseButton Button, TShiftState Shift, TPoint P) {
    if (!PointInHeader(P)) return false;
    TPoint h = ToHeader(P);
    TColumnIndex track = FColumns->TrackIndex;
    if (FOptions.Contains(hoDblClickResize) && FColumns->IsValidIndex(track)) {
        TVirtualTreeColumn* column = FColumns->GetItem(track);
        FColumns->ResizeAnimated(track, std::max(column->FMinWidth, FOwner->GetMaxColumnWidth(track)));
    } else {
        ColumnClick(P, Button, true, true);
    }
    if (FColumns->ClickIndex >= 0)
        FOwner->DoHeaderDblClick(FColumns->ClickIndex, Button, Shift | ssDouble, h.X, h.Y);
    return true;
}

bool TVTHeader::HandleCancel() {
    IVTView* view = FOwner->FView;
    if (FStates.Contains(hsDragging)) {
        view->ReleaseCapture();
        view->HideHeaderDragImage();
        FStates.Exclude(hsDragging);
        FColumns->DropTarget = NoColumn;
        RepaintHeader();
        return true;
    }
    if (FStates.Contains(hsTracking)) {
        view->ReleaseCapture();
        FStates.Exclude(hsTracking);
        return true;
    }
    return false;
}

bool TVTHeader::HandleSetCursor(TPoint P) {
    if (!FStates.Empty()) return true;
    if (!PointInHeader(P) || !FOptions.Contains(hoColumnResize)) return false;
    if (!SplitterAt(P)) return false;
    TCursor cursor = crHeaderSplit;
    FOwner->DoGetHeaderCursor(cursor);
    if (cursor == crDefault) return false;
    FOwner->FView->SetCursor(cursor);
    return true;
}

void TVTHeader::StartColumnDrag() {
    FColumns->DropTarget = NoColumn;
    FColumns->DragIndex = FColumns->ColumnAt(ToHeader(FDragStart), true);
    FOwner->FView->ShowHeaderDragImage(FColumns->DragIndex, FDragStart, FOptions.Contains(hoRestrictDrag));
}

void TVTHeader::MoveColumnDrag(TPoint P) {
    TColumnIndex column = FColumns->ColumnAt(ToHeader(P), true);
    bool repaint = false;
    if (column >= 0) {
        repaint = column != FColumns->DropTarget;
        int left, right;
        FColumns->ColumnBounds(column, left, right);
        bool before = P.X < (left + right) / 2;
        if (before != FColumns->DropBefore) repaint = true;
        FColumns->DropBefore = before;
        if (repaint) {
            TColumnIndex old = FColumns->DropTarget;
            FColumns->DropTarget = column;
            RepaintColumn(old);
            RepaintColumn(column);
        }
    }
    FOwner->FView->MoveHeaderDragImage(P, repaint);
}

// ---- Stream ------------------------------------------------------------------------------

void TVTHeader::LoadFromStream(const TVTBytes& Stream, size_t& Position) {
    size_t end = Position;
    const THeaderRecord h = ParseHeaderStream(Stream, end);
    FStates.Include(hsLoading);
    TScopeGuard finish([&] {
        FStates.Exclude(hsLoading);
        FOwner->DoColumnResize(NoColumn);
    });
    const TVTHeaderOptions kept = FOptions;
    FOptions = {};
    FColumns->Clear();
    if (!h.Columns.empty()) {
        FColumns->BeginUpdate();
        {
            TScopeGuard endUpdate([&] { FColumns->EndUpdate(); });
            for (const TColumnRecord& c : h.Columns) {
                TVirtualTreeColumn* column = FColumns->Add();
                column->SetText(c.Text);
                column->Hint = c.Hint;
                // The limits go first, so that a width outside a new column's limits survives.
                column->SetMaxWidth(c.MaxWidth);
                column->SetMinWidth(c.MinWidth);
                column->SetWidth(c.Width);
                column->SetStyle(c.Style);
                column->SetImageIndex(c.ImageIndex);
                column->SetLayout(c.Layout);
                column->SetMargin(c.Margin);
                column->SetSpacing(c.Spacing);
                column->SetBiDiMode(c.BiDiMode);
                column->SetOptions(c.Options);
                if (c.HasTagAndAlignment) {
                    column->Tag = c.Tag;
                    column->SetAlignment(c.Alignment);
                }
                if (c.HasColor) column->SetColor(c.Color);
            }
            FColumns->FPositionToIndex = h.Positions;
            for (size_t p = 0; p < h.Positions.size(); ++p)
                FColumns->GetItem(h.Positions[p])->FPosition = TColumnPosition(p);
        }
        FColumns->RecomputeLefts(true);
    }
    SetAutoSizeIndex(h.AutoSizeIndex);
    SetBackground(h.Background);
    SetHeight(h.Height);
    FOptions = kept;
    SetOptions(h.Options);
    SetStyle(h.Style);
    FFont = h.Font;
    if (h.Version >= 1) {
        SetMainColumn(h.MainColumn);
        SetSortColumn(h.SortColumn);
        SetSortDirection(h.SortDirection);
    }
    Position = end;
}

void TVTHeader::SaveToStream(TVTBytes& Stream) const {
    PutInt(Stream, -1);
    PutInt(Stream, HeaderStreamVersion);
    const int count = FColumns->Count();
    PutInt(Stream, count);
    for (int i = 0; i < count; ++i) {
        const TVirtualTreeColumn* c = FColumns->GetItem(i);
        PutWide(Stream, c->FText);
        PutWide(Stream, c->Hint);
        PutInt(Stream, c->FWidth);
        PutInt(Stream, c->FMinWidth);
        PutInt(Stream, c->FMaxWidth);
        PutInt(Stream, c->FStyle);
        PutInt(Stream, c->FImageIndex);
        PutInt(Stream, c->FLayout);
        PutInt(Stream, c->FMargin);
        PutInt(Stream, c->FSpacing);
        PutInt(Stream, c->FBiDiMode);
        PutInt(Stream, c->FOptions.ToBits());
        PutInt(Stream, c->Tag);
        PutInt(Stream, c->FAlignment);
        PutInt(Stream, int32_t(c->FColor));
    }
    if (count > 0)
        for (TColumnIndex index : FColumns->FPositionToIndex)
            PutInt(Stream, index);
    PutInt(Stream, FAutoSizeIndex);
    PutInt(Stream, int32_t(FBackground));
    PutInt(Stream, int32_t(FHeight));
    PutInt(Stream, FOptions.ToBits());
    PutInt(Stream, FStyle);
    PutInt(Stream, int32_t(FFont.Color));
    PutInt(Stream, FFont.Height);
    PutInt(Stream, int32_t(FFont.Name.size()));
    Stream.insert(Stream.end(), FFont.Name.begin(), FFont.Name.end());
    PutInt(Stream, FFont.Pitch & 0x7F);
    PutInt(Stream, FFont.Style);
    PutInt(Stream, FMainColumn);
    PutInt(Stream, FSortColumn);
    PutInt(Stream, FSortDirection);
}

// ---- The tree's side of the header -------------------------------------------------------

TColumnIndex TBaseVirtualTree::GetMainColumn() const {
    return FHeader ? FHeader->MainColumn() : NoColumn;
}

TColumnIndex TBaseVirtualTree::GetSortColumn() const {
    return FHeader ? FHeader->SortColumn() : NoColumn;
}

TSortDirection TBaseVirtualTree::GetSortDirection() const {
    return FHeader ? FHeader->SortDirection() : sdAscending;
}

void TBaseVirtualTree::MainColumnChanged() {
    // The editor and the accessibility objects follow the main column when they exist.
}

TRect TBaseVirtualTree::HeaderRectInClient() const {
    int height = FHeader && FHeader->FOptions.Contains(hoVisible)
                     ? int(std::min<uint32_t>(FHeader->FHeight, INT32_MAX / 2))
                     : 0;
    return TRect{0, -height, FView->ClientWidth(), 0};
}

int TBaseVirtualTree::ComputeRTLOffset(bool ExcludeScrollBar) const {
    const bool scrollBar = FView->ClientHeight() < RangeY() && FScrollBarOptions->HasVertical();
    const int barWidth = FView->ScrollBarSize();
    int result = scrollBar ? barWidth : 0;
    const int headerWidth = HeaderRectInClient().Width();
    const int range = RangeX();
    if (headerWidth >= result + range) result = headerWidth - range;
    if (ExcludeScrollBar && scrollBar) result -= barWidth;
    return result;
}
