// Drawing lines: the drawing-item list with its pending-deletion gap, the
// text of a piece, and the wavy underline of a misspelled word.
#include <gtest/gtest.h>

#include "RVTestData.h"
#include "platform/testing/TestCanvases.h"
#include "richtext/engine/lines/DLines.h"
#include "richtext/engine/lines/RVWordPaint.h"

namespace {

// A list of Count drawing items whose ItemNo are 0, 1, 2 ...
void Fill(TRVDrawLines& Lines, int Count) {
    for (int i = 0; i < Count; ++i)
        Lines.Add(std::make_unique<TRVDrawLineInfo>(0, 0, 0, 0, i, false));
}

std::vector<int> ItemNos(const TRVDrawLines& Lines) {
    std::vector<int> out;
    for (int i = 0; i < Lines.Count(); ++i)
        out.push_back(Lines[i] ? Lines[i]->ItemNo : -1);
    return out;
}

TEST(RVDrawLinesTest, TheGapIsFilledBeforeTheListGrows) {
    struct Case {
        const char* Name;
        int First, Last;
        std::vector<int> Inserted;
        std::vector<int> Slots; // -1: a slot of the gap
        std::vector<int> After;
    } cases[] = {
        {"fewer new items than freed",
         5,
         7,
         {50, 60},
         {0, 1, 2, 3, 4, 50, 60, -1, 8, 9},
         {0, 1, 2, 3, 4, 50, 60, 8, 9}},
        {"more new items than freed",
         5,
         6,
         {50, 60, 70},
         {0, 1, 2, 3, 4, 50, 60, 70, 7, 8, 9},
         {0, 1, 2, 3, 4, 50, 60, 70, 7, 8, 9}},
        {"as many", 0, 1, {50, 60}, {50, 60, 2, 3, 4, 5, 6, 7, 8, 9}, {50, 60, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    for (const Case& c : cases) {
        TRVDrawLines lines;
        EXPECT_EQ(lines.PendingDeleteStart, -1);
        Fill(lines, 10);
        lines.MarkForDeletion(c.First, c.Last);
        EXPECT_EQ(lines.PendingDeleteCount, c.Last - c.First + 1) << c.Name;
        int at = c.First;
        for (int itemNo : c.Inserted)
            lines.Insert(at++, std::make_unique<TRVDrawLineInfo>(0, 0, 0, 0, itemNo, false));
        EXPECT_EQ(ItemNos(lines), c.Slots) << c.Name;
        lines.ApplyPendingDeletion();
        EXPECT_EQ(lines.PendingDeleteCount, 0);
        EXPECT_EQ(ItemNos(lines), c.After) << c.Name;
    }
}

TEST(RVDrawLinesTest, DeletingBesideTheGapWidensIt) {
    TRVDrawLines lines;
    Fill(lines, 6);
    lines.MarkForDeletion(3, 4);
    lines.Delete(2); // just before the gap: joins it
    EXPECT_EQ(lines.PendingDeleteStart, 2);
    EXPECT_EQ(lines.PendingDeleteCount, 3);
    lines.Delete(0); // elsewhere: an ordinary delete that moves the gap along
    EXPECT_EQ(lines.PendingDeleteStart, 1);
    lines.ApplyPendingDeletion();
    EXPECT_EQ(ItemNos(lines), (std::vector<int>{1, 5}));
    try {
        lines.GetItem(2);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (2)");
    }
}

TEST(RVDrawLinesTest, TheTextOfAPieceIsItsItemsCharacters) {
    TTestRVData data;
    data.AddTextItem("abcdefgh", 0, 0);
    data.AddRawUnicodeTextTag(WideToRawUnicode(u"\u0436\u0437\u0438"), 0, 0, 0);
    TRVDrawLines lines;
    auto piece = std::make_unique<TRVDrawLineInfo>(0, 0, 40, 14, 0, true);
    piece->Offs = 3;
    piece->Length = 5;
    lines.Add(std::move(piece));
    auto wide = std::make_unique<TRVDrawLineInfo>(0, 0, 16, 14, 1, true);
    wide->Offs = 2;
    wide->Length = 2;
    lines.Add(std::move(wide));
    EXPECT_EQ(lines.GetDrawItemText(0, *data.ItemList), "cdefg");
    EXPECT_EQ(lines.GetDrawItemTextPart(0, *data.ItemList, 3, 10), "efg");
    EXPECT_EQ(lines.GetDrawItemText(1, *data.ItemList), WideToRawUnicode(u"\u0437\u0438"));
}

TEST(RVWordPaintTest, TheWavyLineRunsAlongTheBottom) {
    TRVStyle style(nullptr);
    style.LiveSpellingColor = clBlue;
    struct Case {
        TRect R;
        std::vector<AnsiString> Lines;
    } cases[] = {
        {{10, 0, 13, 20}, {"Line 10,18-13,20 pen=FF0000"}},
        {{10, 0, 16, 20}, {"Line 10,18-12,20 pen=FF0000", "Line 12,20-16,18 pen=FF0000"}},
        {{10, 0, 11, 20}, {}},
    };
    for (const Case& c : cases) {
        TRecordingCanvas canvas;
        canvas.Pen()->SetColor(clGreen);
        TRVWordMisspellPainter painter(1, 3);
        painter.Paint(canvas, c.R, style, nullptr);
        EXPECT_EQ(canvas.Log, c.Lines) << c.R.Right - c.R.Left;
        EXPECT_EQ(canvas.Pen()->Color(), clGreen);
    }
    // Past 1024 points the line is closed at the right edge.
    TRecordingCanvas canvas;
    TRVWordMisspellPainter painter(1, 3);
    painter.Paint(canvas, TRect{0, 0, 5000, 10}, style, nullptr);
    ASSERT_EQ(canvas.Log.size(), 1023u);
    EXPECT_EQ(canvas.Log.back(), "Line 2044,8-5000,10 pen=FF0000");
}

} // namespace
