// Scroll bars: their ranges, pages and positions on the control alone, the
// bars on screen turning the user's actions into scroll messages, and the
// window's pixels moving with its content.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWidget>

#include "platform/gui/Forms.h"
#include "platform/gui/ScrollBars.h"

namespace {
// Scrolls its vertical bar the way the platform's scrolling controls do:
// each code moves the position, which it sets on the bar itself.
class TScrolly : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<TMessage> Seen;
    void WndProc(TMessage& Message) override {
        Seen.push_back(Message);
        TCustomControl::WndProc(Message);
    }
    std::vector<int> Codes(unsigned Msg = WM_VSCROLL) const {
        std::vector<int> out;
        for (const TMessage& m : Seen)
            if (m.Msg == Msg) out.push_back(int(m.WParam & LowWordMask));
        return out;
    }
    TColor Paper = clRed;
    int PaintedRows = 0;

protected:
    void Dispatch(TMessage& Message) override {
        if (Message.Msg != WM_VSCROLL) {
            TCustomControl::Dispatch(Message);
            return;
        }
        TScrollInfo info;
        GetScrollInfo(this, SB_VERT, info);
        int pos = info.Pos;
        switch (int(Message.WParam & LowWordMask)) {
        case SB_LINEUP:
            --pos;
            break;
        case SB_LINEDOWN:
            ++pos;
            break;
        case SB_PAGEUP:
            pos -= int(info.Page);
            break;
        case SB_PAGEDOWN:
            pos += int(info.Page);
            break;
        case SB_TOP:
            pos = info.Min;
            break;
        case SB_BOTTOM:
            pos = info.Max;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            pos = info.TrackPos;
            break;
        default:
            return;
        }
        SetScrollPos(this, SB_VERT, pos, true);
    }
    void Paint() override {
        Canvas()->Brush()->SetColor(Paper);
        Canvas()->FillRect({0, 0, Width(), Height()});
    }
};

void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

QScrollBar* VerticalBar(TWinControl* Control) {
    for (QScrollBar* bar : Control->Widget()->findChildren<QScrollBar*>())
        if (bar->orientation() == Qt::Vertical) return bar;
    return nullptr;
}

QRect PartOf(QScrollBar* Bar, QStyle::SubControl Part) {
    QStyleOptionSlider opt;
    opt.initFrom(Bar);
    opt.orientation = Bar->orientation();
    opt.minimum = Bar->minimum();
    opt.maximum = Bar->maximum();
    opt.sliderPosition = Bar->sliderPosition();
    opt.sliderValue = Bar->value();
    opt.singleStep = Bar->singleStep();
    opt.pageStep = Bar->pageStep();
    opt.subControls = QStyle::SC_All;
    return Bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, Part, Bar);
}

TScrollInfo Range(int Min, int Max, unsigned Page, int Pos, unsigned Extra = 0) {
    TScrollInfo info;
    info.Mask = SIF_RANGE | SIF_PAGE | SIF_POS | Extra;
    info.Min = Min;
    info.Max = Max;
    info.Page = Page;
    info.Pos = Pos;
    return info;
}
} // namespace

TEST(ScrollBarTest, RangesPagesAndPositionsDecideWhatABarShows) {
    struct {
        TScrollInfo Info;
        int Pos;
        bool Visible;
        bool Enabled;
    } cases[] = {
        {Range(0, 100, 20, 50), 50, true, true},
        {Range(0, 100, 20, 95), 81, true, true}, // the last full page
        {Range(0, 100, 20, -5), 0, true, true},
        {Range(10, 20, 0, 15), 15, true, true}, // no page: up to Max
        {Range(0, 100, 101, 30), 0, false, false},
        {Range(0, 100, 500, 30, SIF_DISABLENOSCROLL), 0, true, false},
        {Range(0, 1, 2, 0), 0, false, false},
        {Range(0, 0, 0, 0), 0, false, false},
        {Range(0, 1, 0, 1), 1, true, true},
    };
    for (auto& c : cases) {
        TCustomControl control(nullptr);
        EXPECT_EQ(SetScrollInfo(&control, SB_VERT, c.Info, true), c.Pos) << c.Info.Max << " " << c.Info.Page;
        EXPECT_EQ(GetScrollPos(&control, SB_VERT), c.Pos);
        EXPECT_EQ(ScrollBarVisible(&control, SB_VERT), c.Visible) << c.Info.Max << " " << c.Info.Page;
        EXPECT_EQ(ScrollBarEnabled(&control, SB_VERT), c.Enabled) << c.Info.Max << " " << c.Info.Page;
        EXPECT_FALSE(ScrollBarVisible(&control, SB_HORZ));
    }
}

