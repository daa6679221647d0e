// The viewer on a real X server, driven through the window system under
// the locale of the run: a report page in a window, scrolled by keys and
// the wheel, a selection dragged with the mouse and copied with Ctrl+C to
// the system clipboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>

#include "ScreenDriver.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/engine/view/ZoroZudo.h"

namespace {

TZoroZudo* gViewer = nullptr;

// A heading and paragraphs of a report, in Russian and English.
void FillReport(TZoroZudo& Viewer) {
    TZoroZudoRVData& data = *Viewer.RVData();
    data.AddWideTextTag(u"Результаты теста", 1, 0, 0);
    const std::u16string ru = u"Испытуемый ставит достижения и признание выше условий труда; оплата и "
                              u"руководство значат для него меньше, чем сама работа. ";
    const std::u16string en = u"The testee ranks achievement and recognition above working conditions. ";
    for (int i = 0; i < 60; ++i) {
        std::u16string text = (i % 2 ? en : ru) + (i % 2 ? en : ru);
        text += u"(" + std::u16string(1, char16_t(u'0' + i % 10)) + u")";
        data.AddWideTextTag(text, 0, 0, 0);
    }
}

int RunViewerWindow() {
    TRVStyle style(nullptr);
    style.TextStyles().GetItem(0)->Unicode = true;
    TFontInfo* heading = style.TextStyles().Add();
    heading->Assign(style.TextStyles().GetItem(0));
    heading->Size = 14;
    heading->Style = fsBold;
    TForm form(nullptr);
    form.SetCaption("Viewer");
    form.SetBounds(60, 60, 600, 400);
    auto* viewer = new TZoroZudo(&form);
    viewer->SetParent(&form);
    viewer->SetAlign(TAlign::alClient);
    viewer->SetStyle(&style);
    FillReport(*viewer);
    viewer->FormatDocument();
    gViewer = viewer;
    Application->SetMainForm(&form);
    form.Show();
    Application->Run();
    gViewer = nullptr;
    return 0;
}

TEST(ViewerOnScreen, ScrollsSelectsAndCopies) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server: run it through tools/on_screen.sh";
    TScreenDriver driver;
    const int result = driver.Run(RunViewerWindow, [](TScreenDriver& D) {
        D.WaitForWindow<TForm>("the viewer's window");
        D.WaitFor("the viewer", [] { return gViewer && gViewer->GetDocumentHeight() > 1000; });
        TZoroZudo* viewer = gViewer;
        auto position = [&] { return D.OnGui<int>([&] { return viewer->VScrollPosition(); }); };
        D.Click(viewer, 300, 200);
        D.Key("Next");
        const int page = D.OnGui<int>([&] { return viewer->ClientHeight() / viewer->VSmallStep(); });
        D.WaitFor("Page Down to scroll a page", [&] { return viewer->VScrollPosition() == page; });
        D.Key("Home");
        D.WaitFor("Home to go back", [&] { return viewer->VScrollPosition() == 0; });
        D.Wheel(viewer, true);
        D.WaitFor("the wheel to scroll two steps", [&] { return viewer->VScrollPosition() == 2; });
        D.Key("Home");
        D.WaitFor("Home again", [&] { return viewer->VScrollPosition() == 0; });
        EXPECT_EQ(position(), 0);
        // From the start of the heading to the end of the first paragraph's
        // first line.
        const QPoint from = D.OnGui<QPoint>([&] {
            const TRVDrawLineInfo& d = *viewer->RVData()->DrawItems[0];
            return QPoint(d.Left + 1, d.Top + d.Height / 2);
        });
        const QPoint to = D.OnGui<QPoint>([&] {
            const TRVDrawLineInfo& d = *viewer->RVData()->DrawItems[1];
            return QPoint(d.Left + d.Width - 1, d.Top + d.Height / 2);
        });
        D.Drag(viewer, from, to);
        D.WaitFor("a selection", [&] { return viewer->SelectionExists(); });
        D.Key("ctrl+c");
        D.WaitFor("the heading on the clipboard", [] {
            return QApplication::clipboard()->text().startsWith(QString::fromUtf8("Результаты теста"));
        });
        D.Key("alt+F4");
    });
    EXPECT_EQ(result, 0);
}

} // namespace
