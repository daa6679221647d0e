// Geometry of rows and cells: the display rectangle of a node, the widest
// content of a column, and the hit test that maps a point to a node, a
// column and the part of the cell under it.
#include "controls/vtree/VirtualTrees.h"

#include <algorithm>
#include <climits>

#include "controls/vtree/VirtualTrees_p.h"

namespace {

int Saturate(int64_t Value) {
    return int(std::clamp<int64_t>(Value, INT_MIN, INT_MAX));
}

TAlignment Mirrored(TAlignment Alignment) {
    if (Alignment == taLeftJustify) return taRightJustify;
    if (Alignment == taRightJustify) return taLeftJustify;
    return taCenter;
}

// Puts a text of Width into [Left, Right) as Alignment says.
void PlaceText(int& Left, int& Right, int Width, TAlignment Alignment) {
    switch (Alignment) {
    case taLeftJustify:
        Right = Left + Width;
        break;
    case taRightJustify:
        Left = Right - Width;
        break;
    case taCenter:
        Left = (Left + Right - Width) / 2;
        Right = Left + Width;
        break;
    }
}

} // namespace

int TBaseVirtualTree::ImageSpace(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column) {
    TCustomImageList* own = Kind == ikState ? FStateImages : FImages;
    bool ghosted = false;
    int index = -1;
    TCustomImageList* custom = DoGetImageIndex(Node, Kind, Column, ghosted, index);
    TCustomImageList* list = custom ? custom : own;
    if (!list || index < 0) return 0;
    return FView->ImageListWidth(list) + 2;
}

int TBaseVirtualTree::CheckSpace(PVirtualNode Node, TColumnIndex Column) {
    bool main = Column == NoColumn || Column == GetMainColumn();
    if (!main || !FOptions->MiscOptions().Contains(toCheckSupport) || !FCheckImages ||
        Node->CheckType == ctNone)
        return 0;
    return FView->ImageListWidth(FCheckImages) + 2;
}

TRect TBaseVirtualTree::GetDisplayRect(PVirtualNode Node, TColumnIndex Column, bool TextOnly,
                                       bool Unclipped) {
    const int64_t top = GetNodeTop(Node);
    if (top < 0) return TRect{};
    TVirtualTreeColumns* columns = FHeader->Columns();
    if (!columns->IsValidIndex(Column)) Column = NoColumn;
    const int clientWidth = FView->ClientWidth();
    int left = 0, right = std::max(clientWidth, RangeX());
    if (Column == NoColumn) {
        left -= EffectiveOffsetX();
        right -= EffectiveOffsetX();
    } else {
        columns->ColumnBounds(Column, left, right);
        right -= 1;
    }
    const int64_t rowTop = top + FOffsetY;
    TRect result{left, Saturate(rowTop), right, Saturate(rowTop + Node->NodeHeight)};
    if (!TextOnly) return result;

    const bool main = Column == NoColumn || Column == GetMainColumn();
    int offset = FMargin;
    if (main)
        offset +=
            int(FIndent) * int(GetNodeLevel(Node) + (FOptions->PaintOptions().Contains(toShowRoot) ? 1 : 0)) +
            CheckSpace(Node, Column);
    offset += ImageSpace(Node, ikState, Column) + ImageSpace(Node, ikNormal, Column);
    TAlignment alignment = Column == NoColumn ? FAlignment : columns->GetItem(Column)->Alignment();
    TBiDiMode bidi = Column == NoColumn ? FBiDiMode : columns->GetItem(Column)->BiDiMode();
    const bool rtl = bidi != bdLeftToRight;
    if (rtl) {
        result.Right -= offset;
        alignment = Mirrored(alignment);
    } else {
        result.Left += offset;
    }
    const int textWidth = DoGetNodeWidth(Node, Column, nullptr);
    const int room = result.Right - result.Left;
    if (Unclipped) {
        if (textWidth > room) alignment = rtl ? taRightJustify : taLeftJustify;
        PlaceText(result.Left, result.Right, textWidth, alignment);
    } else if (textWidth < room) {
        PlaceText(result.Left, result.Right, textWidth, alignment);
    }
    return result;
}