TEST(ScrollBarTest, BarsTakeTheirRoomFromTheClientArea) {
    TScrolly control(nullptr);
    control.SetBounds(0, 0, 200, 100);
    control.Seen.clear();
    SetScrollInfo(&control, SB_VERT, Range(0, 300, 100, 0), true);
    EXPECT_EQ(control.ClientRect(), (TRect{0, 0, 200 - GetSystemMetrics(SM_CXVSCROLL), 100}));
    SetScrollInfo(&control, SB_HORZ, Range(0, 500, 183, 0), true);
    EXPECT_EQ(control.ClientRect(), (TRect{0, 0, 183, 83}));
    std::vector<std::pair<int, int>> sizes;
    for (const TMessage& m : control.Seen)
        if (m.Msg == WM_SIZE) sizes.push_back({LoWordSigned(m.LParam), HiWordSigned(m.LParam)});
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{183, 100}, {183, 83}}))
        << "the client size each time";
    control.Seen.clear();
    SetScrollPos(&control, SB_HORZ, 40, true);
    EXPECT_TRUE(control.Seen.empty()) << "a position alone changes no size";
    ShowScrollBar(&control, SB_BOTH, false);
    EXPECT_EQ(control.ClientRect(), (TRect{0, 0, 200, 100}));
}

TEST(ScrollBarTest, PositionsAndPartsOfTheInfoReadBack) {
    TCustomControl control(nullptr);
    SetScrollInfo(&control, SB_HORZ, Range(-50, 50, 10, 0), true);
    EXPECT_EQ(SetScrollPos(&control, SB_HORZ, 20, true), 0) << "the earlier position";
    TScrollInfo only;
    only.Mask = SIF_POS;
    only.Min = only.Max = 77;
    ASSERT_TRUE(GetScrollInfo(&control, SB_HORZ, only));
    EXPECT_EQ(only.Pos, 20);
    EXPECT_EQ(only.Min, 77) << "parts not asked for stay";
    TScrollInfo all;
    GetScrollInfo(&control, SB_HORZ, all);
    EXPECT_EQ(all.Min, -50);
    EXPECT_EQ(all.Max, 50);
    EXPECT_EQ(all.Page, 10u);
    EXPECT_EQ(all.TrackPos, 20);
    TScrollInfo page;
    page.Mask = SIF_PAGE;
    page.Page = 60;
    EXPECT_EQ(SetScrollInfo(&control, SB_HORZ, page, true), -9) << "a larger page pulls the position back";
    EXPECT_FALSE(GetScrollInfo(&control, 7, all));
    EnableScrollBar(&control, SB_HORZ, ESB_DISABLE_BOTH);
    EXPECT_TRUE(ScrollBarVisible(&control, SB_HORZ));
    EXPECT_FALSE(ScrollBarEnabled(&control, SB_HORZ));
}

struct ScrollBarWindowTest : ::testing::Test {
    TForm Form{nullptr};
    TScrolly* Control = new TScrolly(&Form);
    ScrollBarWindowTest() {
        Form.SetBounds(30, 30, 240, 200);
        Control->SetParent(&Form);
        Control->SetBounds(10, 10, 200, 160);
        SetScrollInfo(Control, SB_VERT, Range(0, 99, 10, 0), true);
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
        Pump();
        Control->Seen.clear();
    }
    ~ScrollBarWindowTest() override { Form.Hide(); }
};

TEST_F(ScrollBarWindowTest, TheBarOnScreenShowsTheValuesAndAsksWithScrollCodes) {
    QScrollBar* bar = VerticalBar(Control);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry(), QRect(183, 0, 17, 160));
    EXPECT_EQ(bar->maximum(), 90);
    EXPECT_EQ(bar->pageStep(), 10);
    struct {
        QAbstractSlider::SliderAction Action;
        int Code;
        int Pos;
    } cases[] = {
        {QAbstractSlider::SliderSingleStepAdd, SB_LINEDOWN, 1},
        {QAbstractSlider::SliderPageStepAdd, SB_PAGEDOWN, 11},
        {QAbstractSlider::SliderSingleStepSub, SB_LINEUP, 10},
        {QAbstractSlider::SliderToMaximum, SB_BOTTOM, 90},
        {QAbstractSlider::SliderPageStepSub, SB_PAGEUP, 80},
        {QAbstractSlider::SliderToMinimum, SB_TOP, 0},
    };
    for (auto& c : cases) {
        Control->Seen.clear();
        bar->triggerAction(c.Action);
        EXPECT_EQ(Control->Codes(), std::vector<int>{c.Code});
        EXPECT_EQ(GetScrollPos(Control, SB_VERT), c.Pos);
        EXPECT_EQ(bar->value(), c.Pos) << "the bar shows what the control chose";
    }

    SetScrollPos(Control, SB_VERT, 5, true);
    EXPECT_EQ(bar->value(), 5);
    SetScrollInfo(Control, SB_VERT, Range(0, 50, 200, 0), true);
    EXPECT_FALSE(bar->isVisible()) << "nothing left to scroll";
    EXPECT_EQ(Control->ClientWidth(), 200);
}

