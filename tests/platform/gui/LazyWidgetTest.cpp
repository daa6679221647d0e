// A control makes its Qt widget only when one is needed: until then it holds
// children, takes properties, handles messages and paints into bitmaps
// without any window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include "platform/canvas/QtCanvasSupport.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

namespace {
class TModelControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Paints = 0;

protected:
    void Paint() override {
        ++Paints;
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

class TMark : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
};

int WidgetCount() {
    return int(QApplication::allWidgets().size());
}

struct LazyWidgetTest : ::testing::Test {
    void SetUp() override {
        EnsureGuiApplication(); // the widget layer's application
        Before = WidgetCount();
    }
    int Before = 0;
};

// Builds a configured control with windowed and graphic children.
TModelControl* Configure(TModelControl* Control) {
    Control->SetBounds(5, 6, 120, 80);
    Control->SetColor(clYellow);
    Control->Font()->SetStyle(fsBold);
    Control->SetText("model");
    Control->SetCursor(crHandPoint);
    Control->SetTabStop(true);
    Control->SetEnabled(false);
    Control->SetRedraw(false);
    Control->SetRedraw(true);
    auto* inner = new TModelControl(Control);
    inner->SetParent(Control);
    inner->SetAlign(TAlign::alClient);
    auto* mark = new TMark(Control);
    mark->SetParent(inner);
    mark->SetBounds(1, 1, 4, 4);
    Control->Invalidate();
    inner->InvalidateRect({0, 0, 3, 3});
    Control->BringToFront();
    return Control;
}
} // namespace

TEST_F(LazyWidgetTest, AControlLivesAndDiesWithoutAWidget) {
    {
        TForm form(nullptr); // never shown
        auto* control = Configure(new TModelControl(&form));
        control->SetParent(&form);
        auto* inner = static_cast<TModelControl*>(control->Controls(0));
        EXPECT_EQ(inner->BoundsRect(), (TRect{0, 0, 120, 80})) << "alignment runs on the bounds alone";
        control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        control->SetEnabled(true);
        control->SetFocus();
        EXPECT_TRUE(control->Focused());
        TBitmap shot(130, 90);
        control->PaintTo(shot.Canvas(), 0, 0);
        EXPECT_EQ(shot.Pixel(10, 10), clYellow);
        EXPECT_EQ(inner->Paints, 1);
        EXPECT_FALSE(control->Showing());
        EXPECT_EQ(control->ClientOrigin(), Point(5, 6));
        for (TWinControl* w : std::initializer_list<TWinControl*>{&form, control, inner})
            EXPECT_FALSE(w->HandleAllocated()) << w->Name();
        EXPECT_EQ(WidgetCount(), Before);
    }
    EXPECT_EQ(WidgetCount(), Before);
}

TEST_F(LazyWidgetTest, AskingForTheWidgetMakesTheWholeWindowWithTheStateSoFar) {
    TForm form(nullptr);
    form.SetCaption("Окно"_cp);
    auto* control = Configure(new TModelControl(&form));
    control->SetParent(&form);
    auto* inner = static_cast<TModelControl*>(control->Controls(0));
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetCaption("&Go");
    button->SetDefault(true);

    QWidget* widget = inner->Widget(); // the innermost asks: its parents come first
    ASSERT_TRUE(form.HandleAllocated());
    EXPECT_TRUE(control->HandleAllocated());
    EXPECT_TRUE(button->HandleAllocated());
    EXPECT_EQ(widget->parentWidget(), control->Widget());
    EXPECT_EQ(control->Widget()->parentWidget(), form.Widget());
    EXPECT_EQ(form.Widget()->windowTitle(), QString::fromUtf8("Окно"));
    EXPECT_EQ(control->Widget()->geometry(), QRect(5, 6, 120, 80));
    EXPECT_FALSE(control->Widget()->isEnabled());
    EXPECT_TRUE(control->Widget()->font().bold());
    EXPECT_EQ(control->Widget()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(control->Widget()->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(inner->Widget()->focusPolicy(), Qt::NoFocus);
    auto* push = static_cast<QPushButton*>(button->Widget());
    EXPECT_EQ(push->text(), "&Go");
    EXPECT_TRUE(push->isDefault());
    EXPECT_FALSE(form.Widget()->isVisible()) << "made, not shown";
    EXPECT_EQ(WidgetCount(), Before + 4);
}

TEST_F(LazyWidgetTest, ShowingAFormOrJoiningAShownOneMakesTheWidget) {
    TForm form(nullptr);
    auto* early = new TModelControl(&form);
    early->SetParent(&form);
    early->SetBounds(0, 0, 50, 50);
    EXPECT_FALSE(early->HandleAllocated());
    form.Show();
    ASSERT_TRUE(early->HandleAllocated());
    EXPECT_TRUE(early->Showing());

    auto* late = new TModelControl(&form);
    EXPECT_FALSE(late->HandleAllocated()) << "not yet on the window";
    late->SetParent(early);
    ASSERT_TRUE(late->HandleAllocated());
    EXPECT_EQ(late->Widget()->parentWidget(), early->Widget());
    EXPECT_TRUE(late->Showing());

    // Taken out, it keeps its widget; put into a control without one, that
    // control's window is made around it.
    TForm other(nullptr);
    auto* host = new TModelControl(&other);
    host->SetParent(&other);
    late->SetParent(host);
    EXPECT_TRUE(other.HandleAllocated());
    EXPECT_EQ(late->Widget()->parentWidget(), host->Widget());
    EXPECT_FALSE(late->Showing()) << "the other form is hidden";
    form.Hide();
}
