// Painting on the recording canvas: a short list of calls per case for
// text, selection, underlines, marks of special characters, page breaks,
// checkpoints, paragraph backgrounds and items.
#include <gtest/gtest.h>

#include <functional>

#include "RVPaintTestData.h"
#include "richtext/engine/items/RVPictures.h"

namespace {

using TLog = std::vector<AnsiString>;

struct TPaintCase {
    const char* Name;
    std::function<void(TPaintTestData&, TRVStyle&)> Build;
    // Set after formatting: the selection and the like.
    std::function<void(TPaintTestData&)> After;
    TLog Log;
};

void RunCases(const std::vector<TPaintCase>& Cases) {
    for (const TPaintCase& c : Cases) {
        auto style = MakeLayoutStyle();
        TFixedMetricsCanvas measure;
        TPaintTestData data(style.get(), &measure);
        data.Height = 60;
        c.Build(data, *style);
        data.Format();
        if (c.After) c.After(data);
        TLog log = PaintLog(data);
        EXPECT_EQ(log, c.Log) << c.Name;
    }
}

std::unique_ptr<TRVGraphicItemInfo> Picture(TCustomRVData& D, int W, int H) {
    auto item = std::make_unique<TRVGraphicItemInfo>(&D, std::make_unique<TRVBitmapImage>(W, H), vaBaseline);
    item->ParaNo = -1;
    return item;
}

TEST(RVPaintDocumentTest, TextAndSelection) {
    RunCases({
        {"plain text is drawn once at its drawing item",
         [](TPaintTestData& D, TRVStyle&) { D.AddTextItem("ab cd", 0, 0); },
         nullptr,
         {"Text 0,0 'ab cd' font=Arial,-13, color=FF000008"}},
        {"partly selected text is drawn whole, then the selected part over it",
         [](TPaintTestData& D, TRVStyle&) { D.AddTextItem("abcdef", 0, 0); },
         [](TPaintTestData& D) {
             D.SelStartDrawItem = D.SelEndDrawItem = 0;
             D.SelStartDrawOffs = 2;
             D.SelEndDrawOffs = 4;
         },
         {"Text 0,0 'abcdef' font=Arial,-13, color=FF000008",
          "Text 8,0 'bc' font=Arial,-13, color=FF00000E"}},
        {"a selection without the focus takes the inactive colours",
         [](TPaintTestData& D, TRVStyle& S) {
             D.AddTextItem("ab", 0, 0);
             S.InactiveSelColor = clGray;
         },
         [](TPaintTestData& D) {
             D.Focused = false;
             D.SelStartDrawItem = D.SelEndDrawItem = 0;
             D.SelStartDrawOffs = 1;
             D.SelEndDrawOffs = 3;
         },
         {"Text 0,0 'ab' font=Arial,-13, color=FF00000E"}},
        {"line selection fills the line's band",
         [](TPaintTestData& D, TRVStyle& S) {
             D.AddTextItem("ab", 0, 0);
             D.AddTextItem("c", 0, 0);
             S.SelectionStyle = rvssLines;
         },
         [](TPaintTestData& D) {
             D.SelStartDrawItem = 0;
             D.SelEndDrawItem = 1;
             D.SelStartDrawOffs = 1;
             D.SelEndDrawOffs = 2;
         },
         {"Fill -1,0-17,14 brush=FF00000D", "Text 0,0 'ab' font=Arial,-13, color=FF00000E",
          "Fill -1,14-9,28 brush=FF00000D", "Text 0,14 'c' font=Arial,-13, color=FF00000E"}},
        {"a selected picture gets a frame; the scroll offsets move everything",
         [](TPaintTestData& D, TRVStyle&) {
             D.AddTextItem("a", 0, 0);
             D.AddItem("", Picture(D, 10, 8));
         },
         [](TPaintTestData& D) {
             D.HOffs = 2;
             D.VOffs = 1;
             D.SelStartDrawItem = 0;
             D.SelEndDrawItem = 1;
             D.SelStartDrawOffs = 2;
             D.SelEndDrawOffs = 1;
         },
         {"Text -2,-1 'a' font=Arial,-13, color=FF000008", "Bitmap 7,2-17,10 from 0,0-10,8 of 10x8",
          "Rectangle 6,1-18,11 pen=FF00000D brush=clear"}},
    });
}

// The font underlines the plain type itself; every other type is drawn by
// hand under the drawing item (colour text's, calls without it).
TEST(RVPaintDocumentTest, UnderlinesOfEveryType) {
    const std::vector<std::pair<TRVUnderlineType, TLog>> cases = {
        {rvutNormal, {}},
        {rvutThick, {"Fill 0,13-24,15"}},
        {rvutDouble, {"Line 0,13-24,13", "Line 0,15-24,15"}},
        {rvutDotted,
         {"Fill 0,14-2,15", "Fill 4,14-6,15", "Fill 8,14-10,15", "Fill 12,14-14,15", "Fill 16,14-18,15",
          "Fill 20,14-22,15"}},
        {rvutThickDotted,
         {"Fill 0,13-2,15", "Fill 4,13-6,15", "Fill 8,13-10,15", "Fill 12,13-14,15", "Fill 16,13-18,15",
          "Fill 20,13-22,15"}},
        {rvutDashed, {"Fill 0,14-8,15", "Fill 12,14-20,15"}},
        {rvutThickDashed, {"Fill 0,13-8,15", "Fill 12,13-20,15"}},
        {rvutLongDashed, {"Fill 0,14-16,15"}},
        {rvutThickLongDashed, {"Fill 0,13-16,15"}},
        {rvutDashDotted, {"Fill 0,14-8,15", "Fill 10,14-12,15", "Fill 14,14-22,15"}},
        {rvutThickDashDotted, {"Fill 0,13-8,15", "Fill 10,13-12,15", "Fill 14,13-22,15"}},
        {rvutDashDotDotted, {"Fill 0,14-6,15", "Fill 8,14-10,15", "Fill 12,14-14,15", "Fill 16,14-22,15"}},
        {rvutThickDashDotDotted,
         {"Fill 0,13-6,15", "Fill 8,13-10,15", "Fill 12,13-14,15", "Fill 16,13-22,15"}},
    };
    for (const auto& [type, expected] : cases) {
        auto style = MakeLayoutStyle();
        TFontInfo& f = *style->TextStyles().GetItem(0);
        f.Style = fsUnderline;
        f.UnderlineType = type;
        TFixedMetricsCanvas measure;
        TPaintTestData data(style.get(), &measure);
        data.AddTextItem("abc", 0, 0);
        data.Format();
        TLog lines;
        for (AnsiString l : PaintLog(data)) {
            if (l.compare(0, 4, "Text") == 0) continue;
            for (const char* color : {" brush=FF000008", " pen=FF000008"})
                if (auto at = l.find(color); at != AnsiString::npos) l.erase(at);
            lines.push_back(l);
        }
        EXPECT_EQ(lines, expected) << int(type);
    }
}

TEST(RVPaintDocumentTest, MarksBreaksAndBackgrounds) {
    RunCases({
        {"special characters: dots for spaces, a pilcrow at the paragraph end, an arrow at a line break",
         [](TPaintTestData& D, TRVStyle&) {
             D.Options |= rvoShowSpecialCharacters;
             D.AddTextItem("a b", 0, 0);
             D.AddTextItem("c", 0, 0);
             D.GetItem(1)->SetLineBreakBefore(true);
         },
         nullptr,
         {"Text 0,0 'a b' font=Arial,-13, color=FF000008", "Text 8,0 '\xB7' font=Arial,-13, color=FF000008",
          "Text 24,0 '?' font=Symbol,-13, color=FF000008", "Text 0,14 'c' font=Arial,-13, color=FF000008",
          "Text 8,14 '\xB6' font=Arial,-13, color=FF000008"}},
        {"page break and checkpoint marks",
         [](TPaintTestData& D, TRVStyle&) {
             D.Options |= rvoShowPageBreaks | rvoShowCheckpoints;
             D.AddTextItem("a", 0, 0);
             D.AddCheckpoint("cp", true, 0);
             D.AddTextItem("b", 0, 0);
             D.GetItem(1)->SetPageBreakBefore(true);
         },
         nullptr,
         {"Text 0,0 'a' font=Arial,-13, color=FF000008", "Line 0,13-192,13 pen=FF000010",
          "Fill 192,14-193,15 brush=FF000005", "Fill 192,15-194,16 brush=FF000005",
          "Fill 192,16-195,17 brush=FF000005", "Fill 192,17-196,18 brush=FF000005",
          "Fill 192,18-197,19 brush=FF000005", "Fill 192,19-198,20 brush=FF000005",
          "Fill 192,20-199,21 brush=FF000005", "Line 192,13-200,21 pen=FF000010",
          "Line 200,21-192,21 pen=FF000010", "Line 192,21-192,13 pen=FF000010", "Ellipse -2,12-2,16",
          "Line 0,14-200,14 pen=00FF00", "Text 0,14 'b' font=Arial,-13, color=FF000008"}},
        {"paragraph background and double border around the paragraph's box",
         [](TPaintTestData& D, TRVStyle& S) {
             TParaInfo& p = *S.ParaStyles().Add();
             p.Background().Color = clYellow;
             p.Border().Style = rvbDouble;
             p.Border().Color = clRed;
             p.LeftIndent = 4;
             D.AddTextItem("ab", 0, 1);
             D.AddTextItem("c", 0, 0);
         },
         nullptr,
         {"Fill 4,0-201,15 brush=00FFFF", "Line 4,0-200,0 pen=0000FF", "Line 200,0-4,0 pen=0000FF",
          "Line 200,0-200,14 pen=0000FF", "Line 200,14-200,0 pen=0000FF", "Line 200,14-4,14 pen=0000FF",
          "Line 4,14-200,14 pen=0000FF", "Line 4,14-4,0 pen=0000FF", "Line 4,0-4,14 pen=0000FF",
          "Line 2,-2-202,-2 pen=0000FF", "Line 202,-2-2,-2 pen=0000FF", "Line 202,-2-202,16 pen=0000FF",
          "Line 202,16-202,-2 pen=0000FF", "Line 202,16-2,16 pen=0000FF", "Line 2,16-202,16 pen=0000FF",
          "Line 2,16-2,-2 pen=0000FF", "Line 2,-2-2,16 pen=0000FF",
          "Text 4,0 'ab' font=Arial,-13, color=FF000008", "Text 0,14 'c' font=Arial,-13, color=FF000008"}},
        {"a break across the line",
         [](TPaintTestData& D, TRVStyle&) {
             D.AddTextItem("a", 0, 0);
             D.AddBreakEx(2, brkRectangle, clBlue, 0);
         },
         nullptr,
         {"Text 0,0 'a' font=Arial,-13, color=FF000008", "Rectangle 5,18-195,20 pen=FF0000 brush=clear"}},
    });
}

} // namespace