int TBaseVirtualTree::GetMaxColumnWidth(TColumnIndex Column) {
    const bool main = Column == NoColumn || Column == GetMainColumn();
    const int root = FOptions->PaintOptions().Contains(toShowRoot) ? 1 : 0;
    int result = 0;
    for (PVirtualNode node = GetFirstVisible(); node; node = GetNextVisible(node)) {
        int width = FMargin + ImageSpace(node, ikState, Column) + ImageSpace(node, ikNormal, Column) +
                    DoGetNodeWidth(node, Column, nullptr);
        if (main) width += int(FIndent) * int(GetNodeLevel(node) + root) + CheckSpace(node, Column);
        result = std::max(result, width);
    }
    if (FOptions->PaintOptions().Contains(toShowVertGridLines)) ++result;
    return result;
}

void TBaseVirtualTree::GetHitTestInfoAt(int X, int Y, bool Relative, THitInfo& HitInfo) {
    HitInfo = THitInfo{};
    const int clientWidth = FView->ClientWidth();
    const int64_t clientHeight = FView->ClientHeight();
    if (X < 0)
        HitInfo.HitPositions = {hpToLeft};
    else if (X > std::max(clientWidth, RangeX()))
        HitInfo.HitPositions.Include(hpToRight);
    if (Y < 0)
        HitInfo.HitPositions.Include(hpAbove);
    else if (Y > std::max(clientHeight, RangeY()))
        HitInfo.HitPositions.Include(hpBelow);
    TVirtualTreeColumns* columns = FHeader->Columns();
    int64_t x = X;
    int64_t y = Y;
    if (Relative) {
        if (X > columns->FixedVisibleWidth()) x += EffectiveOffsetX();
        y -= FOffsetY;
    }
    if (!HitInfo.HitPositions.Empty()) return;
    int64_t top;
    PVirtualNode node = NodeAtAbsolute(y, top);
    if (!node) {
        HitInfo.HitPositions = {hpNowhere};
        return;
    }
    HitInfo.HitNode = node;
    EnsureInitialized(node);
    int cellX, right;
    TAlignment alignment = FAlignment;
    TBiDiMode bidi = FBiDiMode;
    if (FHeader->HasColumns()) {
        int left = 0, cellRight = 0;
        TColumnIndex column = columns->ColumnAndBounds(TPoint{Saturate(x), 0}, left, cellRight, false);
        if (column >= 0 && FOptions->AutoOptions().Contains(toAutoSpanColumns)) {
            // An empty cell belongs to the text that spills into it from the left.
            const TColumnIndex first = column;
            while (ColumnIsEmpty(node, column)) {
                TColumnIndex previous = columns->PreviousVisibleColumn(column);
                if (previous < 0) break;
                column = previous;
                left -= columns->GetItem(previous)->Width();
            }
            for (TColumnIndex next = columns->NextVisibleColumn(first);
                 next >= 0 && ColumnIsEmpty(node, next); next = columns->NextVisibleColumn(next))
                cellRight += columns->GetItem(next)->Width();
        }
        HitInfo.HitColumn = column;
        if (column == InvalidColumn) {
            HitInfo.HitPositions.Include(hpNowhere);
            return;
        }
        cellX = Saturate(x - left);
        right = cellRight - left;
        alignment = columns->GetItem(column)->Alignment();
        bidi = columns->GetItem(column)->BiDiMode();
    } else {
        cellX = Saturate(x);
        right = std::max(clientWidth, RangeX());
    }
    HitInfo.HitPositions = {hpOnItem};
    if (bidi == bdLeftToRight)
        DetermineHitPositionLTR(HitInfo, cellX, right, alignment);
    else
        DetermineHitPositionRTL(HitInfo, cellX, right, alignment);
}

