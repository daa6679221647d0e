// A report formatted on the Qt canvas with the program's fonts: every piece
// is as wide as the canvas measures its text, and lines keep to the width.
#include <gtest/gtest.h>

#include "RVLayoutTestData.h"

namespace {

std::unique_ptr<TRVStyle> ReportStyle() {
    auto style = std::make_unique<TRVStyle>(nullptr);
    TFontInfos& texts = style->TextStyles();
    texts.Clear();
    struct TFace {
        const char* Name;
        int Size;
        TFontStyles Style;
        bool Unicode;
    } faces[] = {{"Arial", 10, 0, false},
                 {"Times New Roman", 12, fsBold, false},
                 {"Courier New", 10, fsItalic, false},
                 {"Arial", 11, 0, true}};
    for (const TFace& f : faces) {
        TFontInfo& t = *texts.Add();
        t.FontName = f.Name;
        t.Size = f.Size;
        t.Style = f.Style;
        t.Unicode = f.Unicode;
    }
    texts.GetItem(0)->CharSpacing = 1;
    TParaInfos& paras = style->ParaStyles();
    paras.Clear();
    paras.Add()->Alignment = rvaJustify;
    TParaInfo& indented = *paras.Add();
    indented.LeftIndent = 20;
    indented.FirstIndent = 15;
    indented.Alignment = rvaCenter;
    return style;
}

void BuildReport(TCustomRVData& Data) {
    const char* sentences[] = {
        "The testee ranks achievement and recognition above working conditions, ",
        "while pay and supervision matter less than the work itself. ",
        "Scales of growth and responsibility are in the leading band; ",
        "relations with colleagues and company policy stay in the middle. ",
    };
    for (int p = 0; p < 12; ++p) {
        Data.AddTextItem(sentences[p % 4], 0, p % 3 == 2 ? 1 : 0);
        Data.AddTextItem(sentences[(p + 1) % 4], 1 + p % 2, -1);
        Data.AddWideTextTag(u"\u0423\u0440\u043e\u0432\u0435\u043d\u044c "
                            u"\u043c\u043e\u0442\u0438\u0432\u0430\u0446\u0438\u0438 "
                            u"\u0432\u044b\u0441\u043e\u043a\u0438\u0439.",
                            3, -1, 0);
    }
}

TEST(RVQtLayoutTest, PiecesAreAsWideAsTheCanvasMeasuresThem) {
    auto style = ReportStyle();
    TBitmap bitmap(1, 1), measuring(1, 1);
    for (int width : {260, 430}) {
        TTestFormattedData data(style.get(), bitmap.Canvas());
        data.Width = width;
        BuildReport(data);
        data.Format();
        ASSERT_EQ(CheckFormattedInvariants(data), "") << width;
        ASSERT_GT(data.DrawItems.Count(), 36);
        int lineTop = -1;
        for (int i = 0; i < data.DrawItems.Count(); ++i) {
            const TRVDrawLineInfo& d = *data.DrawItems[i];
            const TCustomRVItemInfo& item = data.LiveItem(d.ItemNo);
            int styleNo = data.GetActualStyle(item);
            TCanvas& canvas = *measuring.Canvas();
            style->ApplyStyle(canvas, styleNo, rvbdUnspecified, false, nullptr, false);
            WideString text = RVItemTextToWide(data.DrawItems.GetDrawItemText(i, *data.ItemList),
                                               item.ItemOptions, style->GetStyleCodePage(styleNo));
            EXPECT_EQ(d.Width - d.SpaceBefore, GetTextWidthW(canvas, text)) << width << " piece " << i;
            EXPECT_EQ(d.Height, canvas.TextMetrics().tmHeight) << width << " piece " << i;
            // A line keeps to the width, unless one piece alone is wider.
            int first, last;
            data.GetLineDrawItemRange(i, first, last);
            if (last > first) {
                EXPECT_LE(d.Left + d.Width, data.TextWidth) << width << " piece " << i;
            }
            if (d.FromNewLine) {
                EXPECT_GT(d.Top, lineTop) << width << " piece " << i;
                lineTop = d.Top;
            }
        }
    }
}

} // namespace
