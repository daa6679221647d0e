// The viewer beside a read-only Qt text edit, in one run on the same text
// of about 1,000 pages: opening it (format and first paint of a 600 x 400
// window), scrolling to the end and painting, and a resize to 520 x 400.
// Prints the medians and each ratio viewer / Qt.
//
//   bench_richtext_viewer [--runs N] [--pages N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "QtViewerPeer.h"
#include "ReportText.h"
#include "platform/gui/Forms.h"
#include "richtext/engine/layout/CRVFDataCheck.h"
#include "richtext/engine/view/ZoroZudo.h"

namespace {

constexpr int Width = 600;
constexpr int Height = 400;
constexpr int NewWidth = 520;
// About a page of text a paragraph pair: 90 words, some 600 characters.
constexpr int ParagraphsPerPage = 5;

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

std::vector<std::u16string> Paragraphs(int Pages) {
    std::vector<std::u16string> out;
    for (const TReportParagraph& p : MakeReport(Pages * ParagraphsPerPage)) {
        std::u16string text;
        for (const TReportRun& run : p.Runs)
            text += run.Text;
        out.push_back(text);
    }
    return out;
}

// The window shows what it holds now: the events that paint it have run.
void Paint(TZoroZudo& Viewer) {
    Application->ProcessMessages();
    Viewer.Invalidate();
    Viewer.Update();
}

struct TTimes {
    std::vector<double> Open, Scroll, Resize;
};

void RunViewer(const std::vector<std::u16string>& Text, TTimes& Times) {
    TRVStyle style(nullptr);
    style.TextStyles().GetItem(0)->Unicode = true;
    TForm form(nullptr);
    form.SetBounds(0, 0, Width, Height);
    const double start = NowMs();
    auto* viewer = new TZoroZudo(&form);
    viewer->SetParent(&form);
    viewer->SetAlign(TAlign::alClient);
    viewer->SetStyle(&style);
    form.Show();
    for (const std::u16string& p : Text)
        viewer->RVData()->AddWideTextTag(p, 0, 0, 0);
    viewer->FormatDocument();
    Paint(*viewer);
    Times.Open.push_back(NowMs() - start);
    if (!CheckFormattedInvariants(*viewer->RVData()).empty())
        std::fprintf(stderr, "the layout is not sound\n");

    double t = NowMs();
    viewer->Perform(WM_KEYDOWN, VK_END, 0);
    Paint(*viewer);
    Times.Scroll.push_back(NowMs() - t);

    t = NowMs();
    form.SetBounds(0, 0, NewWidth, Height);
    Paint(*viewer);
    Times.Resize.push_back(NowMs() - t);
    if (viewer->VScrollPosition() == 0) std::fprintf(stderr, "the viewer did not scroll\n");
}

void RunQt(const std::vector<std::u16string>& Text, TTimes& Times) {
    std::u16string all;
    for (const std::u16string& p : Text)
        all += p + u"\n";
    auto peer = MakeQtViewerPeer(Width, Height);
    Times.Open.push_back(peer->OpenAndPaint(all));
    Times.Scroll.push_back(peer->ScrollToEndAndPaint());
    Times.Resize.push_back(peer->ResizeAndPaint(NewWidth, Height));
    peer->Close();
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5, pages = 1000;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--pages") && i + 1 < argc)
            pages = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: %s [--runs N] [--pages N]\n", argv[0]);
            return 2;
        }
    }
    Application->Initialize();
    const std::vector<std::u16string> text = Paragraphs(pages);
    TTimes viewer, qt;
    // Alternating rounds, so that both see the same machine load.
    for (int r = 0; r < runs; ++r) {
        RunViewer(text, viewer);
        RunQt(text, qt);
    }
    std::printf("%-28s %12s %12s %8s\n", "step (ms, median)", "viewer", "QTextEdit", "ratio");
    auto row = [](const char* Name, const std::vector<double>& V, const std::vector<double>& Q) {
        const double v = Median(V), q = Median(Q);
        std::printf("%-28s %12.1f %12.1f %8.2f\n", Name, v, q, v / q);
    };
    row("open and first paint", viewer.Open, qt.Open);
    row("scroll to the end, paint", viewer.Scroll, qt.Scroll);
    row("resize, paint", viewer.Resize, qt.Resize);
    return 0;
}
