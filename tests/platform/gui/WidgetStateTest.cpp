// Every standard control class shows what it was given: caption or text,
// colours, font, frame, alignment, enabled state, visibility and hint, set
// before its Qt widget exists and after, read back from the widget itself
// (its properties, or the picture it paints).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "platform/canvas/QtCanvasSupport.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Grids.h"
#include "platform/gui/StdCtrls.h"

namespace {

const AnsiString kCaption = "Проба"_cp;
const TColor kBack = TColor(0x0080FFFF); // light yellow
const TColor kText = TColor(0x00800000); // navy
const AnsiString kHint = "Подсказка"_cp;

// One control class: how to make one, what holds its caption, and which of
// the looks it has.
struct TControlClass {
    const char* Name;
    // Makes the control on Form; answers the control whose look is set.
    std::function<TWinControl*(TForm& Form)> Make;
    // Gives the control its caption (Caption by default).
    std::function<void(TWinControl*)> SetCaption;
    // The caption as the widget shows it; empty: the control paints it.
    std::function<QString(QWidget*)> ShownCaption;
    // The widget filled with the control's colour, when it has one.
    bool ShowsColor = true;
    // Sets a frame or an alignment, and reads it back from the widget.
    std::function<void(TWinControl*)> SetFrameAndAlignment;
    std::function<bool(QWidget*)> ShowsFrameAndAlignment;
};

template <class T> T* Put(TWinControl* Parent) {
    auto* c = new T(Parent);
    c->SetParent(Parent);
    c->SetBounds(8, 8, 160, 40);
    return c;
}

template <class W> std::function<QString(QWidget*)> Text(QString (W::*Get)() const) {
    return [Get](QWidget* w) {
        auto* typed = qobject_cast<W*>(w);
        return typed ? (typed->*Get)() : QString("<not a %1>").arg(W::staticMetaObject.className());
    };
}

std::vector<TControlClass> ControlClasses() {
    return {
        {"TLabel", [](TForm& f) { return Put<TLabel>(&f); }, nullptr, Text(&QLabel::text), true,
         [](TWinControl* c) { static_cast<TLabel*>(c)->SetAlignment(taRightJustify); },
         [](QWidget* w) { return bool(static_cast<QLabel*>(w)->alignment() & Qt::AlignRight); }},
        {"TStaticText", [](TForm& f) { return Put<TStaticText>(&f); }, nullptr, Text(&QLabel::text), true,
         [](TWinControl* c) {
             auto* t = static_cast<TStaticText*>(c);
             t->SetAlignment(taCenter);
             t->SetBorderStyle(TStaticBorderStyle::sbsSingle);
         },
         [](QWidget* w) {
             auto* l = static_cast<QLabel*>(w);
             return bool(l->alignment() & Qt::AlignHCenter) && l->frameShape() == QFrame::Box;
         }},
        {"TEdit", [](TForm& f) { return Put<TEdit>(&f); }, nullptr, Text(&QLineEdit::text), true,
         [](TWinControl* c) { static_cast<TEdit*>(c)->SetAlignment(taRightJustify); },
         [](QWidget* w) { return bool(static_cast<QLineEdit*>(w)->alignment() & Qt::AlignRight); }},
        {"TMemo", [](TForm& f) { return Put<TMemo>(&f); }, nullptr, Text(&QPlainTextEdit::toPlainText), true,
         nullptr, nullptr},
        {"TButton", [](TForm& f) { return Put<TButton>(&f); }, nullptr, Text(&QAbstractButton::text), false,
         nullptr, nullptr},
        {"TCheckBox", [](TForm& f) { return Put<TCheckBox>(&f); }, nullptr, Text(&QAbstractButton::text),
         true, nullptr, nullptr},
        {"TRadioGroup",
         [](TForm& f) {
             auto* g = Put<TRadioGroup>(&f);
             g->Items()->Add("0");
             return g;
         },
         nullptr, Text(&QGroupBox::title), true, nullptr, nullptr},
        {"TComboBox",
         [](TForm& f) {
             auto* c = Put<TComboBox>(&f);
             c->SetStyle(TComboBoxStyle::csDropDownList);
             return c;
         },
         [](TWinControl* c) {
             auto* combo = static_cast<TComboBox*>(c);
             combo->Items()->Add(kCaption);
             combo->SetItemIndex(0);
         },
         // The style shades the list's face from its colour: not one colour.
         Text(&QComboBox::currentText), false, nullptr, nullptr},
        {"TListBox", [](TForm& f) { return Put<TListBox>(&f); },
         [](TWinControl* c) { static_cast<TListBox*>(c)->Items()->Add(kCaption); },
         [](QWidget* w) {
             auto* l = qobject_cast<QListWidget*>(w);
             return l && l->count() ? l->item(0)->text() : QString();
         },
         true, nullptr, nullptr},
        {"TStringGrid",
         [](TForm& f) {
             auto* g = Put<TStringGrid>(&f);
             g->SetBounds(8, 8, 200, 100);
             g->SetFixedCols(0);
             g->SetFixedRows(0);
             g->SetDefaultColWidth(120);
             g->SetDefaultRowHeight(30);
             return g;
         },
         [](TWinControl* c) { static_cast<TStringGrid*>(c)->SetCells(0, 0, kCaption); }, nullptr, true,
         nullptr, nullptr},
        {"TToolBar",
         [](TForm& f) {
             auto* bar = Put<TToolBar>(&f);
             bar->SetShowCaptions(true);
             auto* button = new TToolButton(bar);
             button->SetParent(bar);
             return bar;
         },
         [](TWinControl* c) { static_cast<TToolBar*>(c)->Controls(0)->SetCaption(kCaption); },
         [](QWidget* w) {
             auto* b = w->findChild<QToolButton*>();
             return b ? b->text() : QString();
         },
         true, nullptr, nullptr},
        {"TStatusBar",
         [](TForm& f) {
             auto* bar = Put<TStatusBar>(&f);
             bar->Panels()->Add()->SetWidth(150);
             return bar;
         },
         [](TWinControl* c) { static_cast<TStatusBar*>(c)->Panels()->Items(0)->SetText(kCaption); },
         [](QWidget* w) {
             auto* l = w->findChild<QLabel*>();
             return l ? l->text() : QString();
         },
         true, nullptr, nullptr},
        {"TGroupBox", [](TForm& f) { return Put<TGroupBox>(&f); }, nullptr, Text(&QGroupBox::title), true,
         nullptr, nullptr},
        {"TPanel", [](TForm& f) { return Put<TPanel>(&f); }, nullptr, nullptr, true, nullptr, nullptr},
        {"TPageControl",
         [](TForm& f) {
             auto* pages = Put<TPageControl>(&f);
             pages->SetBounds(8, 8, 200, 80);
             auto* sheet = new TTabSheet(pages);
             sheet->SetPageControl(pages);
             return pages;
         },
         [](TWinControl* c) { static_cast<TPageControl*>(c)->Pages(0)->SetCaption(kCaption); }, nullptr,
         false, nullptr, nullptr},
    };
}

bool Near(QColor A, QColor B) {
    return std::abs(A.red() - B.red()) < 40 && std::abs(A.green() - B.green()) < 40 &&
           std::abs(A.blue() - B.blue()) < 40;
}

// Pixels of the picture near Colour.
int CountNear(const QImage& Picture, QColor Colour) {
    int count = 0;
    for (int y = 0; y < Picture.height(); ++y)
        for (int x = 0; x < Picture.width(); ++x)
            if (Near(Picture.pixelColor(x, y), Colour)) ++count;
    return count;
}

void SetLook(const TControlClass& Class, TWinControl* Control) {
    if (Class.SetCaption)
        Class.SetCaption(Control);
    else
        Control->SetCaption(kCaption);
    Control->SetColor(kBack);
    Control->Font()->SetName("Liberation Serif");
    Control->Font()->SetSize(12);
    Control->Font()->SetStyle(fsBold);
    Control->Font()->SetColor(kText);
    if (Class.SetFrameAndAlignment) Class.SetFrameAndAlignment(Control);
    Control->SetHint(kHint);
    Control->SetEnabled(false);
}

void ExpectLook(const TControlClass& Class, TWinControl* Control) {
    QWidget* w = Control->Widget();
    if (Class.ShownCaption) {
        EXPECT_EQ(Class.ShownCaption(w), QtString(kCaption)) << "caption";
    }
    EXPECT_EQ(w->font().family(), "Liberation Serif") << "font";
    EXPECT_TRUE(w->font().bold()) << "font style";
    EXPECT_EQ(w->font().pixelSize(), QtFont(Control->Font()).pixelSize()) << "font size";
    EXPECT_EQ(w->toolTip(), QtString(kHint)) << "hint";
    EXPECT_FALSE(w->isEnabled()) << "enabled";
    if (Class.ShowsFrameAndAlignment) {
        EXPECT_TRUE(Class.ShowsFrameAndAlignment(w)) << "frame or alignment";
    }
    // What it paints, enabled, as the user sees it.
    Control->SetEnabled(true);
    QApplication::processEvents();
    QImage picture = w->grab().toImage();
    if (Class.ShowsColor) {
        EXPECT_GT(CountNear(picture, QtColor(kBack)), picture.width() * picture.height() / 4)
            << "its colour fills it";
    }
    if (!Class.ShownCaption) {
        EXPECT_GT(CountNear(picture, QtColor(kText)), 10) << "the caption in the font's colour";
    }
    EXPECT_TRUE(w->isVisibleTo(Control->Parent()->Widget())) << "visible";
    Control->SetVisible(false);
    EXPECT_FALSE(w->isVisibleTo(Control->Parent()->Widget())) << "hidden";
    Control->SetVisible(true);
    EXPECT_TRUE(w->isVisibleTo(Control->Parent()->Widget())) << "shown again";
}

} // namespace

