// A form holding a page control with three sheets, as the tests share it.
#pragma once

#include <gtest/gtest.h>

#include "controls/pages/AdvPageControl.h"
#include "platform/gui/Forms.h"

struct PageFixture : ::testing::Test {
    PageFixture() {
        Form->SetBounds(0, 0, 400, 300);
        Pages->SetParent(Form.get());
        Pages->SetBounds(0, 0, 400, 300);
        const char* captions[] = {"&First", "&Second", "&Third"};
        for (int i = 0; i < 3; ++i) {
            Sheets[i] = new TAdvTabSheet(Form.get());
            Sheets[i]->SetCaption(captions[i]);
            Sheets[i]->SetPageControl(Pages);
        }
        Pages->OnChange = [this](TObject*) {
            Events.push_back("change " + IntToStr(Pages->ActivePageIndex()));
        };
        Pages->OnCanChange = [this](TObject*, int From, int To, bool& Allow) {
            Events.push_back("canchange " + IntToStr(From) + ">" + IntToStr(To));
            Allow = AllowChange;
        };
        Pages->OnChanging = [this](TObject*, bool&) { Events.push_back("changing"); };
    }

    // Clicks the middle of the tab of page P.
    void ClickTab(int P) {
        TRect r = Pages->TabRectOfPage(P);
        LPARAM at = MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        Pages->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Pages->Perform(WM_LBUTTONUP, 0, at);
    }

    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TAdvPageControl* Pages = new TAdvPageControl(Form.get());
    TAdvTabSheet* Sheets[3] = {};
    std::vector<AnsiString> Events;
    bool AllowChange = true;
};
