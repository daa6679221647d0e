// The page control in a real (offscreen) top-level window.
#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include "PageFixture.h"
#include "platform/testing/ScriptedMessageBoxes.h"

namespace {
void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}
} // namespace

using PageWindowTest = PageFixture;

TEST_F(PageWindowTest, ClicksKeysAndPaintsOnScreen) {
    TScriptedMessageBoxes boxes;
    Pages->SetActiveColor(clRed);
    Pages->SetTabPosition(TTabPosition::tpBottom);
    Pages->SetActivePageIndex(0);
    std::vector<AnsiString> shown;
    Sheets[1]->OnShow = [&](TObject*) {
        shown.push_back("show 1");
        throw Exception("page error");
    };
    Sheets[0]->OnHide = [&](TObject*) { shown.push_back("hide 0"); };
    Form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form->Widget()));
    Pump();

    TRect tab = Pages->TabRectOfPage(0);
    QImage shot = Form->Widget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor((tab.Left + tab.Right) / 2, tab.Top + 4), QColor(255, 0, 0))
        << "the active tab on screen";

    TRect second = Pages->TabRectOfPage(1);
    QTest::mouseClick(Pages->Widget(), Qt::LeftButton, Qt::NoModifier,
                      QPoint((second.Left + second.Right) / 2, (second.Top + second.Bottom) / 2));
    Pump();
    EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
    EXPECT_EQ(Events, (std::vector<AnsiString>{"canchange 0>1", "changing", "change 1"}));
    EXPECT_EQ(shown, (std::vector<AnsiString>{"show 1", "hide 0"}));
    ASSERT_EQ(boxes.Log.size(), 1u) << "the handler's error was shown, and the switch went on";
    EXPECT_EQ(boxes.Log[0].Text, "page error");

    shot = Form->Widget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor((second.Left + second.Right) / 2, second.Top + 4), QColor(255, 0, 0));

    Events.clear();
    QTest::keyClick(Pages->Widget(), Qt::Key_Tab, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
    EXPECT_EQ(Events, (std::vector<AnsiString>{"canchange 1>2", "changing", "change 2"}));
    SetShiftState(0);
    Form->Hide();
}
