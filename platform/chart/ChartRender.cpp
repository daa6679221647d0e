// The chart's picture: the panel, the title and the legend drawn here, the
// axes, grid and series by Qt Charts, then the marks and the bottom axis's
// texts over them.
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "platform/canvas/QtCanvasSupport.h"
#include "platform/chart/Chart.h"

namespace {
constexpr int Gap = 4;
constexpr int CheckBoxSize = 10;
constexpr int SymbolWidth = 16;
constexpr int EntrySpacing = 12;
constexpr int DarkerPercent = 135;

QColor WithTransparency(TColor Color, int Transparency) {
    QColor c = QtColor(Color);
    c.setAlpha(std::clamp(255 * (100 - Transparency) / 100, 0, 255));
    return c;
}

// The texts of a label, one a line when the axis shows several lines.
std::vector<QString> LabelLines(const AnsiString& Label, bool MultiLine) {
    QString text = QtString(Label);
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    if (!MultiLine) return {text.replace('\n', ' ')};
    std::vector<QString> lines;
    for (const QString& line : text.split('\n'))
        lines.push_back(line);
    return lines;
}

struct TLegendEntry {
    int Series;
    QString Text;
    int Width;
};

// Where the values and the places of the points lie in the plot.
struct TPlotMapping {
    QRectF Plot;
    double YMin, YMax;
    int Places;
    double X(double Place) const { return Plot.left() + (Place + 0.5) * Plot.width() / Places; }
    double Y(double Value) const {
        return YMax > YMin ? Plot.bottom() - (Value - YMin) / (YMax - YMin) * Plot.height() : Plot.bottom();
    }
};
} // namespace

