// What the tests of the editing operations share: a formatted editing
// document on the fixed-metrics canvas (8 pixels a character, 200 wide: 25
// characters a line), documents built from short descriptions, the
// document and caret as text, and the round trip that undoes every step
// back to the starting document and redoes it to the end.
#pragma once

#include <gtest/gtest.h>

#include "RVEditTestData.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVTextItems.h"

class RVEditOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Style = MakeEditStyle();
        // 5: a style whose items stick together; 6: text that must not be
        // changed; 7: text that must not grow; 8: text with a next style; 9:
        // text that must not be removed whole; 10: text converted only whole.
        Style->TextStyles().Add()->Protection = rvprSticking;
        Style->TextStyles().Add()->Protection = rvprModifyProtect;
        Style->TextStyles().Add()->Protection = rvprConcateProtect;
        Style->TextStyles().Add()->NextStyleNo = 1;
        Style->TextStyles().Add()->Protection = rvprDeleteProtect;
        Style->TextStyles().Add()->Protection = rvprStyleSplitProtect;
        // 3: read-only paragraphs; 4: a paragraph with a next style.
        Style->ParaStyles().Add()->Options = rvpaoReadOnly;
        Style->ParaStyles().Add()->NextParaNo = 1;
        Style->ListStyles().Add()->Levels().Add();
        Data = std::make_unique<TTestEditData>(Style.get(), &Canvas, &Editor);
        Editor.Data = Data.get();
    }

    void Check() {
        EXPECT_EQ(CheckEditInvariants(*Data), "");
        // The partial re-formats left what a whole format makes.
        std::vector<std::string> partial = DrawStates(*Data);
        int item = Data->GetCaretItemNo(), offs = Data->GetCaretItemOffset();
        bool selected = Data->SelectionExists();
        int s = 0, so = 0, e = 0, eo = 0;
        if (selected) Data->GetSelectionItemBounds(s, e, so, eo, false);
        int text = Data->CurrentTextStyle, para = Data->CurrentParaStyle;
        Data->Format();
        EXPECT_EQ(DrawStates(*Data), partial);
        Data->SetCaretAt(item, offs);
        if (selected) Data->SetSelectionBounds(s, so, e, eo);
        Data->CurrentTextStyle = text;
        Data->CurrentParaStyle = para;
    }

    // Items of a description: "text" a text item, "+text" one that continues
    // the paragraph, "/text" one after a line break, "text#N" in style N,
    // "[pic]" a picture, "[br]" a break, "[*]" a list marker, "~text" text
    // in paragraph style 3 (read-only), "^text" in paragraph style 1, "!text"
    // in paragraph style 4 (its next style is 1), "|text" after a page break. A
    // persistent checkpoint: "@" at the end.
    void Build(const std::vector<std::string>& Items) {
        for (std::string d : Items) {
            bool persistent = !d.empty() && d.back() == '@';
            if (persistent) d.pop_back();
            int paraNo = 0;
            bool continues = false, lineBreak = false;
            if (!d.empty() && d[0] == '+') continues = true, d.erase(0, 1);
            if (!d.empty() && d[0] == '/') lineBreak = true, d.erase(0, 1);
            if (!d.empty() && d[0] == '~') paraNo = 3, d.erase(0, 1);
            if (!d.empty() && d[0] == '^') paraNo = 1, d.erase(0, 1);
            // A continuation is in its paragraph's style.
            if (continues && Data->ItemCount() > 0) paraNo = Data->LiveItem(Data->ItemCount() - 1).ParaNo;
            bool pageBreak = !d.empty() && d[0] == '|';
            if (pageBreak) d.erase(0, 1);
            if (!d.empty() && d[0] == '!') paraNo = 4, d.erase(0, 1);
            if (d == "[pic]") {
                auto picture = std::make_unique<TRVGraphicItemInfo>(Data.get());
                picture->ImageWidth = 20;
                picture->ImageHeight = 10;
                picture->Spacing = 0;
                picture->ParaNo = paraNo;
                picture->SetContinuesParagraph(continues);
                Data->AddItemAsIs("", std::move(picture));
            } else if (d == "[br]") {
                Data->AddBreak();
            } else if (d == "[*]") {
                Data->ApplyListMarker(-1, 0, 0, 1, false, paraNo);
            } else {
                int styleNo = 0;
                if (size_t hash = d.find('#'); hash != std::string::npos) {
                    styleNo = std::stoi(d.substr(hash + 1));
                    d.erase(hash);
                }
                int last = Data->ItemCount() - 1;
                if (continues && last >= 1 && Data->LiveItem(last - 1).StyleNo == rvsListMarker &&
                    Data->GetItemText(last).empty()) {
                    // The marker's placeholder takes the text.
                    Data->AddTextItem(d, styleNo, -1);
                } else {
                    auto item = Data->CreateTextItem(0, paraNo, false, continues, styleNo);
                    if (lineBreak) item->SetLineBreakBefore(true);
                    Data->AddItemAsIs(d, std::move(item));
                }
            }
            if (pageBreak) Data->LiveItem(Data->ItemCount() - 1).SetPageBreakBefore(true);
            if (persistent) {
                auto cp = std::make_unique<TRVCPInfo>();
                cp->Name = "cp";
                cp->Persistent = true;
                Data->UndoableAddCheckpoint(Data->ItemCount() - 1, std::move(cp));
            }
        }
        Data->Format();
        Start = Doc();
        StartStates = ItemStates(*Data);
    }

    // The document as items: text items as their text (with "+" for a
    // continuation, "/" for a line break, "|" for a page break, "#N" for a style other than 0,
    // "^N" for a paragraph style other than 0), others as [pic], [br], [*];
    // a persistent checkpoint as "@"; then the caret as "item:offset".
    std::string Doc() const {
        std::string out;
        for (int i = 0; i < Data->ItemCount(); ++i) {
            const TCustomRVItemInfo& item = Data->LiveItem(i);
            if (i) out += ' ';
            if (item.GetPageBreakBefore()) out += '|';
            if (item.GetContinuesParagraph()) out += '+';
            if (item.GetLineBreakBefore()) out += '/';
            if (item.StyleNo >= 0) {
                out += '"' + Data->GetItemText(i) + '"';
                if (item.StyleNo != 0) out += '#' + std::to_string(item.StyleNo);
            } else if (item.StyleNo == rvsBreak) {
                out += "[br]";
            } else if (item.StyleNo == rvsListMarker) {
                out += "[*]";
            } else {
                out += "[pic]";
            }
            if (item.ParaNo != 0) out += '^' + std::to_string(item.ParaNo);
            if (item.Checkpoint) out += item.Checkpoint->Persistent ? "@" : "%";
        }
        return out;
    }

    std::string Caret() {
        return std::to_string(Data->GetCaretItemNo()) + ":" + std::to_string(Data->GetCaretItemOffset());
    }

    // Undo back to the start and redo to the end: the documents match.
    void RoundTrip() {
        std::vector<std::string> end = ItemStates(*Data);
        std::string endDoc = Doc();
        int steps = 0;
        while (Data->CanUndo()) {
            Data->Undo();
            ++steps;
            EXPECT_EQ(CheckEditInvariants(*Data), "");
        }
        EXPECT_EQ(Doc(), Start);
        EXPECT_EQ(ItemStates(*Data), StartStates);
        while (Data->CanRedo()) {
            Data->Redo();
            EXPECT_EQ(CheckEditInvariants(*Data), "");
        }
        EXPECT_EQ(ItemStates(*Data), end);
        EXPECT_EQ(Doc(), endDoc);
    }

    std::unique_ptr<TRVStyle> Style;
    TFixedMetricsCanvas Canvas;
    TFakeEditor Editor;
    std::unique_ptr<TTestEditData> Data;
    std::string Start;
    std::vector<std::string> StartStates;
};
