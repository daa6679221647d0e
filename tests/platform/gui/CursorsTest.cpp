// Cursors: the window under the mouse is asked for its cursor at every
// move, the screen keeps cursors by id, and a cursor can be made from a
// bitmap.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QTest>
#include <QWidget>

#include "platform/gui/Forms.h"
#include "platform/gui/Mask.h"
#include "platform/gui/ScrollBars.h"

namespace {
// The left strip of Hot pixels shows the hand; elsewhere the platform
// decides.
class THotStrip : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Hot = 0;
    std::vector<TMessage> Asked;
    void WndProc(TMessage& Message) override {
        if (Message.Msg == WM_SETCURSOR) {
            Asked.push_back(Message);
            TPoint p = ScreenToClient(Mouse.CursorPos());
            if (p.X < Hot) {
                ::SetCursor(Screen->Cursors(crHandPoint));
                Message.Result = 1;
                return;
            }
        }
        TCustomControl::WndProc(Message);
    }
};

class TSpot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
};

void Pump() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

struct CursorTest : ::testing::Test {
    TForm Form{nullptr};
    THotStrip* Strip = new THotStrip(&Form);
    CursorTest() {
        Form.SetBounds(20, 20, 300, 200);
        Strip->SetParent(&Form);
        Strip->SetBounds(10, 10, 200, 150);
        Form.Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.Widget()));
        Pump();
    }
    ~CursorTest() override {
        Screen->SetCursor(crDefault);
        Form.Hide();
    }
    // The shape shown after the mouse moves to a point of the strip.
    Qt::CursorShape At(int X, int Y) {
        QTest::mouseMove(Strip->Widget(), QPoint(X, Y));
        Pump();
        return Strip->Widget()->cursor().shape();
    }
};
} // namespace

TEST_F(CursorTest, TheWindowUnderTheMouseIsAskedAtEveryPoint) {
    Strip->Hot = 50;
    Strip->SetCursor(crIBeam);
    auto* spot = new TSpot(&Form);
    spot->SetParent(Strip);
    spot->SetBounds(100, 100, 30, 30);
    spot->SetCursor(crCross);
    struct {
        int X, Y;
        Qt::CursorShape Shape;
    } cases[] = {
        {10, 10, Qt::PointingHandCursor}, // the handler's own answer
        {80, 20, Qt::IBeamCursor},        // the control's Cursor
        {110, 110, Qt::CrossCursor},      // the graphic control under the mouse
        {20, 120, Qt::PointingHandCursor}, {150, 60, Qt::IBeamCursor},
    };
    for (auto& c : cases)
        EXPECT_EQ(At(c.X, c.Y), c.Shape) << c.X << "," << c.Y;
    ASSERT_FALSE(Strip->Asked.empty());
    const TMessage& last = Strip->Asked.back();
    EXPECT_EQ(LoWordSigned(last.LParam), HTCLIENT);
    EXPECT_EQ(unsigned(HiWordSigned(last.LParam)), WM_MOUSEMOVE);
    EXPECT_EQ(last.WParam, WPARAM(static_cast<TWinControl*>(Strip)));
}

TEST_F(CursorTest, AChildWithoutACursorShowsItsParentsAndTheProgramsCursorWins) {
    Form.SetCursor(crSizeWE);
    EXPECT_EQ(At(80, 20), Qt::SizeHorCursor) << "the parent is asked first";
    Form.SetCursor(crDefault);
    EXPECT_EQ(At(81, 20), Qt::ArrowCursor);
    Screen->SetCursor(crHourGlass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(At(82, 20), Qt::WaitCursor);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CursorTest, AChangedCursorShowsAtOnceUnderTheMouse) {
    EXPECT_EQ(At(80, 20), Qt::ArrowCursor);
    Strip->SetCursor(crSizeNS);
    EXPECT_EQ(Strip->Widget()->cursor().shape(), Qt::SizeVerCursor) << "without a move";
    // Held by the capture, the mouse is not asked.
    SetCaptureControl(Strip);
    size_t asked = Strip->Asked.size();
    At(90, 30);
    EXPECT_EQ(Strip->Asked.size(), asked);
    ReleaseCapture();
}

TEST_F(CursorTest, TheScrollBarsAreNotTheClientArea) {
    TScrollInfo info;
    info.Mask = SIF_RANGE | SIF_PAGE;
    info.Max = 500;
    info.Page = 100;
    SetScrollInfo(Strip, SB_VERT, info, true);
    SetScrollInfo(Strip, SB_HORZ, info, true);
    struct {
        int X, Y;
        int Hit;
    } cases[] = {{10, 10, HTCLIENT}, {190, 10, HTVSCROLL}, {10, 140, HTHSCROLL}, {190, 140, HTNOWHERE}};
    for (auto& c : cases) {
        TPoint p = Strip->ClientToScreen({c.X, c.Y});
        EXPECT_EQ(Strip->Perform(WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y)), c.Hit) << c.X << "," << c.Y;
    }
}

TEST_F(CursorTest, ACursorMadeFromABitmapIsRegisteredAndShown) {
    TBitmap picture(24, 16);
    picture.Canvas()->Brush()->SetColor(clFuchsia);
    picture.Canvas()->FillRect({0, 0, 24, 16});
    picture.Canvas()->Brush()->SetColor(clBlack);
    picture.Canvas()->FillRect({4, 4, 8, 8});
    picture.Transparent = true;
    picture.TransparentMode = TTransparentMode::tmFixed;
    picture.TransparentColorValue = clFuchsia;
    constexpr TCursor crPanning = 7;
    Screen->SetCursors(crPanning, CreateCursorFromBitmap(&picture, 5, 6));
    Strip->SetCursor(crPanning);
    At(70, 70);
    QCursor shown = Strip->Widget()->cursor();
    EXPECT_EQ(shown.shape(), Qt::BitmapCursor);
    EXPECT_EQ(shown.hotSpot(), QPoint(5, 6));
    QImage image = shown.pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(24, 16));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the transparent colour is see-through";
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::black));
    EXPECT_EQ(GetCursor(), Screen->Cursors(crPanning));

    EXPECT_EQ(Screen->Cursors(1234), Screen->Cursors(crDefault)) << "an unknown id: the arrow";
    Screen->SetCursors(crPanning, nullptr); // freed by the screen
    EXPECT_EQ(Screen->Cursors(crPanning), StandardCursor(crDefault));
}

TEST_F(CursorTest, AStandardControlKeepsItsOwnCursorUnlessGivenAnother) {
    auto* edit = new TCustomMaskEdit(&Form);
    edit->SetParent(&Form);
    edit->SetBounds(220, 10, 70, 20);
    EXPECT_EQ(edit->Widget()->cursor().shape(), Qt::IBeamCursor);
    edit->SetCursor(crHandPoint);
    EXPECT_EQ(edit->Widget()->cursor().shape(), Qt::PointingHandCursor);
    edit->SetCursor(crDefault);
    EXPECT_EQ(edit->Widget()->cursor().shape(), Qt::IBeamCursor);
}
