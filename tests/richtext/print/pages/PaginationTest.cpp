// Printouts on the recording printer (600 dpi, A4, every character 50
// device pixels wide, lines 88 high): page geometry, page starts of long
// text, kept lines and paragraphs, forced breaks, split pictures,
// footnotes and endnotes, page drawing and a source that changes.
#include <gtest/gtest.h>

#include "platform/testing/RecordingPrinter.h"
#include "richtext/engine/RVLayoutTestData.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/print/control/RVPrint.h"

namespace {

enum TPara { pPlain, pKeepLines, pKeepNext, pSpaced };

class PrintoutTest : public ::testing::Test {
public:
    PrintoutTest() : Style(MakeLayoutStyle()), Source(Style.get(), &ScreenCanvas), Print(nullptr) {
        RVRegisterDocumentItemClasses();
        Style->ParaStyles().Add()->Options = rvpaoKeepLinesTogether;
        Style->ParaStyles().Add()->Options = rvpaoKeepWithNext;
        TParaInfo* spaced = Style->ParaStyles().Add();
        spaced->SpaceBefore = 10;
        spaced->SpaceAfter = 20;
        Source.Width = 600;
    }

    // Paragraphs of one line each.
    void Lines(int Count, TPara Para = pPlain) {
        for (int i = 0; i < Count; ++i)
            Source.AddTextItem("line " + IntToStr(Source.ItemCount()), 0, Para);
    }
    // One paragraph of Count lines of 80 characters.
    void LongParagraph(int Count, TPara Para) {
        AnsiString text;
        for (int i = 0; i < Count * 8; ++i)
            text += "abcdefghi ";
        Source.AddTextItem(text, 0, Para);
    }
    TRVFootnoteItemInfo& Footnote(int BodyLines) {
        auto note = std::make_unique<TRVFootnoteItemInfo>(&Source, 0, 1, false);
        TRVFootnoteItemInfo& ref = *note;
        for (int i = 0; i < BodyLines; ++i)
            note->Document->AddTextItem("note line", 0, 0);
        Source.AddItem("", std::move(note));
        return ref;
    }
    void Endnote(int BodyLines) {
        auto note = std::make_unique<TRVEndnoteItemInfo>(&Source, 0, 1, false);
        for (int i = 0; i < BodyLines; ++i)
            note->Document->AddTextItem("endnote line", 0, 0);
        Source.AddItem("", std::move(note));
    }

    int Format() {
        Print.AssignSource(Source);
        return Print.FormatPages();
    }
    TCustomMainPtblRVData& Data() { return Print.PrintableRV->RVData(); }
    TPrintableRVData& Printable() { return static_cast<TPrintableRV&>(*Print.PrintableRV).PrintableData(); }
    // The first drawing item of every page.
    std::vector<int> Starts() {
        std::vector<int> out;
        for (int p = 1; p <= Data().PageCount(); ++p)
            out.push_back(Data().Pages->Page(p).FirstDrawItem);
        return out;
    }

    TRecordingPrinter Printer;
    TFixedMetricsCanvas ScreenCanvas;
    std::unique_ptr<TRVStyle> Style;
    TTestFormattedData Source;
    TRVPrint Print;
};

// ---------------------------------------------------------------- geometry

TEST_F(PrintoutTest, MarginsBecomeDevicePixelsWithinThePrintableArea) {
    struct TCase {
        int LeftMM;
        TRVFixMarginsMode Mode;
        int Left, Right, MirroredLeft;
    } cases[] = {
        {20, rvfmmAutoCorrect, 372, 372, 372},
        // 47 px less the 100 px border: the area keeps its width at the edge.
        {2, rvfmmAutoCorrect, 0, 372 - 53, 372},
        {2, rvfmmIgnore, -53, 372, 372},
    };
    Printer.Border = TRect(100, 100, 100, 100);
    Lines(1);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.LeftMM);
        Print.SetLeftMarginMM(c.LeftMM);
        Print.SetFixMarginsMode(c.Mode);
        ASSERT_EQ(Format(), 1);
        EXPECT_EQ(Printable().LeftMarginPx, c.Left);
        EXPECT_EQ(Printable().RightMarginPx, c.Right);
        EXPECT_EQ(Printable().MirroredLeftMarginPx, c.MirroredLeft);
        EXPECT_EQ(Print.PrintableRV->ClientWidth, Printer.PageWidth() - c.Left - c.Right);
    }
}

