// The text contract of the canvases: advances that add up to the width,
// drawing that places characters at them, fit and extents, metrics, and
// fonts that follow the canvas's resolution.
#include <gtest/gtest.h>

#include <numeric>

#include "platform/canvas/Graphics.h"
#include "platform/canvas/QtCanvas.h"
#include "platform/canvas/QtCanvasSupport.h"
#include "platform/testing/TestCanvases.h"

namespace {
struct TFontCase {
    const char* Name;
    int Size;
    TFontStyles Style;
};

std::ostream& operator<<(std::ostream& Out, const TFontCase& F) {
    return Out << F.Name << " " << F.Size << (F.Style & fsBold ? " bold" : "");
}

const TFontCase FontCases[] = {{"Arial", 8, 0},
                               {"Arial", 10, 0},
                               {"Arial", 12, fsBold},
                               {"Times New Roman", 9, 0},
                               {"Times New Roman", 14, 0},
                               {"Courier New", 8, 0},
                               {"Courier New", 10, fsBold}};

const AnsiString AnsiTexts[] = {"Groups of testees", "iiiiiiiiiilllllllWWWWWW, 1234567890.",
                                "Результаты тестирования: мотиваторы и гигиенические факторы"_cp};
const WideString WideTexts[] = {u"Labour motivation \u2014 \u00ableading\u00bb scales",
                                u"Шкала 7: «Ведущая»"};

// Columns of the bitmap that hold a pixel other than white.
std::vector<int> InkColumns(TBitmap& B) {
    std::vector<int> columns;
    for (int x = 0; x < B.Width(); ++x)
        for (int y = 0; y < B.Height(); ++y)
            if (B.Pixel(x, y) != clWhite) {
                columns.push_back(x);
                break;
            }
    return columns;
}

struct QtCanvasTextTest : ::testing::TestWithParam<TFontCase> {
    void SetUp() override {
        EnsureGuiApplication();
        Select(C);
    }
    void Select(TCanvas* Canvas) {
        Canvas->Font()->SetName(GetParam().Name);
        Canvas->Font()->SetSize(GetParam().Size);
        Canvas->Font()->SetStyle(GetParam().Style);
        Canvas->Font()->SetColor(clBlack);
        Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    }
    TBitmap Bitmap{900, 40};
    TCanvas* C = Bitmap.Canvas();
};
} // namespace

TEST_P(QtCanvasTextTest, AdvancesAddUpToTheWidthAndTheExtents) {
    auto check = [&](const auto& Text) {
        std::vector<int> advances = C->CharAdvances(Text);
        int width = C->TextWidth(Text);
        EXPECT_EQ(std::accumulate(advances.begin(), advances.end(), 0), width);
        int fit = -1;
        std::vector<int> extents;
        TSize whole = C->TextExtentEx(Text, width, fit, &extents);
        EXPECT_EQ(whole, C->TextExtent(Text));
        EXPECT_EQ(fit, int(Text.size()));
        ASSERT_EQ(extents.size(), Text.size());
        EXPECT_EQ(extents.back(), width);
        // A width one pixel short of a character's end leaves that character out.
        std::size_t k = Text.size() / 2;
        C->TextExtentEx(Text, extents[k] - 1, fit);
        EXPECT_EQ(fit, int(k)) << "the characters before it fit";
        C->TextExtentEx(Text, extents[k], fit);
        EXPECT_GE(fit, int(k) + 1);
    };
    for (auto& t : AnsiTexts)
        check(t);
    for (auto& t : WideTexts)
        check(t);
    EXPECT_EQ(C->TextWidth(AnsiTexts[2]), C->TextWidth(AnsiToWide(AnsiTexts[2])))
        << "both forms measure alike";
}

