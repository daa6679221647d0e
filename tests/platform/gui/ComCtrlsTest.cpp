// The common controls through the layer: pages, the status bar, tool buttons
// with actions, the date picker and the rich-text box reading files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Streams.h"

namespace {
template <class T> T* Put(TWinControl* Parent) {
    auto* c = new T(Parent);
    c->SetParent(Parent);
    return c;
}

// The user's click on the control's widget.
void ClickWidget(TWinControl* Control) {
    QTest::mouseClick(Control->Widget(), Qt::LeftButton, {}, QPoint(3, 3));
    QApplication::processEvents();
}

// A file in the temporary folder, gone at the end of the test.
struct TTempFile {
    explicit TTempFile(const std::string& Bytes) {
        Name = ::testing::TempDir() + "luvora_" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".rtf";
        std::ofstream(Name, std::ios::binary) << Bytes;
    }
    ~TTempFile() { std::remove(Name.c_str()); }
    std::string Name;
};
} // namespace

TEST(PageControlTest, PagesTabsAndSwitching) {
    TForm form(nullptr);
    auto* pages = Put<TPageControl>(&form);
    TTabSheet* sheets[3];
    for (int i = 0; i < 3; ++i) {
        sheets[i] = new TTabSheet(&form);
        sheets[i]->SetPageControl(pages);
        sheets[i]->SetCaption(AnsiString("Page ") + char('1' + i));
    }
    ASSERT_EQ(pages->PageCount(), 3);
    pages->SetActivePage(sheets[0]);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    sheets[1]->SetTabVisible(false);
    EXPECT_EQ(sheets[1]->TabIndex(), -1);
    EXPECT_EQ(sheets[2]->TabIndex(), 1);
    EXPECT_EQ(pages->FindNextPage(sheets[0], true), sheets[2]) << "hidden tabs are passed";
    EXPECT_EQ(pages->FindNextPage(sheets[2], true), sheets[0]) << "wraps";
    EXPECT_EQ(pages->FindNextPage(sheets[0], false), sheets[2]);
    pages->SelectNextPage(true);
    EXPECT_EQ(pages->ActivePageIndex(), 2);
    EXPECT_TRUE(sheets[2]->Visible());
    EXPECT_FALSE(sheets[0]->Visible());

    TPageControl other(nullptr);
    auto* foreign = new TTabSheet(&other);
    foreign->SetPageControl(&other);
    pages->SetActivePage(foreign);
    EXPECT_EQ(pages->ActivePage(), sheets[2]) << "another control's page is ignored";

    sheets[2]->SetPageIndex(0);
    EXPECT_EQ(pages->Pages(0), sheets[2]);
    delete sheets[2];
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_NE(pages->ActivePage(), nullptr) << "another page shows when the active one goes";
}

TEST(StatusBarTest, PanelsShareTheBarAndTheLastReachesTheEdge) {
    TForm form(nullptr);
    auto* bar = Put<TStatusBar>(&form);
    bar->SetBounds(0, 0, 300, 19);
    const int right = bar->ClientWidth(), bottom = bar->ClientHeight();
    bar->Panels()->Add()->SetWidth(100);
    bar->Panels()->Add()->SetWidth(50);
    bar->Panels()->Add()->SetWidth(20);
    bar->Panels()->Items(1)->SetText("Записей: 10"_cp);
    EXPECT_EQ(bar->PanelRect(0), TRect(0, 0, 100, bottom));
    EXPECT_EQ(bar->PanelRect(1), TRect(100, 0, 150, bottom));
    EXPECT_EQ(bar->PanelRect(2), TRect(150, 0, right, bottom));
    EXPECT_EQ(bar->Panels()->Items(1)->Index(), 1);
    bar->Panels()->Delete(0);
    EXPECT_EQ(bar->PanelRect(0), TRect(0, 0, 50, bottom));
    EXPECT_EQ(bar->Panels()->Items(0)->Text(), "Записей: 10"_cp);
    bar->SetSimplePanel(true);
    bar->SetSimpleText("busy");
    EXPECT_EQ(bar->PanelRect(0), TRect(0, 0, right, bottom));
    bar->HandleNeeded(); // the widget shows what was set before it
    bar->SetSimplePanel(false);
    bar->Panels()->Clear();
    EXPECT_EQ(bar->Panels()->Count(), 0);
}