// Each part of the cell answers alone: a point on an icon is not also on the label.
void TBaseVirtualTree::DetermineHitPositionLTR(THitInfo& HitInfo, int X, int Right, TAlignment Alignment) {
    PVirtualNode node = HitInfo.HitNode;
    const TColumnIndex column = HitInfo.HitColumn;
    const bool main = column == GetMainColumn();
    const int indent = int(FIndent);
    int offset = 0;
    if (main)
        offset =
            indent * int(GetNodeLevel(node)) + (FOptions->PaintOptions().Contains(toShowRoot) ? indent : 0);
    if (X < offset) {
        if (FOptions->PaintOptions().Contains(toShowButtons) && node->States.Contains(vsHasChildren) &&
            X >= offset - indent)
            HitInfo.HitPositions.Include(hpOnItemButton);
        return;
    }
    if (!main && FOptions->MiscOptions().Contains(toReportMode)) return;
    offset += FMargin;
    if (main) {
        offset += CheckSpace(node, column);
        if (X < offset) {
            HitInfo.HitPositions = {hpOnItem};
            if (node->CheckType != ctNone) HitInfo.HitPositions.Include(hpOnItemCheckbox);
            return;
        }
    }
    if (int space = ImageSpace(node, ikState, column)) {
        offset += space;
        if (X < offset) {
            HitInfo.HitPositions.Include(hpOnStateIcon);
            return;
        }
    }
    if (int space = ImageSpace(node, ikNormal, column)) {
        offset += space;
        if (X < offset) {
            HitInfo.HitPositions.Include(hpOnNormalIcon);
            return;
        }
    }
    const int textWidth = DoGetNodeWidth(node, column, nullptr);
    if (textWidth > Right - offset) {
        HitInfo.HitPositions.Include(hpOnItemLabel);
        return;
    }
    switch (Alignment) {
    case taRightJustify:
        HitInfo.HitPositions.Include(X < Right - textWidth ? hpOnItemLeft : hpOnItemLabel);
        break;
    case taCenter: {
        const int start = (offset + Right - textWidth) / 2;
        HitInfo.HitPositions.Include(X < start               ? hpOnItemLeft
                                     : X < start + textWidth ? hpOnItemLabel
                                                             : hpOnItemRight);
        break;
    }
    case taLeftJustify:
        HitInfo.HitPositions.Include(X < offset + textWidth ? hpOnItemLabel : hpOnItemRight);
        break;
    }
}

void TBaseVirtualTree::DetermineHitPositionRTL(THitInfo& HitInfo, int X, int Right, TAlignment Alignment) {
    PVirtualNode node = HitInfo.HitNode;
    const TColumnIndex column = HitInfo.HitColumn;
    const bool main = column == GetMainColumn();
    const int indent = int(FIndent);
    int offset = Right;
    if (main)
        offset -=
            indent * int(GetNodeLevel(node)) + (FOptions->PaintOptions().Contains(toShowRoot) ? indent : 0);
    if (X >= offset) {
        if (FOptions->PaintOptions().Contains(toShowButtons) && node->States.Contains(vsHasChildren) &&
            X <= offset + indent)
            HitInfo.HitPositions.Include(hpOnItemButton);
        return;
    }
    if (!main && FOptions->MiscOptions().Contains(toReportMode)) return;
    offset -= FMargin;
    if (main) {
        offset -= CheckSpace(node, column);
        if (X > offset) {
            HitInfo.HitPositions = {hpOnItem};
            if (node->CheckType != ctNone) HitInfo.HitPositions.Include(hpOnItemCheckbox);
            return;
        }
    }
    if (int space = ImageSpace(node, ikState, column)) {
        offset -= space;
        if (X > offset) {
            HitInfo.HitPositions.Include(hpOnStateIcon);
            return;
        }
    }
    if (int space = ImageSpace(node, ikNormal, column)) {
        offset -= space;
        if (X > offset) {
            HitInfo.HitPositions.Include(hpOnNormalIcon);
            return;
        }
    }
    const int textWidth = DoGetNodeWidth(node, column, nullptr);
    if (textWidth > offset) {
        HitInfo.HitPositions.Include(hpOnItemLabel);
        return;
    }
    offset -= textWidth;
    switch (Mirrored(Alignment)) {
    case taRightJustify:
        HitInfo.HitPositions.Include(X < offset ? hpOnItemLeft : hpOnItemLabel);
        break;
    case taCenter: {
        const int half = offset / 2;
        HitInfo.HitPositions.Include(X < half               ? hpOnItemLeft
                                     : X < half + textWidth ? hpOnItemLabel
                                                            : hpOnItemRight);
        break;
    }
    case taLeftJustify:
        HitInfo.HitPositions.Include(X > textWidth ? hpOnItemRight : hpOnItemLabel);
        break;
    }
}
