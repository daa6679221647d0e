// The chart: series and points read back, bars of their own colours in a
// rendered picture, marks, the legend's check boxes, the picture saved as a
// 24-bit BMP, and the chart on a window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <cstdlib>

#include "platform/chart/Chart.h"
#include "platform/gui/Forms.h"
#include "support/TestSupport.h"

namespace {
// The stens' colours of the profile chart.
constexpr TColor Low = 0xB0FFFF, Middle = 0xBFFFBF, High = 0xBBBBFF;

bool Near(TColor A, TColor B, int Tolerance = 6) {
    return std::abs(GetRValue(A) - GetRValue(B)) <= Tolerance &&
           std::abs(GetGValue(A) - GetGValue(B)) <= Tolerance &&
           std::abs(GetBValue(A) - GetBValue(B)) <= Tolerance;
}

// The smallest rectangle around the pixels of Color; empty when none has it.
TRect Extent(const TBitmap& Bitmap, TColor Color) {
    TRect r{Bitmap.Width(), Bitmap.Height(), 0, 0};
    for (int y = 0; y < Bitmap.Height(); ++y)
        for (int x = 0; x < Bitmap.Width(); ++x)
            if (Bitmap.Pixel(x, y) == Color) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r.IsEmpty() ? TRect() : r;
}

int CountNear(const TBitmap& Bitmap, const TRect& R, TColor Color) {
    int n = 0;
    for (int y = std::max(0, R.Top); y < std::min(Bitmap.Height(), R.Bottom); ++y)
        for (int x = std::max(0, R.Left); x < std::min(Bitmap.Width(), R.Right); ++x)
            n += Near(Bitmap.Pixel(x, y), Color);
    return n;
}

// A profile chart as the results window sets it up: stens 0 to 10 on the
// left, a bar a scale.
struct TProfile {
    TChart Chart{nullptr};
    TBarSeries* Bars = new TBarSeries(&Chart);
    TProfile() {
        Chart.Legend().Visible = false;
        Chart.Title().Visible = false;
        Chart.LeftAxis().SetMinMax(0, 10);
        Chart.LeftAxis().Increment = 1;
        Chart.BottomAxis().LabelsAngle = 90;
        Chart.BottomAxis().LabelsMultiLine = true;
        Chart.BottomAxis().LabelsSize = 120;
        Bars->SetParentChart(&Chart);
        Bars->SetTitle("Обследуемый"_cp);
        Bars->SetShowInLegend(false);
        Bars->SetBarWidthPercent(50);
    }
};
} // namespace

TEST(ChartTest, SeriesKeepTheirPointsLabelsAndColours) {
    TChart chart(nullptr);
    auto* bars = new TBarSeries(&chart);
    bars->SetParentChart(&chart);
    bars->AddXY(0, 3, "Scale\r\none", Low);
    bars->Add(6, "Two", Middle);
    bars->Add(9.5);
    ASSERT_EQ(bars->Count(), 3);
    EXPECT_EQ(bars->XValue(1), 1.0) << "a point added without X takes the next place";
    EXPECT_EQ(bars->YValue(2), 9.5);
    EXPECT_EQ(bars->Label(0), "Scale\r\none");
    EXPECT_EQ(bars->ValueColor(0), Low);
    EXPECT_EQ(bars->ValueColor(2), bars->Color()) << "a point without a colour takes its series'";
    EXPECT_EQ(bars->Color(), TChart::AutoSeriesColor(0));
    bars->Clear();
    EXPECT_EQ(bars->Count(), 0);
    EXPECT_THROW(bars->Points(0), EListError);

    // Lines of a window, owned by it: each its own colour, and gone from
    // the chart when freed.
    TComponent owner(nullptr);
    std::vector<TLineSeries*> lines;
    for (int i = 0; i < 8; ++i) {
        lines.push_back(new TLineSeries(&owner));
        lines.back()->SetParentChart(&chart);
    }
    EXPECT_EQ(chart.SeriesCount(), 9);
    for (int i = 1; i < 8; ++i)
        EXPECT_NE(lines[std::size_t(i)]->Color(), lines[std::size_t(i - 1)]->Color()) << i;
    delete lines[0];
    EXPECT_EQ(chart.SeriesCount(), 8);
    EXPECT_EQ(chart.Series(1), lines[1]);
    {
        TChart brief(nullptr);
        lines[1]->SetParentChart(&brief);
        EXPECT_EQ(brief.SeriesCount(), 1);
    }
    EXPECT_EQ(lines[1]->ParentChart(), nullptr) << "a chart freed lets its series go";
}

