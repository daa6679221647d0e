// The read-only report editor on a real X server, under the locale of the
// run: a report page in a window, a click on its hyperlink followed, typed
// keys changing nothing.
#include <gtest/gtest.h>

#include "ScreenDriver.h"
#include "platform/gui/Forms.h"
#include "richtext/editor/control/RVEdit.h"
#include "richtext/editor/edit/RVERVDataCheck.h"

namespace {

TZoroZudoEdit* gEditor = nullptr;
int gJumps = 0;

void FillReport(TZoroZudoEdit& Editor) {
    TRVEditRVData& data = *Editor.EditData();
    data.AddWideTextTag(u"Результаты теста", 1, 0, 0);
    const std::u16string ru = u"Испытуемый ставит достижения и признание выше условий труда; оплата и "
                              u"руководство значат для него меньше, чем сама работа. ";
    data.AddWideTextTag(u"Профиль мотивации: ", 0, 0, 0);
    data.AddWideTextTag(u"подробнее", 2, -1, 0);
    for (int i = 0; i < 20; ++i)
        data.AddWideTextTag(ru + ru, 0, 0, 0);
}

int RunEditorWindow() {
    TRVStyle style(nullptr);
    style.TextStyles().Clear();
    style.TextStyles().Add()->Unicode = true;
    TFontInfo* heading = style.TextStyles().Add();
    heading->Assign(style.TextStyles().GetItem(0));
    heading->Size = 14;
    heading->Style = fsBold;
    TFontInfo* link = style.TextStyles().Add();
    link->Assign(style.TextStyles().GetItem(0));
    link->Jump = true;
    link->Color = clBlue;
    link->Style = fsUnderline;
    TForm form(nullptr);
    form.SetCaption("Editor");
    form.SetBounds(60, 60, 600, 400);
    auto* editor = new TZoroZudoEdit(&form);
    editor->SetParent(&form);
    editor->SetAlign(TAlign::alClient);
    editor->SetStyle(&style);
    editor->SetOptions(editor->Options() & ~rvoAllowSelection);
    editor->OnJump = [](TObject*, int) { ++gJumps; };
    FillReport(*editor);
    editor->FormatDocument();
    editor->SetReadOnly(true);
    gEditor = editor;
    Application->SetMainForm(&form);
    form.Show();
    Application->Run();
    gEditor = nullptr;
    return 0;
}

TEST(EditorOnScreen, AReadOnlyReportFollowsItsLinkAndStaysAsItIs) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server: run it through tools/on_screen.sh";
    TScreenDriver driver;
    const int result = driver.Run(RunEditorWindow, [](TScreenDriver& D) {
        D.WaitForWindow<TForm>("the editor's window");
        D.WaitFor("the report", [] { return gEditor && gEditor->GetDocumentHeight() > 300; });
        TZoroZudoEdit* editor = gEditor;
        const QPoint link = D.OnGui<QPoint>([&] {
            TRVEditRVData& data = *editor->EditData();
            int d = 0;
            data.GetItemFirstDrawItem(2, d);
            const TRVDrawLineInfo& info = *data.DrawItems[d];
            return QPoint(info.Left + info.Width / 2 - data.GetHOffs(),
                          info.Top + info.Height / 2 - data.GetVOffs());
        });
        D.Click(editor, link.x(), link.y());
        D.WaitFor("the hyperlink to be followed", [] { return gJumps == 1; });
        D.Key("x");
        D.Key("BackSpace");
        D.Key("Delete");
        D.OnGui<int>([&] {
            EXPECT_FALSE(editor->Modified);
            EXPECT_EQ(editor->EditData()->ItemCount(), 23);
            EXPECT_EQ(CheckEditInvariants(*editor->EditData()), "");
            return 0;
        });
        D.Key("alt+F4");
    });
    EXPECT_EQ(result, 0);
}

} // namespace