TEST(WidgetStateTest, EveryControlShowsWhatItWasGivenBeforeItsWidgetExisted) {
    for (const TControlClass& c : ControlClasses()) {
        SCOPED_TRACE(c.Name);
        TForm form(nullptr);
        form.SetBounds(0, 0, 400, 200);
        TWinControl* control = c.Make(form);
        ASSERT_FALSE(control->HandleAllocated());
        SetLook(c, control);
        ASSERT_FALSE(control->HandleAllocated()) << "setting the look made the widget";
        form.Show();
        QApplication::processEvents();
        ExpectLook(c, control);
        form.Hide();
    }
}

TEST(WidgetStateTest, EveryControlShowsWhatItIsGivenOnceItsWidgetExists) {
    for (const TControlClass& c : ControlClasses()) {
        SCOPED_TRACE(c.Name);
        TForm form(nullptr);
        form.SetBounds(0, 0, 400, 200);
        TWinControl* control = c.Make(form);
        form.Show();
        QApplication::processEvents();
        ASSERT_TRUE(control->HandleAllocated());
        SetLook(c, control);
        QApplication::processEvents();
        ExpectLook(c, control);
        form.Hide();
    }
}

// Every control that takes the keyboard focus shows that it has it: the
// layer moves the focus itself, and Qt's styles draw it only in a window
// marked as one the keyboard moves the focus in.
TEST(WidgetStateTest, TheFocusShowsOnEveryControlThatTakesIt) {
    struct TFocusable {
        const char* Name;
        std::function<TWinControl*(TForm& Form)> Make;
    } controls[] = {
        {"TButton",
         [](TForm& f) {
             auto* b = Put<TButton>(&f);
             b->SetCaption("Отмена"_cp);
             return b;
         }},
        {"TCheckBox",
         [](TForm& f) {
             auto* c = Put<TCheckBox>(&f);
             c->SetCaption("Работа по специальности"_cp);
             return c;
         }},
        {"TComboBox",
         [](TForm& f) {
             auto* c = Put<TComboBox>(&f);
             c->SetStyle(TComboBoxStyle::csDropDownList);
             c->Items()->Add("Мужской"_cp);
             c->SetItemIndex(0);
             return c;
         }},
        {"TPageControl",
         [](TForm& f) {
             auto* pages = Put<TPageControl>(&f);
             pages->SetBounds(8, 8, 200, 80);
             pages->SetTabStop(true);
             for (const char* caption : {"Общая информация", "Образование"}) {
                 auto* sheet = new TTabSheet(pages);
                 sheet->SetPageControl(pages);
                 sheet->SetCaption(Utf8ToAnsi(caption));
             }
             pages->SetActivePage(pages->Pages(0));
             return pages;
         }},
    };
    for (const TFocusable& c : controls) {
        SCOPED_TRACE(c.Name);
        TForm form(nullptr);
        form.SetBounds(0, 0, 400, 200);
        TWinControl* control = c.Make(form);
        auto* other = Put<TEdit>(&form);
        other->SetTop(120);
        form.Show();
        form.SetActiveControl(other);
        QApplication::processEvents();
        const QImage without = control->Widget()->grab().toImage();
        form.SetActiveControl(control);
        QApplication::processEvents();
        ASSERT_TRUE(control->Widget()->hasFocus());
        EXPECT_NE(control->Widget()->grab().toImage(), without) << "the focus does not show";
        form.Hide();
    }
}
