// The report-like text that the layout benchmark gives the engine and its
// peer alike: paragraphs of about 90 words with frequent bold and italic
// runs, headings and bulleted paragraphs, made from a fixed seed.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct TReportRun {
    std::u16string Text;
    bool Bold = false;
    bool Italic = false;
};

enum class TReportKind { Heading, Body, Bullet };

struct TReportParagraph {
    TReportKind Kind = TReportKind::Body;
    std::vector<TReportRun> Runs;
};

inline std::vector<TReportParagraph> MakeReport(int Paragraphs, uint32_t Seed = 7) {
    static const char16_t* const words[] = {u"the",
                                            u"testee",
                                            u"ranks",
                                            u"achievement",
                                            u"and",
                                            u"recognition",
                                            u"above",
                                            u"working",
                                            u"conditions",
                                            u"while",
                                            u"pay",
                                            u"supervision",
                                            u"matter",
                                            u"less",
                                            u"than",
                                            u"work",
                                            u"itself",
                                            u"scales",
                                            u"of",
                                            u"growth",
                                            u"in",
                                            u"leading",
                                            u"band",
                                            u"relations",
                                            u"colleagues",
                                            u"company",
                                            u"policy",
                                            u"stay",
                                            u"middle",
                                            u"motivation",
                                            u"level",
                                            u"hygiene",
                                            u"factors",
                                            u"responsibility",
                                            u"a",
                                            u"profile",
                                            u"\u0443\u0440\u043e\u0432\u0435\u043d\u044c",
                                            u"\u043c\u043e\u0442\u0438\u0432\u0430\u0446\u0438\u0438",
                                            u"\u0432\u044b\u0441\u043e\u043a\u0438\u0439",
                                            u"\u0433\u0440\u0443\u043f\u043f\u0430"};
    constexpr int wordCount = sizeof(words) / sizeof(words[0]);
    std::mt19937 random(Seed);
    auto pick = [&](int N) { return int(random() % uint32_t(N)); };
    std::vector<TReportParagraph> report;
    report.reserve(std::size_t(Paragraphs));
    for (int p = 0; p < Paragraphs; ++p) {
        TReportParagraph para;
        int length;
        if (p % 12 == 0) {
            para.Kind = TReportKind::Heading;
            length = 4 + pick(5);
        } else if (pick(5) == 0) {
            para.Kind = TReportKind::Bullet;
            length = 20 + pick(21);
        } else {
            length = 80 + pick(21);
        }
        TReportRun run;
        for (int w = 0; w < length; ++w) {
            // A bold or italic run of a few words every few words.
            if (w > 0 && para.Kind != TReportKind::Heading && pick(7) == 0) {
                para.Runs.push_back(run);
                run = TReportRun{};
                int kind = pick(4);
                run.Bold = kind == 1 || kind == 3;
                run.Italic = kind == 2 || kind == 3;
            }
            if (!run.Text.empty() || !para.Runs.empty()) run.Text += u' ';
            run.Text += words[pick(wordCount)];
        }
        run.Text += u'.';
        para.Runs.push_back(run);
        report.push_back(std::move(para));
    }
    return report;
}
