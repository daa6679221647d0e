// The charting component: bar and line series of points over a value axis
// on the left and an axis of the points' texts at the bottom, with a title,
// a legend and marks. The chart draws the same picture into a bitmap of
// any size, for files and reports, and on its own window.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/Controls.h"

// The colour of a series or a point that names none: the series takes the
// chart's colour for its place, a point its series' colour.
constexpr TColor clSeriesAuto = clDefault;

enum class TLegendAlignment { laBottom, laRight };
enum class TMarksStyle { smsValue, smsLabel };
enum class TPointerStyle { psRectangle, psCircle };
// Plain bars, or bars shaded from their colour at the top to a darker one
// at the bottom.
enum class TBarStyle { bsRectangle, bsRectGradient };

class TChart;

struct TChartPoint {
    double X = 0;
    double Y = 0;
    AnsiString Label;
    TColor Color = clSeriesAuto;
};

// The value axis on the left, or the axis of the points' texts at the bottom.
class TChartAxis {
public:
    bool Visible = true;
    // Off: the axis runs from Minimum to Maximum.
    bool Automatic = true;
    double Minimum = 0;
    double Maximum = 0;
    // Between two labelled values; 0: the axis chooses.
    double Increment = 0;
    TFont* LabelsFont() { return &FLabelsFont; }
    const TFont* LabelsFont() const { return &FLabelsFont; }
    // The room the texts of the bottom axis take below it, pixels; 0: what
    // they need.
    int LabelsSize = 0;
    // The bottom axis's texts turned counter-clockwise: 0 or 90 degrees.
    int LabelsAngle = 0;
    // Line breaks in a text start new lines.
    bool LabelsMultiLine = false;
    int MinorTickCount = 0;
    // Room beyond the lowest and the highest value of the value axis, pixels.
    int MinimumOffset = 0;
    int MaximumOffset = 0;
    void SetMinMax(double Min, double Max) {
        Minimum = Min;
        Maximum = Max;
        Automatic = false;
    }

private:
    TFont FLabelsFont;
};

struct TChartLegend {
    bool Visible = true;
    TLegendAlignment Alignment = TLegendAlignment::laRight;
    // A box before each series that shows, and switches, whether it is drawn.
    bool CheckBoxes = false;
    // The texts in their series' colours.
    bool FontSeriesColor = false;
    // 0: as many rows as the series need.
    int MaxNumRows = 0;
    TColor Color = clWhite;
    // Per cent: 100 lets the background through entirely.
    int Transparency = 0;
    // Pixels between the rows.
    int VertSpacing = 0;
};

struct TChartTitle {
    bool Visible = true;
    AnsiString Text;
};

// The panel behind everything: its colour, or a gradient from the top down.
struct TChartGradient {
    bool Visible = false;
    TColor StartColor = clWhite;
    TColor EndColor = clYellow;
};

// The area behind the series.
struct TChartBackWall {
    TColor Color = clWhite;
    // Unpainted: the panel shows through.
    bool Transparent = false;
};

struct TSeriesMarks {
    bool Visible = false;
    TMarksStyle Style = TMarksStyle::smsValue;
    TColor BackColor = clInfoBk;
    int Transparency = 0;
    // The line from the point up to its mark, pixels.
    int ArrowLength = 8;
};

struct TSeriesPointer {
    bool Visible = false;
    TPointerStyle Style = TPointerStyle::psRectangle;
    int HorizSize = 4;
    int VertSize = 4;
};

// A series of points; its owner frees it, and it leaves its chart then.
class TChartSeries : public TComponent {
public:
    explicit TChartSeries(TComponent* AOwner);
    ~TChartSeries() override;

    TChart* ParentChart() const { return FParentChart; }
    // Moves the series onto Value (nullptr: onto no chart), last among its
    // series.
    void SetParentChart(TChart* Value);
    const AnsiString& Title() const { return FTitle; }
    void SetTitle(const AnsiString& Value);
    // clSeriesAuto: the chart's colour for the series' place.
    TColor SeriesColor() const { return FSeriesColor; }
    void SetSeriesColor(TColor Value);
    // The colour the series is drawn in.
    TColor Color() const;
    // An inactive series is neither drawn nor counted in the axes.
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool ShowInLegend() const { return FShowInLegend; }
    void SetShowInLegend(bool Value);
    TSeriesMarks& Marks() { return FMarks; }
    const TSeriesMarks& Marks() const { return FMarks; }