TEST_P(QtCanvasTextTest, TextDrawnWholeLinesUpWithItsPiecesDrawnAtTheirExtents) {
    // What a text engine does: measures pieces, draws the whole line.
    const AnsiString text = AnsiTexts[2];
    C->Brush()->SetColor(clWhite);
    C->FillRect({0, 0, 900, 40});
    C->Brush()->SetStyle(TBrushStyle::bsClear);
    C->TextOut(3, 5, text);
    EXPECT_EQ(C->PenPos(), Point(3 + C->TextWidth(text), 5));

    TBitmap pieces(900, 40);
    TCanvas* P = pieces.Canvas();
    Select(P);
    int x = 3;
    for (std::size_t at = 0; at < text.size(); at += 7) {
        AnsiString piece = text.substr(at, 7);
        P->TextOut(x, 5, piece);
        x += P->TextWidth(piece);
    }
    EXPECT_EQ(x, 3 + C->TextWidth(text));
    int differ = 0;
    for (int y = 0; y < 40; ++y)
        for (int cx = 0; cx < 900; ++cx)
            if (Bitmap.Pixel(cx, y) != pieces.Pixel(cx, y)) ++differ;
    EXPECT_EQ(differ, 0);
}

TEST_P(QtCanvasTextTest, InkEndsWhereTheWidthSays) {
    for (const AnsiString& text : {AnsiString("Heading HH"), AnsiString("Motivation MIHN"), "ШКАЛА НН"_cp}) {
        C->Brush()->SetColor(clWhite);
        C->FillRect({0, 0, 900, 40});
        C->Brush()->SetStyle(TBrushStyle::bsClear);
        C->TextOut(10, 5, text);
        std::vector<int> ink = InkColumns(Bitmap);
        ASSERT_FALSE(ink.empty()) << text;
        int right = 10 + C->TextWidth(text);
        int last = C->CharAdvances(text).back();
        EXPECT_LT(ink.back(), right) << text;
        EXPECT_GE(ink.back(), right - last / 2 - 1) << text << ": a capital H fills its cell";
        EXPECT_GE(ink.front(), 10) << text;
        EXPECT_LE(ink.front(), 10 + last / 2) << text;
    }
}

