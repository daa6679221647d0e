// The About box played through its entry function: its texts, the link
// that lights up under the mouse and opens the mail program, and its keys.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "AppFixture.h"
#include "DialogDriver.h"
#include "app/About_Frm.h"
#include "platform/win/ShellAPI.h"

namespace {

using AboutFormTest = AppFixture;

TEST_F(AboutFormTest, TheLinkOpensTheMailProgramAndEnterOrEscapeCloses) {
    const std::string log = Folder.Path() + "opened.txt";
    const std::string opener = Folder.Path() + "opener";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << log << "'\n";
    ::chmod(opener.c_str(), 0700);
    SetShellOpenCommandOverride(opener);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        Dialogs.Answers.push_back(AsUser<TAbout_Form>([key](TAbout_Form& w) {
            EXPECT_EQ(w.Caption(), "О программе"_cp);
            EXPECT_EQ(w.Label3->Caption(), "Версия 1.0"_cp);
            EXPECT_EQ(w.ActiveControl(), w.Ok_But);
            EXPECT_EQ(w.EMailLabel->Caption(), MakerEMail());
            QTest::mouseMove(w.EMailLabel->Widget(), QPoint(3, 3));
            w.EmailLabelMouseMove(w.EMailLabel, TShiftState(), 3, 3);
            EXPECT_EQ(w.EMailLabel->Font()->Color(), clBlue);
            w.EMailLabelMouseLeave(w.EMailLabel);
            EXPECT_EQ(w.EMailLabel->Font()->Color(), clBlack);
            QTest::mouseClick(w.EMailLabel->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
            Pump();
            Press(w.Ok_But, key);
        }));
        ShowAbout();
    }
    SetShellOpenCommandOverride("");
    std::stringstream opened;
    opened << std::ifstream(log).rdbuf();
    EXPECT_EQ(opened.str(), "mailto:" + MakerEMail());
    EXPECT_TRUE(Boxes.Log.empty());
}

} // namespace