TEST_F(PrintoutTest, MirroredMarginsSwapOnEvenPages) {
    Print.SetLeftMarginMM(30);
    Print.SetMirrorMargins(true);
    Lines(100);
    ASSERT_EQ(Format(), 2);
    EXPECT_EQ(Printable().GetPageLeft(1), MillimetresToPixels(30, 600));
    EXPECT_EQ(Printable().GetPageLeft(2), MillimetresToPixels(20, 600));
    EXPECT_EQ(Printable().GetPageLeft(3), MillimetresToPixels(30, 600));
}

TEST_F(PrintoutTest, MarginsThatLeaveNoRoomAreRefusedNamingTheMargin) {
    struct TCase {
        void (TRVPrint::*Set)(int);
        int Value;
        const char* Name;
    } cases[] = {
        {&TRVPrint::SetLeftMarginMM, 190, "left"}, {&TRVPrint::SetRightMarginMM, 200, "right"},
        {&TRVPrint::SetTopMarginMM, 280, "top"},   {&TRVPrint::SetBottomMarginMM, 300, "bottom"},
        {&TRVPrint::SetLeftMarginMM, -1, "left"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            (Print.*c.Set)(c.Value);
            FAIL() << "accepted";
        } catch (const EZoroZudoError& e) {
            EXPECT_NE(e.Message.find(c.Name), std::string::npos) << e.Message;
        }
    }
    EXPECT_EQ(Print.LeftMarginMM(), 20);
    EXPECT_EQ(Print.BottomMarginMM(), 20);
    Print.SetLeftMarginMM(160); // 160 + 20 of 210 mm leaves room
    EXPECT_EQ(Print.LeftMarginMM(), 160);
}

TEST_F(PrintoutTest, WithoutAPrinterNothingIsFormatted) {
    Printer.Names.clear();
    Lines(3);
    EXPECT_EQ(Format(), 0);
    EXPECT_FALSE(Print.HasPrinterCanvas());
    EXPECT_EQ(Data().DrawItems.Count(), 0);
}

// ---------------------------------------------------------------- page starts

TEST_F(PrintoutTest, LongTextFillsPagesOfWholeLines) {
    Lines(150);
    ASSERT_EQ(Format(), 3);
    // (7016 - 2 x 472) / 88: 69 lines a page.
    EXPECT_EQ(Starts(), (std::vector<int>{0, 69, 138}));
    EXPECT_EQ(Data().Pages->Page(2).TopY, 69 * 88);
    EXPECT_EQ(Data().Pages->Page(1).ContentHeight, 69 * 88);
    EXPECT_EQ(Print.TextEndY(), 12 * 88);
    EXPECT_EQ(Print.GetPagesCount(), 3);
    std::vector<TRVPageStartPlace> breaks = Print.SoftPageBreaks();
    ASSERT_EQ(breaks.size(), 2u);
    EXPECT_EQ(breaks[0].ItemNo, 69);
    EXPECT_EQ(breaks[0].Offset, 1);
    EXPECT_EQ(breaks[0].ExtraData, -1);
}

