// Painting the string grid: fixed cells on the button face, the others on
// the window colour, grid lines after every cell, and OnDrawCell.
#include "platform/gui/Grids.h"

namespace {
constexpr int TextMargin = 2;
} // namespace

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& Rect, TGridDrawState State) {
    if (DefaultDrawing)
        Canvas()->TextRect(Rect, Rect.Left + TextMargin, Rect.Top + TextMargin, Cells(ACol, ARow));
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, Rect, State);
}

void TStringGrid::Paint() {
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    for (int r = 0; r < FRowCount; ++r)
        for (int c = 0; c < FColCount; ++c) {
            TRect rect = CellRect(c, r);
            if (rect.IsEmpty()) continue;
            bool fixed = c < FFixedCols || r < FFixedRows;
            TGridDrawState state = fixed ? TGridDrawState(gdFixed) : 0u;
            bool current = !fixed && ((c == FCol && r == FRow) || ((FOptions & goRowSelect) && r == FRow));
            if (current)
                state |= gdSelected |
                         (Focused() || (FEditor && FEditor->Focused()) ? TGridDrawState(gdFocused) : 0u);
            // The current cell alone shows as the caret does, unless asked.
            bool highlight = current && (FOptions & (goDrawFocusSelected | goRowSelect));
            canvas->Brush()->SetColor(fixed ? clBtnFace : highlight ? clHighlight : Color());
            canvas->Font()->SetColor(highlight ? clHighlightText : Font()->Color());
            if (DefaultDrawing) canvas->FillRect(rect);
            DrawCell(c, r, rect, state);
            // The lines right of and below the cell.
            bool vert = fixed ? (FOptions & goFixedVertLine) : (FOptions & goVertLine);
            bool horz = fixed ? (FOptions & goFixedHorzLine) : (FOptions & goHorzLine);
            canvas->Pen()->SetColor(fixed ? clBlack : clBtnFace);
            if (vert) {
                canvas->MoveTo(rect.Right, rect.Top);
                canvas->LineTo(rect.Right, rect.Bottom + 1);
            }
            if (horz) {
                canvas->MoveTo(rect.Left, rect.Bottom);
                canvas->LineTo(rect.Right + 1, rect.Bottom);
            }
        }
}