TEST(ChartTest, BarsAreDrawnInTheirOwnColoursAtTheirHeights) {
    TProfile p;
    const double stens[] = {3, 6, 9};
    const TColor colors[] = {Low, Middle, High};
    for (int i = 0; i < 3; ++i)
        p.Bars->AddXY(i, stens[i], "Шкала "_cp + IntToStr(i), colors[i]);
    auto picture = p.Chart.CreateBitmap(630, 504);
    ASSERT_EQ(picture->Width(), 630);
    ASSERT_EQ(picture->Height(), 504);
    EXPECT_EQ(picture->Pixel(0, 0), clWhite) << "on a white background";
    EXPECT_EQ(picture->Pixel(629, 503), clWhite);
    TRect bars[3];
    for (int i = 0; i < 3; ++i) {
        bars[i] = Extent(*picture, colors[i]);
        ASSERT_FALSE(bars[i].IsEmpty()) << i;
    }
    // Side by side, left to right, equally wide, standing on one line.
    EXPECT_LT(bars[0].Right, bars[1].Left);
    EXPECT_LT(bars[1].Right, bars[2].Left);
    EXPECT_NEAR(bars[0].Width(), bars[2].Width(), 2);
    EXPECT_NEAR(bars[0].Bottom, bars[2].Bottom, 2);
    // Heights as the values, 3, 6 and 9: three units apart, the first
    // three units high (less its frame).
    const int threeUnits = bars[1].Height() - bars[0].Height();
    EXPECT_GT(threeUnits, 50);
    EXPECT_NEAR(bars[2].Height() - bars[1].Height(), threeUnits, 2);
    EXPECT_NEAR(bars[0].Height(), threeUnits, 3);
    EXPECT_LT(bars[2].Bottom, 504 - 120) << "the texts below keep their room";

    // Shaded bars begin in their colour at the top and darken downwards.
    p.Bars->SetBarStyle(TBarStyle::bsRectGradient);
    auto shaded = p.Chart.CreateBitmap(630, 504);
    const int x = (bars[2].Left + bars[2].Right) / 2;
    EXPECT_TRUE(Near(shaded->Pixel(x, bars[2].Top + 2), High, 12));
    EXPECT_LT(GetRValue(shaded->Pixel(x, bars[2].Bottom - 3)), GetRValue(High) - 30);
}

TEST(ChartTest, MarksStandAboveTheBars) {
    TProfile p;
    p.Bars->AddXY(0, 4, "A", Low);
    p.Bars->AddXY(1, 8, "B", High);
    auto plain = p.Chart.CreateBitmap(400, 400);
    TRect bar = Extent(*plain, High);
    ASSERT_FALSE(bar.IsEmpty());
    TSeriesMarks& marks = p.Bars->Marks();
    marks.Visible = true;
    marks.BackColor = 0xCCFFFF;
    marks.Transparency = 24;
    marks.ArrowLength = 6;
    auto marked = p.Chart.CreateBitmap(400, 400);
    TRect above{bar.Left - 20, bar.Top - 40, bar.Right + 20, bar.Top};
    // The mark's background lets a quarter of the white through.
    EXPECT_EQ(CountNear(*plain, above, 0xD9FFFF), 0);
    EXPECT_GT(CountNear(*marked, above, 0xD9FFFF), 20);
}

TEST(ChartTest, TheLegendsCheckBoxesSwitchLinesOnAndOff) {
    TForm form(nullptr);
    form.SetBounds(20, 20, 520, 420);
    auto* chart = new TChart(&form);
    chart->SetParent(&form);
    chart->SetBounds(0, 0, 500, 400);
    chart->Legend().Alignment = TLegendAlignment::laBottom;
    chart->Legend().CheckBoxes = true;
    chart->Legend().FontSeriesColor = true;
    chart->Gradient().Visible = true;
    chart->Gradient().EndColor = 0xFFFFF0;
    chart->BackWall().Transparent = true;
    chart->LeftAxis().SetMinMax(0, 10);
    TLineSeries* lines[2];
    for (int i = 0; i < 2; ++i) {
        lines[i] = new TLineSeries(&form);
        lines[i]->SetParentChart(chart);
        lines[i]->SetTitle(i ? "B" : "A");
        lines[i]->LinePen()->SetWidth(2);
        lines[i]->Pointer().Visible = true;
        for (int test = 0; test < 3; ++test)
            lines[i]->Add(2 + 3 * i + test, "0" + IntToStr(test + 1) + ".02.2024");
    }
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()));
    QApplication::processEvents();
    const TColor second = lines[1]->Color();
    QImage shown = chart->Widget()->grab().toImage();
    auto countShown = [&](const QImage& Image) {
        int n = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < Image.width(); ++x)
                n += Near(RGB(Image.pixelColor(x, y).red(), Image.pixelColor(x, y).green(),
                              Image.pixelColor(x, y).blue()),
                          second, 10);
        return n;
    };
    EXPECT_GT(countShown(shown), 50) << "the window shows the second line";

    // Its legend entry: a click switches it off, in the window and in the
    // pictures made from the chart.
    int entry = -1;
    TPoint hit;
    for (int y = 300; y < 400 && entry < 0; ++y)
        for (int x = 0; x < 500 && entry < 0; ++x)
            if (chart->LegendSeriesAt(x, y) == 1) entry = 1, hit = {x + 2, y + 2};
    ASSERT_EQ(entry, 1);
    QTest::mouseClick(chart->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(hit.X, hit.Y));
    QApplication::processEvents();
    EXPECT_FALSE(lines[1]->Active());
    EXPECT_LT(countShown(chart->Widget()->grab().toImage()), 5);
    auto picture = chart->CreateBitmap(500, 400);
    EXPECT_EQ(CountNear(*picture, {0, 0, 500, 300}, second), 0);
    EXPECT_GT(CountNear(*picture, {0, 0, 500, 300}, lines[0]->Color()), 50);
    QTest::mouseClick(chart->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(hit.X, hit.Y));
    EXPECT_TRUE(lines[1]->Active());
}

TEST(ChartTest, ThePictureSavesAsA24BitBmp) {
    TTempFolder folder;
    TProfile p;
    p.Bars->AddXY(0, 5, "A", Middle);
    auto picture = p.Chart.CreateBitmap(630, 504);
    const std::string file = folder.Path() + "TmpLuvChart.bmp";
    picture->SaveToFile(file);
    std::string bytes = ReadFileBytes(file);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(uint8_t(bytes[28]) | uint8_t(bytes[29]) << 8, 24) << "bits a pixel";
    TBitmap back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.Width(), 630);
    EXPECT_EQ(Extent(back, Middle), Extent(*picture, Middle));
}