TEST_F(PrintoutTest, ParagraphOptionsDecideWherePagesBegin) {
    struct TCase {
        const char* Name;
        std::function<void(PrintoutTest&)> Build;
        std::vector<int> Starts;
    } cases[] = {
        {"a long paragraph is cut at the last line that fits",
         [](PrintoutTest& T) {
             T.Lines(60);
             T.LongParagraph(20, pPlain);
         },
         {0, 69}},
        {"kept lines move whole",
         [](PrintoutTest& T) {
             T.Lines(60);
             T.LongParagraph(20, pKeepLines);
         },
         {0, 60}},
        {"kept lines that begin a page are cut",
         [](PrintoutTest& T) { T.LongParagraph(100, pKeepLines); },
         {0, 69}},
        {"a heading kept with the next paragraph moves with it",
         [](PrintoutTest& T) {
             T.Lines(68);
             T.Lines(1, pKeepNext);
             T.LongParagraph(3, pKeepLines);
         },
         {0, 68}},
        {"a chain of kept headings moves whole",
         [](PrintoutTest& T) {
             T.Lines(66);
             T.Lines(3, pKeepNext);
             T.Lines(1);
         },
         {0, 66}},
        {"a chain that would empty the page breaks where it did not fit",
         [](PrintoutTest& T) { T.Lines(80, pKeepNext); },
         {0, 69}},
        {"space before and after are kept below every line",
         // 88 + 63 + 125 per paragraph: 21 of them, not 22 (22 x 276 - 63 > 6072).
         [](PrintoutTest& T) { T.Lines(30, pSpaced); },
         {0, 22}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Source.Clear();
        c.Build(*this);
        Format();
        EXPECT_EQ(Starts(), c.Starts);
    }
}

TEST_F(PrintoutTest, APageBreakBeforeAnItemBeginsANewPageUnlessThePageBeginsThere) {
    Lines(10);
    Source.LiveItem(0).SetPageBreakBefore(true);
    Source.LiveItem(4).SetPageBreakBefore(true);
    ASSERT_EQ(Format(), 2);
    EXPECT_EQ(Starts(), (std::vector<int>{0, 4}));
}

TEST_F(PrintoutTest, ATallPictureIsCutOverPagesWhenItMayBe) {
    auto picture = [&](int MinHeightOnPage) {
        auto item = std::make_unique<TRVGraphicItemInfo>(&Source, std::make_unique<TRVBitmapImage>(100, 2000),
                                                         vaBaseline);
        item->MinHeightOnPage = MinHeightOnPage;
        Source.AddItem("", std::move(item));
    };
    // 2000 screen pixels are 12500 device pixels: three pages of 6072.
    Lines(2);
    picture(10);
    Lines(1);
    ASSERT_EQ(Format(), 3);
    EXPECT_EQ(Starts(), (std::vector<int>{0, 2, 2}));
    EXPECT_EQ(Data().Pages->Page(2).FirstPart, 2);
    EXPECT_EQ(Data().Pages->Page(3).FirstPart, 3);
    auto& info = dynamic_cast<TRVMultiImagePrintInfo&>(*Data().DrawItems[2]);
    ASSERT_EQ(info.PartsList.Count(), 3);
    EXPECT_EQ(info.Part(0)->ContentTop + info.Part(0)->ContentHeight, info.Part(1)->ContentTop);
    EXPECT_EQ(info.Part(2)->ContentTop + info.Part(2)->ContentHeight, 2000);

    // Every page shows its part of the picture.
    Print.Print("Picture", 1, false);
    ASSERT_EQ(Printer.Pages.size(), 3u);
    for (const std::vector<AnsiString>& page : Printer.Pages) {
        int bitmaps = 0;
        for (const AnsiString& line : page)
            bitmaps += line.rfind("Bitmap ", 0) == 0;
        EXPECT_EQ(bitmaps, 1);
    }

    // A picture that may not be cut stands on a page of its own and overflows it.
    Source.Clear();
    Lines(2);
    picture(0);
    Lines(1);
    ASSERT_EQ(Format(), 3);
    EXPECT_EQ(Starts(), (std::vector<int>{0, 2, 3}));
}

// ---------------------------------------------------------------- notes

TEST_F(PrintoutTest, FootnotesStandAboveTheBottomMarginOfTheirReferencesPage) {
    Lines(5);
    TRVFootnoteItemInfo& first = Footnote(2);
    Lines(5);
    TRVFootnoteItemInfo& second = Footnote(3);
    Lines(5);
    ASSERT_EQ(Format(), 1);
    const TRVFootnoteRefList* list = Data().Pages->Page(1).FootnoteList.get();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ((*list)[0]->Footnote, &first);
    EXPECT_EQ((*list)[1]->Footnote, &second);
    EXPECT_EQ((*list)[1]->Top + 3 * 88, 7016 - 472);
    EXPECT_EQ((*list)[0]->Top + 2 * 88, (*list)[1]->Top);
    EXPECT_EQ((*list)[0]->NumberOnPage, 1);
    EXPECT_EQ((*list)[1]->NumberOnPage, 2);
}

TEST_F(PrintoutTest, AReferenceWhoseFootnoteDoesNotFitMovesToTheNextPageWithIt) {
    // The separator (88) and five note lines take 528: the reference on
    // line 66 no longer fits.
    Lines(65);
    TRVFootnoteItemInfo& note = Footnote(5);
    Lines(5);
    ASSERT_EQ(Format(), 2);
    EXPECT_EQ(Starts(), (std::vector<int>{0, 65}));
    EXPECT_FALSE(Data().Pages->Page(1).FootnoteList);
    const TRVFootnoteRefList* list = Data().Pages->Page(2).FootnoteList.get();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ((*list)[0]->Footnote, &note);
    EXPECT_EQ((*list)[0]->RefDrawItemNo, 65);
}

TEST_F(PrintoutTest, EndnotesFollowTheTextOrBeginAnExtraPage) {
    struct TCase {
        int TextLines;
        int Pages;
        std::vector<std::pair<int, int>> EndnotePages;
    } cases[] = {
        {10, 1, {{0, 1}}},
        // No room below 68 lines for the separator and the note's first line.
        {68, 2, {{-1, -1}, {0, 1}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.TextLines);
        Source.Clear();
        Lines(c.TextLines);
        Endnote(3);
        ASSERT_EQ(Format(), c.Pages);
        EXPECT_EQ(Print.GetPagesCount(), c.Pages);
        ASSERT_TRUE(Print.PrintableRV->Endnotes);
        std::vector<std::pair<int, int>> pages;
        for (const TRVEndnotePage& e : Print.PrintableRV->Endnotes->Pages)
            pages.push_back({e.EndnoteIndex, e.PageNo});
        EXPECT_EQ(pages, c.EndnotePages);
    }
    Print.PrintableRV->SkipEndnotes = true;
    EXPECT_EQ(Print.FormatPages(), 1);
}

// ---------------------------------------------------------------- drawing and printing

TEST_F(PrintoutTest, PagesAreDrawnInsideTheMarginsWithTheirFootnotes) {
    Lines(70);
    Footnote(1);
    ASSERT_EQ(Format(), 2);
    Print.Print("Report", 1, false);
    ASSERT_EQ(Printer.Pages.size(), 2u);
    auto texts = [&](int Page) {
        std::vector<AnsiString> out;
        for (const AnsiString& line : Printer.Pages[std::size_t(Page)])
            if (line.rfind("Text ", 0) == 0) out.push_back(line);
        return out;
    };
    std::vector<AnsiString> first = texts(0), second = texts(1);
    ASSERT_EQ(first.size(), 69u);
    EXPECT_EQ(first[0].rfind("Text 472,472 'line 0'", 0), 0u) << first[0];
    ASSERT_GE(second.size(), 2u);
    EXPECT_EQ(second[0].rfind("Text 472,472 'line 69'", 0), 0u) << second[0];
    EXPECT_NE(second.back().find("'note line'"), std::string::npos) << second.back();
    bool separator = false;
    for (const AnsiString& line : Printer.Pages[1])
        separator |= line.rfind("Line ", 0) == 0 && line.find("808080") != std::string::npos;
    EXPECT_TRUE(separator);
}

TEST_F(PrintoutTest, PageEventsFrameEveryPageAlsoWhenDrawingFails) {
    Lines(3);
    ASSERT_EQ(Format(), 1);
    std::vector<AnsiString> events;
    auto log = [&](const char* What) {
        return [&events, What](TCustomRVPrint*, int PageNo, TCanvas&, bool, const TRect& PageRect,
                               const TRect& Area) {
            events.push_back(AnsiString(What) + " " + IntToStr(PageNo) + " " + IntToStr(PageRect.Right) +
                             "x" + IntToStr(PageRect.Bottom) + " " + IntToStr(Area.Left) + "," +
                             IntToStr(Area.Top));
        };
    };
    Print.OnPagePrepaint = log("pre");
    Print.OnPagePostpaint = log("post");
    Print.SetClipMargins(true);
    TRecordingCanvas canvas;
    Print.DrawPage(1, canvas, false);
    EXPECT_EQ(events, (std::vector<AnsiString>{"pre 1 4961x7016 472,472", "post 1 4961x7016 472,472"}));
    EXPECT_FALSE(canvas.ClipRect()); // the clip of the print area is gone again

    events.clear();
    Style->OnDrawTextBack = [](TRVStyle*, TCanvas&, int, int, int, int, int, TRVTextDrawStates, bool&) {
        throw EZoroZudoError("failed");
    };
    EXPECT_THROW(Print.DrawPage(1, canvas, false), EZoroZudoError);
    EXPECT_EQ(events.size(), 2u);
    EXPECT_FALSE(canvas.ClipRect());
}

TEST_F(PrintoutTest, CopiesAndCollationDecideTheOrderOfPrintedPages) {
    Lines(150);
    ASSERT_EQ(Format(), 3);
    std::vector<int> sent;
    Print.OnSendingToPrinter = [&](TObject*, int Page, TRVPrintingStep Step) {
        if (Step == rvpsProceeding) sent.push_back(Page);
    };
    struct TCase {
        int First, Last, Copies;
        bool Collate;
        TPrinterCapabilities Caps;
        AnsiString Begin;
        std::vector<int> Sent;
    } cases[] = {
        {1, 3, 2, true, pcCopies, "BeginDoc 'T' copies=2", {1, 2, 3}},
        {1, 3, 2, true, 0, "BeginDoc 'T' copies=1", {1, 2, 3, 1, 2, 3}},
        {1, 2, 2, false, pcCopies, "BeginDoc 'T' copies=1", {1, 1, 2, 2}},
        {3, 2, 1, false, pcCopies, "", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Begin);
        Printer.Log.clear();
        Printer.Caps = c.Caps;
        sent.clear();
        Print.PrintPages(c.First, c.Last, "T", c.Copies, c.Collate);
        EXPECT_EQ(sent, c.Sent);
        if (c.Sent.empty()) {
            EXPECT_TRUE(Printer.Log.empty());
            continue;
        }
        ASSERT_EQ(Printer.Log.size(), c.Sent.size() + 1);
        EXPECT_EQ(Printer.Log.front(), c.Begin);
        EXPECT_EQ(Printer.Log.back(), "EndDoc");
        EXPECT_EQ(Printer.Copies(), 1);
    }
}

TEST_F(PrintoutTest, PageNumbersOutsideThePrintoutAreRefused) {
    Lines(3);
    ASSERT_EQ(Format(), 1);
    TRecordingCanvas canvas;
    EXPECT_THROW(Print.DrawPage(0, canvas, true), EZoroZudoError);
    EXPECT_THROW(Print.DrawPage(2, canvas, true), EZoroZudoError);
    Print.DrawPage(1, canvas, true);
}

TEST_F(PrintoutTest, AChangedSourceDropsThePagesInsteadOfDrawingFreedItems) {
    Lines(80);
    ASSERT_EQ(Format(), 2);
    Source.Clear();
    Lines(3);
    TRecordingCanvas canvas;
    EXPECT_THROW(Print.DrawPage(1, canvas, true), EZoroZudoError);
    EXPECT_EQ(Print.GetPagesCount(), 0);
    // Formatting again takes the source as it is now.
    Print.AssignSource(Source);
    EXPECT_EQ(Print.FormatPages(), 1);
}

TEST_F(PrintoutTest, AFreedSourceIsLetGo) {
    auto source = std::make_unique<TTestFormattedData>(Style.get(), &ScreenCanvas);
    source->Width = 600;
    source->AddTextItem("gone", 0, 0);
    Print.AssignSource(*source);
    ASSERT_EQ(Print.FormatPages(), 1);
    source.reset();
    TRecordingCanvas canvas;
    EXPECT_THROW(Print.DrawPage(1, canvas, false), EZoroZudoError);
    EXPECT_EQ(Print.FormatPages(), 0);
}

TEST_F(PrintoutTest, TheFormatCounterRunsToNineThousandNineHundredNinetyNineAndWraps) {
    for (int i = 0; i < 9999; ++i)
        Print.FormatPages();
    EXPECT_EQ(Print.FormatCounter(), 9999);
    Print.FormatPages();
    EXPECT_EQ(Print.FormatCounter(), 0);
    Print.Clear();
    EXPECT_EQ(Print.GetPagesCount(), 0);
    EXPECT_EQ(Print.SourceView(), nullptr);
}

} // namespace
