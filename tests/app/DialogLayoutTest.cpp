// Every window of the program as it shows: each label as wide as its text
// in the window's font, never covered by a control beside it, so that no
// caption is cut, whatever font the desktop gives for the designed one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <functional>

#include "AppFixture.h"
#include "app/About_Frm.h"
#include "app/ChangePassword_Frm.h"
#include "app/DB_Frm.h"
#include "app/Option_Frm.h"

namespace {

using DialogLayoutTest = AppFixture;

// The labels of Form whose text is cut or covered, with why.
std::vector<std::string> CutLabels(TCustomForm* Form) {
    std::vector<std::string> cut;
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        auto* label = dynamic_cast<TLabel*>(Form->Components(i));
        if (!label || !label->Showing() || label->WordWrap() || !label->AutoSize()) continue;
        auto* shown = static_cast<QLabel*>(label->Widget());
        const std::string name = AnsiToUtf8(label->Caption());
        const int needed = QFontMetrics(shown->font()).horizontalAdvance(shown->text());
        if (shown->width() < needed)
            cut.push_back(name + ": " + std::to_string(shown->width()) + " of " + std::to_string(needed) +
                          " px");
        const TRect r = label->BoundsRect();
        TWinControl* parent = label->Parent();
        for (int c = 0; c < parent->ControlCount(); ++c) {
            TControl* other = parent->Controls(c);
            if (other == label || !other->Visible()) continue;
            const TRect o = other->BoundsRect();
            if (o.Left < r.Right && r.Left < o.Right && o.Top < r.Bottom && r.Top < o.Bottom)
                cut.push_back(name + ": covered by " + AnsiToUtf8(other->Name()));
        }
    }
    return cut;
}

} // namespace

TEST_F(DialogLayoutTest, NoLabelIsCutOrCoveredInAnyWindow) {
    TVirtualStringTree grid(nullptr);
    struct TWindow {
        const char* Name;
        std::function<TCustomForm*()> Make;
    } windows[] = {
        {"answer sheet", [] { return new TBlank_Form(nullptr); }},
        {"group entry", [] { return new TTeamBlnk_Form(nullptr); }},
        {"testee card", [] { return new TAddTester_Form(nullptr); }},
        {"database card", [] { return new TDBEdit_Form(nullptr); }},
        {"database chooser", [] { return new TDB_Form(nullptr); }},
        {"password", [] { return new TInputPassword_Form(nullptr, "Ввод пароля"_cp); }},
        {"password change", [] { return new TChangePassword_Form(nullptr); }},
        {"search", [&] { return new TSearch_Form(nullptr, &grid); }},
        {"options", [this] { return new TOptions_Form(nullptr, Tarvik.get()); }},
        {"about", [] { return new TAbout_Form(nullptr); }},
    };
    for (const TWindow& w : windows) {
        SCOPED_TRACE(w.Name);
        std::unique_ptr<TCustomForm> form(w.Make());
        form->Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Widget()));
        QApplication::processEvents();
        EXPECT_EQ(CutLabels(form.get()), std::vector<std::string>{});
        // The testee card's other pages.
        if (auto* card = dynamic_cast<TAddTester_Form*>(form.get()))
            for (TTabSheet* page : {card->Work_TabSheet, card->Education_TabSheet}) {
                card->AddTester_PageControl->SetActivePage(page);
                QApplication::processEvents();
                EXPECT_EQ(CutLabels(form.get()), std::vector<std::string>{}) << AnsiToUtf8(page->Caption());
            }
        form->Hide();
    }
}
