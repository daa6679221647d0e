// Reading the instruction file: the RTF reader on one long paragraph beside
// the run building it once did (every character copied the run so far to
// compare formats, so time grew with the square of the paragraph); files of
// the largest size the instruction window takes, read into the rich-text
// box and laid out, beside Qt's own text box given the same text; and the
// costliest such files within the window's limits. Each pair checks that
// both give the same text; the counters give both times and their ratio.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/RtfReader.h"

namespace {

using TClock = std::chrono::steady_clock;

double Milliseconds(TClock::time_point From, TClock::time_point To) {
    return std::chrono::duration<double, std::milli>(To - From).count();
}

// Words of Latin and Cyrillic letters (as code page 1251 bytes) in one line.
std::string LongLine(std::size_t Bytes) {
    static const char words[] = "the testee reads \xf2\xe5\xea\xf1\xf2 and goes on ";
    std::string text;
    text.reserve(Bytes);
    while (text.size() < Bytes)
        text.append(words, std::min(sizeof words - 1, Bytes - text.size()));
    return text;
}

std::string RtfParagraph(const std::string& Text) {
    return "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0\\fs24 " + Text + "\\par}";
}

// The peer: the reader's run building as it was, for the text of a one-run
// paragraph (no control words in it): a run made for every character and
// compared with a copy of the last run, text and all.
WideString OldRunBuilding(const std::string& Text) {
    std::vector<TRtfRun> runs;
    for (const char c : Text) {
        const WideString decoded = AnsiToWide(std::string_view(&c, 1));
        TRtfRun run;
        run.FontName = "Arial";
        run.FontSize = 24;
        if (!runs.empty()) {
            TRtfRun last = runs.back();
            last.Text.clear();
            if (last == run) {
                runs.back().Text += decoded;
                continue;
            }
        }
        run.Text = decoded;
        runs.push_back(std::move(run));
    }
    WideString out;
    for (const TRtfRun& r : runs)
        out += r.Text;
    return out + u"\n";
}

// One paragraph of range(0) KB, read by the reader and, when range(1) is 1,
// by the old run building.
void ReadOneParagraph(benchmark::State& State) {
    const std::string text = LongLine(std::size_t(State.range(0)) * 1024);
    const std::string rtf = RtfParagraph(text);
    const bool withPeer = State.range(1) == 1;
    double reader = 0, peer = 0;
    for (auto _ : State) {
        const auto t0 = TClock::now();
        const TRtfDocument doc = ReadRtf(rtf);
        const auto t1 = TClock::now();
        const WideString old = withPeer ? OldRunBuilding(text) : WideString();
        const auto t2 = TClock::now();
        reader += Milliseconds(t0, t1);
        peer += Milliseconds(t1, t2);
        if (doc.Paragraphs.size() != 1 || doc.Paragraphs[0].Runs.size() != 1 ||
            (withPeer && doc.Text() != old)) {
            State.SkipWithError("the reader and its peer disagree");
            return;
        }
    }
    const double n = double(State.iterations());
    State.counters["reader_ms"] = reader / n;
    if (withPeer) {
        State.counters["peer_ms"] = peer / n;
        State.counters["ratio"] = peer > 0 ? reader / peer : 0;
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(rtf.size()));
}
// The old building takes half a minute for 1 MB: beyond 256 KB the reader
// runs alone.
BENCHMARK(ReadOneParagraph)
    ->Args({64, 1})
    ->Args({256, 1})
    ->Args({1024, 0})
    ->Args({10240, 0})
    ->ArgNames({"KB", "peer"})
    ->Unit(benchmark::kMillisecond);

// A file in a folder of its own below the current directory.
class TBenchFile {
public:
    explicit TBenchFile(const std::string& Bytes) {
        char pattern[] = "instruction-bench-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error("cannot create a folder");
        FFolder = std::filesystem::absolute(pattern).string();
        std::ofstream(Name(), std::ios::binary) << Bytes;
    }
    ~TBenchFile() {
        std::error_code ec;
        std::filesystem::remove_all(FFolder, ec);
    }
    std::string Name() const { return FFolder + "/Instr.rtf"; }

private:
    std::string FFolder;
};

// Lines of two characters, Bytes in all.
std::string ShortLines(std::size_t Bytes) {
    std::string text;
    text.reserve(Bytes);
    while (text.size() + 2 <= Bytes)
        text += "a\n";
    return text;
}

// A box made and shown as the instruction window's.
struct TBox {
    TForm Form{nullptr};
    TRichEdit* Rich;
    QTextEdit* Edit;
    TBox() {
        Form.SetBounds(0, 0, 556, 514);
        Rich = new TRichEdit(&Form);
        Rich->SetParent(&Form);
        Rich->SetBounds(8, 8, 540, 460);
        Rich->SetReadOnly(true);
        Rich->HandleNeeded();
        Edit = static_cast<QTextEdit*>(Rich->Widget());
    }
    void LoadAndLayOut(const std::string& File, const TRichEditLimits& Limits = {}) {
        Rich->LoadFromFile(File, Limits);
        benchmark::DoNotOptimize(Edit->document()->documentLayout()->documentSize());
    }
};

constexpr std::size_t kTenMegabytes = (10 << 20) - 200;

// A file read into a shown rich-text box and laid out: 10 MB of one line of
// plain text (range 0 = 0) or of one RTF paragraph (1), or 1 MB of plain
// lines of one letter (2); beside a Qt text box given the file's text and
// laid out the same.
void LoadIntoTheBox(benchmark::State& State) {
    const int kind = int(State.range(0));
    const std::string text = kind == 2 ? ShortLines(1 << 20) : LongLine(kTenMegabytes);
    const TBenchFile file(kind == 1 ? RtfParagraph(text) : text);
    // The box shows the paragraphs without the last line end.
    QString expected = QString::fromStdU16String(AnsiToWide(text));
    if (expected.endsWith('\n')) expected.chop(1);
    double box = 0, peer = 0;
    for (auto _ : State) {
        TBox rich;
        QTextEdit qt;
        qt.resize(540, 460);
        qt.setReadOnly(true);
        const auto t0 = TClock::now();
        rich.LoadAndLayOut(file.Name());
        const auto t1 = TClock::now();
        qt.setPlainText(expected);
        benchmark::DoNotOptimize(qt.document()->documentLayout()->documentSize());
        const auto t2 = TClock::now();
        box += Milliseconds(t0, t1);
        peer += Milliseconds(t1, t2);
        if (rich.Edit->toPlainText() != expected || qt.toPlainText() != expected) {
            State.SkipWithError("the boxes show other texts");
            return;
        }
    }
    const double n = double(State.iterations());
    State.counters["box_ms"] = box / n;
    State.counters["qt_ms"] = peer / n;
    State.counters["ratio"] = peer > 0 ? box / peer : 0;
}
BENCHMARK(LoadIntoTheBox)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("kind")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The costliest files of 10 MB for the box, loaded within the instruction
// window's limits (10 MB, 50,000 paragraphs and runs): plain lines of one
// letter (range 0 = 0), an RTF paragraph whose every letter changes the
// formatting (1), and empty RTF paragraphs (2). Each is cut, and the time
// is what the window takes to open on it. No peer: a box shows them all
// only after minutes.
void LoadWithinTheLimits(benchmark::State& State) {
    const int kind = int(State.range(0));
    std::string bytes;
    if (kind == 0) {
        bytes = ShortLines(kTenMegabytes);
    } else {
        bytes = "{\\rtf1 ";
        const char* part = kind == 1 ? "\\b a\\b0 b" : "\\par ";
        while (bytes.size() + 16 < kTenMegabytes)
            bytes += part;
        bytes += "}";
    }
    const TBenchFile file(bytes);
    for (auto _ : State) {
        TBox rich;
        rich.LoadAndLayOut(file.Name(), {int64_t(10) << 20, 50000});
        if (rich.Rich->Document().Cut != TRtfCut::rcLength) {
            State.SkipWithError("the file was not cut");
            return;
        }
    }
}
BENCHMARK(LoadWithinTheLimits)->Arg(0)->Arg(1)->Arg(2)->ArgName("kind")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
