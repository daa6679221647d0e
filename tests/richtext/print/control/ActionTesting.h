// What the action tests share: a window holding an editor with a document
// of a few pages, a control panel and an action list, and the recording
// printer and scripted dialogs and message boxes around them.
#pragma once

#include <gtest/gtest.h>

#include "platform/gui/ActnList.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/ScriptedDialogs.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "richtext/engine/RVWriterTestData.h"
#include "richtext/print/control/ZoroZudoActions.h"

// A window with an editor, a panel and an action list. Paragraphs: how
// many paragraphs the document has (about 70 fill a page of the recording
// printer).
struct TActionWindow {
    explicit TActionWindow(int Paragraphs = 3) {
        Form.SetBounds(40, 40, 600, 400);
        Editor = new TZoroZudoEdit(&Form);
        Editor->SetName("Editor");
        Editor->SetParent(&Form);
        Editor->SetAlign(TAlign::alClient);
        Editor->SetStyle(Style.get());
        for (int i = 0; i < Paragraphs; ++i)
            Editor->EditData()->AddTextItem("Paragraph " + IntToStr(i + 1) + " of the report", 0, 0);
        Panel = new TRVAControlPanel(&Form);
        List = new TActionList(&Form);
    }
    // An action of the window, in its action list.
    template <class T> T* Add() {
        auto* action = new T(&Form);
        action->SetActionList(List);
        return action;
    }

    std::unique_ptr<TRVStyle> Style = MakePlainStyle();
    TForm Form{nullptr};
    TZoroZudoEdit* Editor;
    TRVAControlPanel* Panel;
    TActionList* List;
};

// The seams every action test installs: printer, dialogs, message boxes.
class ActionTest : public ::testing::Test {
protected:
    TRecordingPrinter Printer;
    TScriptedDialogs Dialogs;
    TScriptedMessageBoxes Boxes;
};