TEST(ToolBarTest, ButtonsFollowTheirActionAndRunIt) {
    TForm form(nullptr);
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form);
    action->SetActionList(list);
    action->SetCaption("Удалить"_cp);
    action->SetImageIndex(3);
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };
    auto* bar = Put<TToolBar>(&form);
    auto* first = Put<TToolButton>(bar);
    auto* button = Put<TToolButton>(bar);
    button->SetAction(action);
    EXPECT_EQ(bar->ButtonCount(), 2);
    EXPECT_EQ(bar->Buttons(1), button);
    EXPECT_EQ(button->Caption(), "Удалить"_cp);
    EXPECT_EQ(button->ImageIndex(), 3);
    ClickWidget(button);
    EXPECT_EQ(runs, 1);
    action->SetEnabled(false);
    action->SetImageIndex(5);
    EXPECT_FALSE(button->Enabled());
    EXPECT_EQ(button->ImageIndex(), 5);
    // Laid out left to right; a hidden button takes no room.
    bar->Rearrange();
    EXPECT_LT(first->Left(), button->Left());
    first->SetVisible(false);
    bar->Rearrange();
    EXPECT_EQ(button->Left(), 0);
    delete first;
    EXPECT_EQ(bar->ButtonCount(), 1);

    auto* check = Put<TToolButton>(bar);
    check->SetStyle(TToolButtonStyle::tbsCheck);
    ClickWidget(check);
    EXPECT_TRUE(check->Down());
}

TEST(DateTimePickerTest, DateAndTimeKeepEachOther) {
    TForm form(nullptr);
    auto* picker = Put<TDateTimePicker>(&form);
    int changes = 0;
    picker->OnChange = [&](TObject*) { ++changes; };
    picker->SetDateTime(EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 0, 0));
    picker->SetDate(EncodeDate(2025, 1, 5));
    EXPECT_NEAR(picker->DateTime(), EncodeDate(2025, 1, 5) + EncodeTime(13, 45, 0, 0),
                EncodeTime(0, 0, 0, 1));
    picker->SetTime(EncodeTime(8, 0, 0, 0));
    EXPECT_DOUBLE_EQ(picker->Date(), EncodeDate(2025, 1, 5));
    EXPECT_NEAR(picker->Time(), EncodeTime(8, 0, 0, 0), EncodeTime(0, 0, 0, 1));
    EXPECT_EQ(changes, 0) << "code sets, the user changes";
    picker->SetFormat("dd.MM.yyyy");
    EXPECT_EQ(picker->DisplayText(), "05.01.2025");
    picker->SetFormat("'Дата:' d MMM yy"_cp);
    EXPECT_TRUE(picker->DisplayText().starts_with("Дата: 5 "_cp)) << picker->DisplayText();
    picker->HandleNeeded();
    EXPECT_DOUBLE_EQ(picker->Date(), EncodeDate(2025, 1, 5)) << "the widget keeps the value";
}

TEST(RichEditTest, ShowsAnRtfFileOrItsPlainText) {
    TForm form(nullptr);
    auto* rich = Put<TRichEdit>(&form);
    rich->SetReadOnly(true);
    TTempFile rtf(
        R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0 Arial;}}\f0\qc\b \'c8\'ed\'f1\'f2\'f0\'f3\'ea\'f6\'e8\'ff\b0\par\pard second\par})");
    rich->LoadFromFile(rtf.Name.c_str());
    ASSERT_EQ(rich->Lines()->Count(), 2);
    EXPECT_EQ(rich->Lines()->Strings(0), "Инструкция"_cp);
    EXPECT_EQ(rich->Document().Paragraphs.at(0).Alignment, TRtfAlignment::raCenter);
    EXPECT_TRUE(rich->Document().Paragraphs.at(0).Runs.at(0).Bold);
    rich->HandleNeeded();

    TTempFile plain("line one\r\nline two");
    rich->LoadFromFile(plain.Name.c_str());
    ASSERT_EQ(rich->Lines()->Count(), 2);
    EXPECT_EQ(rich->Lines()->Strings(1), "line two");

    EXPECT_THROW(rich->LoadFromFile((::testing::TempDir() + "no_such_file.rtf").c_str()), EReadError);
    EXPECT_THROW(rich->LoadFromFile(::testing::TempDir().c_str()), EReadError) << "a folder";
    EXPECT_THROW(rich->LoadFromFile(rtf.Name.c_str(), {10}), EFileTooLarge);
    EXPECT_NO_THROW(rich->LoadFromFile(plain.Name.c_str(), {18})) << "as large as it may be";
    EXPECT_EQ(rich->Lines()->Strings(1), "line two") << "a failed read keeps the text";
    EXPECT_EQ(rich->Document().Cut, TRtfCut::rcNone);

    // Each line is a paragraph and a run: three parts hold one line.
    rich->LoadFromFile(plain.Name.c_str(), {-1, 3});
    EXPECT_EQ(rich->Lines()->Count(), 1);
    EXPECT_EQ(rich->Document().Cut, TRtfCut::rcLength);
}