TEST_F(ScrollBarWindowTest, ClicksAndDragsOnTheBarArriveAsTheyHappen) {
    QScrollBar* bar = VerticalBar(Control);
    ASSERT_NE(bar, nullptr);
    QPoint arrow = PartOf(bar, QStyle::SC_ScrollBarAddLine).center();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, arrow);
    Pump();
    EXPECT_EQ(Control->Codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
    EXPECT_EQ(GetScrollPos(Control, SB_VERT), 1);

    Control->Seen.clear();
    QRect thumb = PartOf(bar, QStyle::SC_ScrollBarSlider);
    QPoint grab = thumb.center();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, grab);
    QTest::mouseMove(bar, grab + QPoint(0, 40));
    TScrollInfo during;
    GetScrollInfo(Control, SB_VERT, during);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, grab + QPoint(0, 40));
    Pump();
    std::vector<int> codes = Control->Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), SB_THUMBTRACK);
    EXPECT_EQ(std::vector<int>(codes.end() - 2, codes.end()),
              (std::vector<int>{SB_THUMBPOSITION, SB_ENDSCROLL}));
    EXPECT_GT(during.TrackPos, 1) << "the thumb's place while it is dragged";
    int pos = GetScrollPos(Control, SB_VERT);
    EXPECT_EQ(pos, during.TrackPos);
    for (const TMessage& m : Control->Seen)
        if (int(m.WParam & LowWordMask) == SB_THUMBPOSITION) {
            EXPECT_EQ(HiWordSigned(LPARAM(m.WParam)), pos);
        }
    EXPECT_EQ(bar->value(), pos);

    // The wheel over the bar is the control's.
    Control->Seen.clear();
    QWheelEvent wheel(QPointF(5, 5), bar->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -WHEEL_DELTA),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
    EXPECT_TRUE(Control->Codes().empty());
    int wheels = 0;
    for (const TMessage& m : Control->Seen)
        if (m.Msg == WM_MOUSEWHEEL && HiWordSigned(LPARAM(m.WParam)) == -WHEEL_DELTA) ++wheels;
    EXPECT_EQ(wheels, 1);
    EXPECT_EQ(bar->value(), pos) << "the bar moves only when the control says so";
}

TEST_F(ScrollBarWindowTest, ScrollingMovesThePixelsAndPaintsOnlyWhatWasUncovered) {
    // What the window shows: the screen's copy, not a fresh paint.
    auto shown = [&] {
        QWidget* w = Form.Widget();
        return w->screen()->grabWindow(w->winId()).toImage().copy(QRect(10, 10, 200, 160));
    };
    QImage before = shown();
    EXPECT_EQ(before.pixelColor(20, 150), QColor(Qt::red));
    EXPECT_NE(before.pixelColor(190, 80), QColor(Qt::red)) << "painting stays out of the bar";

    // New paint is blue: only the uncovered rows can be blue.
    Control->Paper = clBlue;
    ScrollWindowEx(Control, 0, -20, nullptr);
    Control->Update(); // at once, without the event loop
    QImage after = shown();
    EXPECT_EQ(after.pixelColor(20, 10), QColor(Qt::red));
    EXPECT_EQ(after.pixelColor(20, 139), QColor(Qt::red)) << "moved, not painted again";
    EXPECT_EQ(after.pixelColor(20, 140), QColor(Qt::blue));
    EXPECT_EQ(after.pixelColor(182, 159), QColor(Qt::blue));
    EXPECT_NE(after.pixelColor(190, 80), QColor(Qt::blue));

    // A clip keeps the rest where it is.
    Control->Paper = clLime;
    TRect top{0, 0, 183, 50};
    ScrollWindowEx(Control, 0, 10, &top);
    Pump();
    QImage clipped = shown();
    EXPECT_EQ(clipped.pixelColor(20, 5), QColor(Qt::green));
    EXPECT_EQ(clipped.pixelColor(20, 30), QColor(Qt::red));
    EXPECT_EQ(clipped.pixelColor(20, 150), QColor(Qt::blue));
}