TEST_P(QtCanvasTextTest, MetricsDescribeTheCell) {
    TTextMetric m = C->TextMetrics();
    EXPECT_EQ(m.tmHeight, m.tmAscent + m.tmDescent);
    EXPECT_EQ(C->TextHeight("Wg"), m.tmHeight);
    EXPECT_GT(m.tmAscent, m.tmDescent);
    EXPECT_GE(m.tmInternalLeading, 0);
    EXPECT_LT(m.tmInternalLeading, m.tmAscent);
    EXPECT_GE(m.tmExternalLeading, 0);
    EXPECT_GT(m.tmAveCharWidth, 0);
    EXPECT_GE(m.tmMaxCharWidth, m.tmAveCharWidth);
    if (AnsiString(GetParam().Name) == "Courier New") {
        std::vector<int> advances = C->CharAdvances(AnsiTexts[1]);
        for (int a : advances)
            EXPECT_EQ(a, m.tmAveCharWidth) << "a fixed-pitch face";
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, QtCanvasTextTest, ::testing::ValuesIn(FontCases));

TEST(QtCanvasTest, AtSixHundredDotsPerInchTextIsAsWideInInches) {
    // Sizes whose screen pixel height is near the exact one: an 8-point font
    // is 11 px on the screen (8.25 points), and every advance is a whole
    // pixel there, so a fixed-pitch face at a size whose advance rounds the
    // same way on every character misses by up to a few per cent.
    const TFontCase cases[] = {{"Arial", 11, 0},           {"Arial", 12, fsBold},      {"Arial", 15, 0},
                               {"Times New Roman", 10, 0}, {"Times New Roman", 15, 0}, {"Courier New", 10, 0},
                               {"Courier New", 15, fsBold}};
    EnsureGuiApplication();
    TBitmap screen(1, 1);
    TQtCanvas device(nullptr, 600);
    for (const TFontCase& f : cases) {
        for (TCanvas* c : {screen.Canvas(), static_cast<TCanvas*>(&device)}) {
            c->Font()->SetName(f.Name);
            c->Font()->SetSize(f.Size);
            c->Font()->SetStyle(f.Style);
        }
        EXPECT_EQ(device.Font()->Size(), f.Size);
        for (const AnsiString& t : {AnsiTexts[0], AnsiTexts[2]}) {
            double ratio = double(device.TextWidth(t)) / screen.Canvas()->TextWidth(t);
            EXPECT_NEAR(ratio, 600.0 / 96.0, 600.0 / 96.0 * 0.02) << f << ": " << t;
        }
        double ratio = double(device.TextWidth(WideTexts[0])) / screen.Canvas()->TextWidth(WideTexts[0]);
        EXPECT_NEAR(ratio, 600.0 / 96.0, 600.0 / 96.0 * 0.02) << f;
        ratio = double(device.TextHeight(WideTexts[0])) / screen.Canvas()->TextHeight(WideTexts[0]);
        EXPECT_NEAR(ratio, 600.0 / 96.0, 600.0 / 96.0 * 0.1) << f;
    }
}

TEST(QtCanvasTest, CharacterExtraWidensEveryCharacterAndPlacesThemApart) {
    EnsureGuiApplication();
    TBitmap b(200, 30);
    TCanvas* c = b.Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetSize(10);
    const WideString text = u"a\U0001D11Eb"; // a pair counts as one character
    int plain = c->TextWidth(text);
    c->SetTextCharacterExtra(3);
    EXPECT_EQ(c->TextWidth(text), plain + 3 * 3);
    std::vector<int> advances = c->CharAdvances(text);
    EXPECT_EQ(advances[2], 0);
}

TEST(FontResolutionTest, AFontFollowsTheResolutionOfTheCanvasItIsSelectedInto) {
    TFixedMetricsCanvas printer(8, 11, 3, 600);
    EXPECT_EQ(printer.PixelsPerInch(), 600);
    printer.Font()->SetSize(10);
    EXPECT_EQ(printer.Font()->Height(), -83);
    TFont screen;
    screen.SetHeight(-11); // 8 points on the screen
    printer.SetFont(&screen);
    EXPECT_EQ(printer.Font()->Height(), -69) << "scaled from pixels, not from whole points";
    EXPECT_EQ(screen.Height(), -11);
    TFont back;
    back.Assign(printer.Font());
    EXPECT_EQ(back.Height(), -11);
    printer.SetPixelsPerInch(300);
    EXPECT_EQ(printer.Font()->Height(), -35) << "the canvas's font keeps its size in points";
    EXPECT_EQ(printer.Font()->Size(), 8);
}

TEST(FixedMetricsCanvasTest, ExactExtentsFitAndMetrics) {
    TFixedMetricsCanvas c(7, 10, 2);
    c.InternalLeading = 1;
    c.ExternalLeading = 2;
    EXPECT_EQ(c.TextMetrics(), (TTextMetric{12, 10, 2, 1, 2, 7, 7}));
    int fit = -1;
    std::vector<int> extents;
    EXPECT_EQ(c.TextExtentEx("abcdef", 20, fit, &extents), (TSize{42, 12}));
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(extents, (std::vector<int>{7, 14, 21, 28, 35, 42}))
        << "every character, not only those that fit";
    c.TextExtentEx(u"a\U0001D11Eb", 14, fit, &extents);
    EXPECT_EQ(extents, (std::vector<int>{7, 14, 14, 21}));
    EXPECT_EQ(fit, 3) << "the second half of a pair goes with the first";
    c.TextExtentEx("", 5, fit, &extents);
    EXPECT_EQ(fit, 0);
    EXPECT_TRUE(extents.empty());
    c.TextExtentEx("abc", -1, fit);
    EXPECT_EQ(fit, 0);
    c.SetTextCharacterExtra(2);
    EXPECT_EQ(c.CharAdvances("ab"), (std::vector<int>{9, 9}));
    EXPECT_EQ(c.TextWidth(u"ab"), 18);
}

TEST(RecordingCanvasTest, LogsWideTextInTheProgramsCodePage) {
    TRecordingCanvas c;
    c.TextOut(1, 2, u"Шкала");
    c.TextRect({0, 0, 5, 5}, 3, 4, WideString(u"x\u4E00"));
    EXPECT_EQ(c.Log.at(0), "Text 1,2 '"_cp + "Шкала"_cp + "' font=Tahoma,-11, color=FF000008");
    EXPECT_EQ(c.Log.at(1), "Text 3,4 'x?' font=Tahoma,-11, color=FF000008");
    EXPECT_EQ(c.PenPos(), Point(1 + 5 * 8, 2));
}