void TChart::Render(TBitmap& Bitmap, std::vector<TRect>* LegendBoxes) const {
    EnsureGuiApplication();
    auto* image = static_cast<QImage*>(Bitmap.Image());
    const int w = image->width(), h = image->height();
    image->fill(Qt::white);
    if (LegendBoxes) LegendBoxes->assign(FSeries.size(), TRect());
    if (w <= 0 || h <= 0) return;
    QPainter painter(image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    if (FGradient.Visible) {
        QLinearGradient panel(0, 0, 0, h);
        panel.setColorAt(0, QtColor(FGradient.StartColor));
        panel.setColorAt(1, QtColor(FGradient.EndColor));
        painter.fillRect(0, 0, w, h, panel);
    } else {
        painter.fillRect(0, 0, w, h, QtColor(Color()));
    }
    QRect area(w * MarginLeft / 100, h * MarginTop / 100, 0, 0);
    area.setRight(w - 1 - w * MarginRight / 100);
    area.setBottom(h - 1 - h * MarginBottom / 100);

    const QFont font = QtFont(Font());
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height();
    if (FTitle.Visible && !FTitle.Text.empty()) {
        painter.setPen(QtColor(Font()->Color()));
        painter.drawText(QRect(area.left(), area.top(), area.width(), lineHeight), Qt::AlignCenter,
                         QtString(FTitle.Text));
        area.setTop(area.top() + lineHeight + Gap);
    }

    // The legend's entries, in rows at the bottom or in a column at the right.
    std::vector<TLegendEntry> entries;
    if (FLegend.Visible)
        for (std::size_t i = 0; i < FSeries.size(); ++i)
            if (FSeries[i]->ShowInLegend()) {
                QString text = QtString(FSeries[i]->Title());
                int width = (FLegend.CheckBoxes ? CheckBoxSize + Gap : 0) + SymbolWidth + Gap +
                            metrics.horizontalAdvance(text);
                entries.push_back({int(i), text, width});
            }
    std::vector<std::vector<TLegendEntry>> rows;
    QRect legend;
    const int rowHeight = lineHeight + FLegend.VertSpacing;
    if (!entries.empty()) {
        if (FLegend.Alignment == TLegendAlignment::laBottom) {
            int used = 0;
            for (const TLegendEntry& e : entries) {
                if (rows.empty() || (used + e.Width > area.width() - 2 * Gap && !rows.back().empty())) {
                    if (FLegend.MaxNumRows > 0 && int(rows.size()) == FLegend.MaxNumRows) break;
                    rows.emplace_back();
                    used = 0;
                }
                rows.back().push_back(e);
                used += e.Width + EntrySpacing;
            }
            int widest = 0;
            for (auto& row : rows) {
                int width = -EntrySpacing;
                for (auto& e : row)
                    width += e.Width + EntrySpacing;
                widest = std::max(widest, width);
            }
            int height = int(rows.size()) * rowHeight + Gap;
            legend = QRect(area.left() + (area.width() - widest) / 2 - Gap, area.bottom() - height,
                           widest + 2 * Gap, height);
            area.setBottom(legend.top() - Gap);
        } else {
            int widest = 0;
            for (const TLegendEntry& e : entries) {
                rows.push_back({e});
                widest = std::max(widest, e.Width);
            }
            legend = QRect(area.right() - widest - 2 * Gap, area.top(), widest + 2 * Gap,
                           int(rows.size()) * rowHeight + Gap);
            area.setRight(legend.left() - Gap);
        }
    }

    // The places of the points, and the texts the bottom axis shows there.
    int places = 1;
    double yLow = 0, yHigh = 1;
    bool anyValue = false;
    for (const TChartSeries* s : FSeries) {
        if (!s->Active()) continue;
        for (int i = 0; i < s->Count(); ++i) {
            places = std::max(places, int(std::lround(s->XValue(i))) + 1);
            yLow = anyValue ? std::min(yLow, s->YValue(i)) : std::min(0.0, s->YValue(i));
            yHigh = anyValue ? std::max(yHigh, s->YValue(i)) : std::max(1.0, s->YValue(i));
            anyValue = true;
        }
    }
    std::vector<AnsiString> labels(static_cast<std::size_t>(places));
    for (const TChartSeries* s : FSeries)
        if (s->Active())
            for (int i = 0; i < s->Count(); ++i) {
                long place = std::lround(s->XValue(i));
                if (place >= 0 && place < places && labels[std::size_t(place)].empty())
                    labels[std::size_t(place)] = s->Label(i);
            }
    const QFont labelsFont = QtFont(FBottomAxis.LabelsFont());
    const QFontMetrics labelsMetrics(labelsFont);
    int labelsRoom = 0;
    if (FBottomAxis.Visible) {
        if (FBottomAxis.LabelsSize > 0) {
            labelsRoom = FBottomAxis.LabelsSize;
        } else {
            for (const AnsiString& label : labels) {
                std::vector<QString> lines = LabelLines(label, FBottomAxis.LabelsMultiLine);
                int across = int(lines.size()) * labelsMetrics.height();
                int along = 0;
                for (const QString& line : lines)
                    along = std::max(along, labelsMetrics.horizontalAdvance(line));
                labelsRoom = std::max(labelsRoom, (FBottomAxis.LabelsAngle == 90 ? along : across) + Gap);
            }
        }
    }
    QRect chartRect = area;
    chartRect.setBottom(area.bottom() - labelsRoom);

    // Axes, grid and series.
    QGraphicsScene scene;
    auto* chart = new QChart;
    scene.addItem(chart);
    chart->legend()->hide();
    chart->setBackgroundVisible(false);
    chart->setMargins(QMargins(0, 0, 0, 0));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setPlotAreaBackgroundVisible(!FBackWall.Transparent);
    chart->setPlotAreaBackgroundBrush(QtColor(FBackWall.Color));
    auto* xAxis = new QBarCategoryAxis;
    for (int i = 0; i < places; ++i)
        xAxis->append(QString::number(i));
    xAxis->setLabelsVisible(false);
    xAxis->setVisible(FBottomAxis.Visible);
    auto* yAxis = new QValueAxis;
    double yMin = FLeftAxis.Automatic ? yLow : FLeftAxis.Minimum;
    double yMax = FLeftAxis.Automatic ? yHigh : FLeftAxis.Maximum;
    if (yMax <= yMin) yMax = yMin + 1;
    yAxis->setRange(yMin, yMax);
    if (FLeftAxis.Automatic && FLeftAxis.Increment <= 0) yAxis->applyNiceNumbers();
    yMin = yAxis->min();
    yMax = yAxis->max();
    if (FLeftAxis.Increment > 0) {
        yAxis->setTickType(QValueAxis::TicksDynamic);
        yAxis->setTickAnchor(yMin);
        yAxis->setTickInterval(FLeftAxis.Increment);
        yAxis->setLabelFormat(FLeftAxis.Increment == std::floor(FLeftAxis.Increment) ? "%.0f" : "%.2f");
    }
    yAxis->setMinorTickCount(FLeftAxis.MinorTickCount);
    yAxis->setLabelsFont(QtFont(FLeftAxis.LabelsFont()));
    yAxis->setLabelsColor(QtColor(FLeftAxis.LabelsFont()->Color()));
    yAxis->setVisible(FLeftAxis.Visible);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);

    for (const TChartSeries* s : FSeries) {
        if (!s->Active()) continue;
        if (auto* bars = dynamic_cast<const TBarSeries*>(s)) {
            // One set a bar, so that each bar has its own colour.
            auto* series = new QStackedBarSeries;
            for (int i = 0; i < s->Count(); ++i) {
                long place = std::lround(s->XValue(i));
                if (place < 0 || place >= places) continue;
                auto* set = new QBarSet(QString());
                for (int j = 0; j < places; ++j)
                    set->append(j == place ? s->YValue(i) : 0.0);
                QColor color = QtColor(s->ValueColor(i));
                if (bars->BarStyle() == TBarStyle::bsRectGradient) {
                    QLinearGradient shade(0, 0, 0, 1);
                    shade.setCoordinateMode(QGradient::ObjectMode);
                    shade.setColorAt(0, color);
                    shade.setColorAt(1, color.darker(DarkerPercent));
                    set->setBrush(shade);
                } else {
                    set->setBrush(color);
                }
                set->setPen(QPen(color.darker(DarkerPercent), 1));
                series->append(set);
            }
            series->setBarWidth(bars->BarWidthPercent() / 100.0);
            chart->addSeries(series);
            series->attachAxis(xAxis);
            series->attachAxis(yAxis);
        } else if (auto* line = dynamic_cast<const TLineSeries*>(s)) {
            auto* series = new QLineSeries;
            for (int i = 0; i < s->Count(); ++i)
                series->append(s->XValue(i), s->YValue(i));
            series->setPen(QPen(QtColor(s->Color()), std::max(1, line->LinePen()->Width())));
            if (line->Pointer().Visible) {
                series->setPointsVisible(true);
                series->setMarkerSize(2 * std::max(line->Pointer().HorizSize, line->Pointer().VertSize) + 1);
            }
            chart->addSeries(series);
            series->attachAxis(xAxis);
            series->attachAxis(yAxis);
        }
    }
    chart->setGeometry(QRectF(chartRect));
    chart->layout()->activate();
    // The offsets keep room beyond the lowest and highest value.
    if (FLeftAxis.MinimumOffset > 0 || FLeftAxis.MaximumOffset > 0) {
        double room = chart->plotArea().height() - FLeftAxis.MinimumOffset - FLeftAxis.MaximumOffset;
        if (room > 0) {
            double perPixel = (yMax - yMin) / room;
            yMin -= FLeftAxis.MinimumOffset * perPixel;
            yMax += FLeftAxis.MaximumOffset * perPixel;
            yAxis->setRange(yMin, yMax);
            chart->layout()->activate();
        }
    }
    scene.render(&painter, QRectF(chartRect), QRectF(chartRect));
    const TPlotMapping map{chart->plotArea().translated(chart->pos()), yMin, yMax, places};

    // The marks above the points.
    painter.setFont(font);
    for (const TChartSeries* s : FSeries) {
        const TSeriesMarks& marks = s->Marks();
        if (!s->Active() || !marks.Visible) continue;
        for (int i = 0; i < s->Count(); ++i) {
            QString text = marks.Style == TMarksStyle::smsValue ? QtString(FloatToStr(s->YValue(i)))
                                                                : QtString(s->Label(i));
            QPointF top(map.X(s->XValue(i)), map.Y(std::clamp(s->YValue(i), yMin, yMax)));
            QPointF end(top.x(), top.y() - marks.ArrowLength);
            painter.setPen(QPen(QColor(Qt::darkGray), 1));
            painter.drawLine(top, end);
            int boxWidth = metrics.horizontalAdvance(text) + 2 * Gap, boxHeight = lineHeight + 2;
            QRectF box(end.x() - boxWidth / 2.0, end.y() - boxHeight, boxWidth, boxHeight);
            painter.fillRect(box, WithTransparency(marks.BackColor, marks.Transparency));
            painter.drawRect(box);
            painter.setPen(QtColor(Font()->Color()));
            painter.drawText(box, Qt::AlignCenter, text);
        }
    }

    // The bottom axis's texts, below their places.
    if (FBottomAxis.Visible) {
        painter.setFont(labelsFont);
        painter.setPen(QtColor(FBottomAxis.LabelsFont()->Color()));
        const int lh = labelsMetrics.height();
        for (int k = 0; k < places; ++k) {
            std::vector<QString> lines = LabelLines(labels[std::size_t(k)], FBottomAxis.LabelsMultiLine);
            const double x = map.X(k), y = map.Plot.bottom() + Gap;
            if (FBottomAxis.LabelsAngle == 90) {
                // Turned to read upwards, ending just below the axis.
                painter.save();
                painter.translate(x, y);
                painter.rotate(-90);
                double across = -int(lines.size()) * lh / 2.0;
                for (const QString& line : lines) {
                    painter.drawText(QRectF(-labelsRoom, across, labelsRoom - Gap / 2.0, lh),
                                     Qt::AlignRight | Qt::AlignVCenter, line);
                    across += lh;
                }
                painter.restore();
            } else {
                double down = y;
                const double room = map.Plot.width() / places;
                for (const QString& line : lines) {
                    painter.drawText(QRectF(x - room / 2, down, room, lh), Qt::AlignHCenter | Qt::AlignTop,
                                     line);
                    down += lh;
                }
            }
        }
    }

    // The legend last, over everything.
    if (!rows.empty()) {
        painter.setFont(font);
        painter.fillRect(legend, WithTransparency(FLegend.Color, FLegend.Transparency));
        // A lowered bevel.
        painter.setPen(QColor(Qt::gray));
        painter.drawLine(legend.topLeft(), legend.topRight());
        painter.drawLine(legend.topLeft(), legend.bottomLeft());
        painter.setPen(QColor(Qt::white));
        painter.drawLine(legend.bottomLeft(), legend.bottomRight());
        painter.drawLine(legend.topRight(), legend.bottomRight());
        int y = legend.top() + Gap / 2;
        for (const auto& row : rows) {
            int x = legend.left() + Gap;
            for (const TLegendEntry& e : row) {
                const TChartSeries* s = FSeries[std::size_t(e.Series)];
                const QColor color = QtColor(s->Color());
                const int middle = y + lineHeight / 2;
                int left = x;
                if (FLegend.CheckBoxes) {
                    QRect box(left, middle - CheckBoxSize / 2, CheckBoxSize, CheckBoxSize);
                    painter.fillRect(box, Qt::white);
                    painter.setPen(QColor(Qt::darkGray));
                    painter.drawRect(box);
                    if (s->Active()) {
                        painter.setPen(QPen(QColor(Qt::black), 2));
                        painter.drawPolyline(QPolygon({QPoint(box.left() + 2, middle),
                                                       QPoint(box.left() + 4, box.bottom() - 2),
                                                       QPoint(box.right() - 2, box.top() + 2)}));
                    }
                    left += CheckBoxSize + Gap;
                }
                if (dynamic_cast<const TLineSeries*>(s)) {
                    painter.setPen(QPen(color, 2));
                    painter.drawLine(left, middle, left + SymbolWidth, middle);
                    painter.setBrush(color);
                    painter.drawEllipse(QPointF(left + SymbolWidth / 2.0, middle), 2.5, 2.5);
                    painter.setBrush(Qt::NoBrush);
                } else {
                    painter.fillRect(QRect(left + 2, middle - 5, SymbolWidth - 4, 10), color);
                }
                left += SymbolWidth + Gap;
                painter.setPen(FLegend.FontSeriesColor ? color : QtColor(Font()->Color()));
                painter.drawText(QRect(left, y, e.Width, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                                 e.Text);
                if (LegendBoxes) (*LegendBoxes)[std::size_t(e.Series)] = Bounds(x, y, e.Width, lineHeight);
                x += e.Width + EntrySpacing;
            }
            y += rowHeight;
        }
    }
}