    void Clear();
    // A point at the next place (X = the number of points so far).
    int Add(double Y, const AnsiString& Label = "", TColor Color = clSeriesAuto);
    int AddXY(double X, double Y, const AnsiString& Label = "", TColor Color = clSeriesAuto);
    int Count() const { return int(FPoints.size()); }
    const TChartPoint& Points(int Index) const { return ListItem(FPoints, Index); }
    double XValue(int Index) const { return Points(Index).X; }
    double YValue(int Index) const { return Points(Index).Y; }
    const AnsiString& Label(int Index) const { return Points(Index).Label; }
    // The colour point Index is drawn in.
    TColor ValueColor(int Index) const;

protected:
    void Changed();

private:
    TChart* FParentChart = nullptr;
    AnsiString FTitle;
    TColor FSeriesColor = clSeriesAuto;
    bool FActive = true;
    bool FShowInLegend = true;
    TSeriesMarks FMarks;
    std::vector<TChartPoint> FPoints;
};

class TBarSeries : public TChartSeries {
public:
    using TChartSeries::TChartSeries;
    TBarStyle BarStyle() const { return FBarStyle; }
    void SetBarStyle(TBarStyle Value);
    // A bar's width in per cent of the room of one point.
    int BarWidthPercent() const { return FBarWidthPercent; }
    void SetBarWidthPercent(int Value);

private:
    TBarStyle FBarStyle = TBarStyle::bsRectangle;
    int FBarWidthPercent = 70;
};

class TLineSeries : public TChartSeries {
public:
    explicit TLineSeries(TComponent* AOwner);
    // Its width counts; its colour is the series'.
    TPen* LinePen() { return &FLinePen; }
    const TPen* LinePen() const { return &FLinePen; }
    TSeriesPointer& Pointer() { return FPointer; }
    const TSeriesPointer& Pointer() const { return FPointer; }

private:
    TPen FLinePen;
    TSeriesPointer FPointer;
};

class TChart : public TCustomControl {
public:
    explicit TChart(TComponent* AOwner);
    ~TChart() override;

    TChartLegend& Legend() { return FLegend; }
    TChartTitle& Title() { return FTitle; }
    TChartGradient& Gradient() { return FGradient; }
    TChartBackWall& BackWall() { return FBackWall; }
    TChartAxis& LeftAxis() { return FLeftAxis; }
    TChartAxis& BottomAxis() { return FBottomAxis; }
    const TChartLegend& Legend() const { return FLegend; }
    const TChartTitle& Title() const { return FTitle; }
    const TChartGradient& Gradient() const { return FGradient; }
    const TChartBackWall& BackWall() const { return FBackWall; }
    const TChartAxis& LeftAxis() const { return FLeftAxis; }
    const TChartAxis& BottomAxis() const { return FBottomAxis; }
    // Room kept free at each edge, per cent of the width or height.
    int MarginLeft = 3;
    int MarginTop = 4;
    int MarginRight = 3;
    int MarginBottom = 4;

    int SeriesCount() const { return int(FSeries.size()); }
    TChartSeries* Series(int Index) const { return ListItem(FSeries, Index); }
    // The colour of the series at Index when it names none.
    static TColor AutoSeriesColor(int Index);

    // The chart drawn into a new bitmap of that size on a white background.
    std::unique_ptr<TBitmap> CreateBitmap(int Width, int Height) const;
    // The chart drawn into R of Canvas.
    void Draw(TCanvas* Canvas, const TRect& R) const;
    // The series whose legend entry is at the client point, or -1; known
    // once the chart has been painted on its window.
    int LegendSeriesAt(int X, int Y) const;

protected:
    void Paint() override;
    // A click on a series' legend box switches the series on or off.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    friend class TChartSeries;
    // Draws the chart on Bitmap, which it fills; the legend's entries, one
    // per series (empty where a series has none), go to LegendBoxes.
    void Render(TBitmap& Bitmap, std::vector<TRect>* LegendBoxes) const;

    TChartLegend FLegend;
    TChartTitle FTitle;
    TChartGradient FGradient;
    TChartBackWall FBackWall;
    TChartAxis FLeftAxis;
    TChartAxis FBottomAxis;
    std::vector<TChartSeries*> FSeries;
    std::vector<TRect> FLegendBoxes;
};
