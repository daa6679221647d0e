// The chart's series and their points, the chart's list of them, and the
// chart on its window: painting and the legend's check boxes.
#include "platform/chart/Chart.h"

#include <algorithm>

namespace {
// The colours series take in turn, distinct on a white background.
const TColor AutoColors[] = {
    RGB(0xE0, 0x20, 0x20), RGB(0x20, 0x90, 0x20), RGB(0x20, 0x40, 0xD0), RGB(0xE0, 0x90, 0x00),
    RGB(0x90, 0x20, 0xB0), RGB(0x00, 0x99, 0x99), RGB(0x80, 0x50, 0x20), RGB(0xE0, 0x40, 0xA0),
    RGB(0x60, 0x60, 0x60), RGB(0x80, 0x80, 0x00),
};
} // namespace

// TChartSeries

TChartSeries::TChartSeries(TComponent* AOwner) : TComponent(AOwner) {}

TChartSeries::~TChartSeries() {
    SetParentChart(nullptr);
}

void TChartSeries::SetParentChart(TChart* Value) {
    if (Value == FParentChart) return;
    if (FParentChart) {
        auto& list = FParentChart->FSeries;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        FParentChart->Invalidate();
    }
    FParentChart = Value;
    if (FParentChart) {
        FParentChart->FSeries.push_back(this);
        FParentChart->Invalidate();
    }
}

void TChartSeries::Changed() {
    if (FParentChart) FParentChart->Invalidate();
}

void TChartSeries::SetTitle(const AnsiString& Value) {
    FTitle = Value;
    Changed();
}

void TChartSeries::SetSeriesColor(TColor Value) {
    FSeriesColor = Value;
    Changed();
}

TColor TChartSeries::Color() const {
    if (FSeriesColor != clSeriesAuto) return FSeriesColor;
    int place = 0;
    if (FParentChart) {
        auto& list = FParentChart->FSeries;
        place = int(std::find(list.begin(), list.end(), this) - list.begin());
    }
    return TChart::AutoSeriesColor(place);
}

void TChartSeries::SetActive(bool Value) {
    if (Value == FActive) return;
    FActive = Value;
    Changed();
}

void TChartSeries::SetShowInLegend(bool Value) {
    FShowInLegend = Value;
    Changed();
}

void TChartSeries::Clear() {
    FPoints.clear();
    Changed();
}

int TChartSeries::Add(double Y, const AnsiString& Label, TColor Color) {
    return AddXY(double(FPoints.size()), Y, Label, Color);
}

int TChartSeries::AddXY(double X, double Y, const AnsiString& Label, TColor Color) {
    FPoints.push_back({X, Y, Label, Color});
    Changed();
    return int(FPoints.size()) - 1;
}

TColor TChartSeries::ValueColor(int Index) const {
    TColor own = Points(Index).Color;
    return own == clSeriesAuto ? Color() : own;
}

// TBarSeries and TLineSeries

void TBarSeries::SetBarStyle(TBarStyle Value) {
    FBarStyle = Value;
    Changed();
}

void TBarSeries::SetBarWidthPercent(int Value) {
    FBarWidthPercent = std::clamp(Value, 1, 100);
    Changed();
}

TLineSeries::TLineSeries(TComponent* AOwner) : TChartSeries(AOwner) {}

// TChart

TChart::TChart(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 400, 250);
    SetColor(clWhite);
}

TChart::~TChart() {
    // The series belong to their owners; they only leave the chart.
    while (!FSeries.empty())
        FSeries.back()->SetParentChart(nullptr);
}

TColor TChart::AutoSeriesColor(int Index) {
    constexpr int count = int(std::size(AutoColors));
    return AutoColors[((Index % count) + count) % count];
}

std::unique_ptr<TBitmap> TChart::CreateBitmap(int Width, int Height) const {
    auto bitmap = std::make_unique<TBitmap>(Width, Height);
    Render(*bitmap, nullptr);
    return bitmap;
}

void TChart::Draw(TCanvas* Canvas, const TRect& R) const {
    if (R.IsEmpty()) return;
    auto bitmap = CreateBitmap(R.Width(), R.Height());
    Canvas->Draw(R.Left, R.Top, bitmap.get());
}

void TChart::Paint() {
    TRect client = ClientRect();
    if (client.IsEmpty()) return;
    TBitmap picture(client.Width(), client.Height());
    Render(picture, &FLegendBoxes);
    Canvas()->Draw(0, 0, &picture);
}

int TChart::LegendSeriesAt(int X, int Y) const {
    for (std::size_t i = 0; i < FLegendBoxes.size() && i < FSeries.size(); ++i)
        if (FLegendBoxes[i].Contains({X, Y})) return int(i);
    return -1;
}

void TChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || !FLegend.CheckBoxes) return;
    if (int i = LegendSeriesAt(X, Y); i >= 0)
        FSeries[std::size_t(i)]->SetActive(!FSeries[std::size_t(i)]->Active());
}
