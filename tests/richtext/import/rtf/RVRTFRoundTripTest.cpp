// RTF that the engine's own writer makes from random documents reads back
// as the same document: the checker finds nothing, and item by item the
// text, formatting, paragraphs, lists, pictures, notes, sequences,
// bookmarks and hyperlinks are what they were.
#include <random>

#include "RVRTFTestSupport.h"
#include "richtext/engine/items/RVLabelItem.h"

namespace {

class TRandomDocument {
public:
    explicit TRandomDocument(uint32_t Seed) : FRandom(Seed) {}

    void Build(TRVRTFDocument& Data) {
        TRVStyle& style = *Data.Style;
        style.TextStyles().Clear();
        static const char* const fonts[] = {"Arial", "Times New Roman", "Courier New"};
        for (int i = 0; i < 6; ++i) {
            TFontInfo& t = *style.TextStyles().Add();
            t.FontName = fonts[Pick(3)];
            t.Size = 8 + Pick(10);
            t.Style = TFontStyles(Pick(16));
            if (Pick(3) == 0) t.Color = RGB(Pick(256), Pick(256), Pick(256));
            if (Pick(5) == 0) t.BackColor = RGB(Pick(256), Pick(256), Pick(256));
            if (Pick(6) == 0) t.SubSuperScriptType = TRVSubSuperScriptType(1 + Pick(2));
            if (Pick(6) == 0) t.StyleEx = rvfsAllCaps;
            if (Pick(6) == 0) t.CharScale = 50 + 10 * Pick(10);
            if (i == 4) t.Unicode = true;
            if (i == 5) {
                t.Jump = true;
                t.Style |= fsUnderline;
            }
        }
        style.ParaStyles().Clear();
        for (int i = 0; i < 4; ++i) {
            TParaInfo& p = *style.ParaStyles().Add();
            p.Alignment = TRVAlignment(Pick(4));
            p.LeftIndent = Pick(3) * 12;
            p.RightIndent = Pick(2) * 6;
            p.FirstIndent = Pick(3) * 8;
            p.SpaceBefore = Pick(3) * 4;
            p.SpaceAfter = Pick(3) * 4;
            if (Pick(3) == 0) p.LineSpacing = 150;
            if (Pick(3) == 0) p.Options = rvpaoKeepWithNext;
            if (Pick(4) == 0) p.Background().Color = RGB(200, 220, Pick(256));
            if (Pick(4) == 0) {
                TRVTabInfo& tab = *p.Tabs().Add();
                tab.SetPosition(100 + Pick(100));
                tab.Align = TRVTabAlign(Pick(3));
            }
        }
        TRVListLevel& decimal = *style.ListStyles().Add()->Levels().Add();
        decimal.ListType = rvlstDecimal;
        decimal.FormatString = "%s.";
        decimal.LeftIndent = 36;
        decimal.MarkerIndent = 12;
        decimal.FirstIndent = 0;

        int paragraphs = 1 + Pick(12);
        for (int p = 0; p < paragraphs; ++p)
            AddParagraph(Data, p);
    }

private:
    int Pick(int N) { return int(FRandom() % uint32_t(N)); }

    AnsiString Word() {
        static const char* const words[] = {"Отчёт",    "мотивация",   "Luvora", "шкала",   "тест",
                                            "{braces}", "back\\slash", "ёлка",   "Ивановъ", "end."};
        return Utf8ToAnsi(words[Pick(10)]);
    }

    void AddText(TRVRTFDocument& Data, int ParaNo, bool NewParagraph) {
        int styleNo = Pick(5);
        // Neighbours of one style would be read as one run.
        if (!NewParagraph && Data.ItemCount() > 0 && Data.GetItemStyle(Data.ItemCount() - 1) == styleNo)
            styleNo = (styleNo + 1) % 5;
        AnsiString text = Word();
        if (Pick(2)) text += " " + Word();
        if (styleNo == 4)
            Data.AddWideTextTag(u"αβγ " + RVCodePageToWide(1251, text), styleNo, NewParagraph ? ParaNo : -1,
                                0);
        else
            Data.AddTextItemTag(text, styleNo, NewParagraph ? ParaNo : -1, 0);
    }

    void AddParagraph(TRVRTFDocument& Data, int Index) {
        int paraNo = Pick(4);
        int kind = Pick(10);
        int first = Data.ItemCount();
        if (kind == 0) {
            Data.ApplyListMarker(-1, 0, 0, 1, false, paraNo);
            Data.AddTextItemTag(Word(), 0, -1, 0);
        } else if (kind == 1) {
            auto picture = std::make_unique<TRVGraphicItemInfo>(
                &Data, std::make_unique<TRVBitmapImage>(2 + 2 * Pick(5), 1 + Pick(6)), vaBaseline);
            if (Pick(2)) picture->ImageWidth = picture->Image->Width() * 2;
            picture->ParaNo = paraNo;
            Data.AddItem("", std::move(picture));
        } else if (kind == 2) {
            Data.AddTextItemTag("", 0, paraNo, 0);
        } else {
            if (Pick(5) == 0) Data.AddCheckpoint("mark" + IntToStr(Index), false, 0);
            AddText(Data, paraNo, true);
        }
        if (Index > 0 && Pick(6) == 0) Data.LiveItem(first).SetPageBreakBefore(true);
        int more = kind == 2 ? 0 : Pick(5);
        for (int i = 0; i < more; ++i) {
            switch (Pick(7)) {
            case 0: {
                auto tab = std::make_unique<TRVTabItemInfo>(&Data);
                tab->TextStyleNo = 0;
                tab->ParaNo = -1;
                Data.AddItem("", std::move(tab));
                break;
            }
            case 1: {
                AnsiString target = "http://example.ru/" + IntToStr(Pick(100));
                Data.AddTextItemTag("link", 5, -1, target);
                break;
            }
            case 2: {
                auto seq = std::make_unique<TRVSeqItemInfo>(&Data, "Table", TRVSeqType(Pick(5)), 0, 0, false);
                seq->ParaNo = -1;
                Data.AddItem("", std::move(seq));
                break;
            }
            case 3: {
                auto note = std::make_unique<TRVFootnoteItemInfo>(&Data, 0, 1, false);
                note->ParaNo = -1;
                auto ref = std::make_unique<TRVNoteReferenceItemInfo>(note->Document.get(), 0);
                ref->ParaNo = 0;
                note->Document->AddItem("", std::move(ref));
                note->Document->AddTextItemTag(" " + Word(), 1, -1, 0);
                Data.AddItem("", std::move(note));
                break;
            }
            case 4: {
                // A line break inside the paragraph.
                std::unique_ptr<TCustomRVItemInfo> item = RVTextItemClass.Create(&Data);
                item->StyleNo = Pick(4);
                item->ParaNo = -1;
                item->SetLineBreakBefore(true);
                Data.AddItem(Word(), std::move(item));
                break;
            }
            default:
                AddText(Data, paraNo, false);
                break;
            }
        }
    }

    std::mt19937 FRandom;
};

// Adjacent text items of one look, as the reader gives them back.
struct TRun {
    std::string Kind;
    WideString Text;
    bool ParaStart = false, LineBreak = false, PageBreak = false;
    std::string Look, Para, Extra;
};

std::string TextLook(const TFontInfo& T) {
    return AnsiLowerCase(T.FontName) + "/" + std::to_string(T.Size) + "/" + std::to_string(T.Style) + "/" +
           std::to_string(T.Color) + "/" + std::to_string(T.BackColor) + "/" +
           std::to_string(T.SubSuperScriptType) + "/" + std::to_string(T.StyleEx) + "/" +
           std::to_string(T.CharScale) + "/" + std::to_string(T.Jump) + "/" + std::to_string(T.Charset);
}

// A list paragraph is written with its list level's indents, which it is
// laid out with: its own do not count.
std::string ParaLook(const TParaInfo& P, bool List) {
    std::string look = std::to_string(P.Alignment) + "/" + (List ? "" : std::to_string(P.LeftIndent)) + "/" +
                       std::to_string(P.RightIndent) + "/" + (List ? "" : std::to_string(P.FirstIndent)) +
                       "/" + std::to_string(P.SpaceBefore) + "/" + std::to_string(P.SpaceAfter) + "/" +
                       std::to_string(P.LineSpacing) + "/" + std::to_string(P.Options) + "/" +
                       std::to_string(P.Background().Color);
    for (int i = 0; i < P.Tabs().Count(); ++i)
        look += "/tab" + std::to_string(P.Tabs()[i]->Position()) + "," + std::to_string(P.Tabs()[i]->Align);
    return look;
}

std::vector<TRun> Runs(const TCustomRVData& Data);

std::string NoteText(const TCustomRVData& Data) {
    std::string out;
    for (const TRun& r : Runs(Data))
        out += r.Kind + ":" + WideToUtf8(r.Text) + "[" + r.Look + "];";
    return out;
}

std::vector<TRun> Runs(const TCustomRVData& Data) {
    TRVStyle& style = *Data.GetRVStyle();
    std::vector<TRun> runs;
    for (int i = 0; i < Data.ItemCount(); ++i) {
        const TCustomRVItemInfo& item = *Data.GetItem(i);
        TRun run;
        run.ParaStart = item.StartsParagraph();
        run.LineBreak = item.GetLineBreakBefore();
        run.PageBreak = item.GetPageBreakBefore();
        if (run.ParaStart)
            run.Para = ParaLook(*style.ParaStyles()[item.ParaNo], item.StyleNo == rvsListMarker);
        if (item.Checkpoint) run.Extra += "#" + item.Checkpoint->Name;
        if (item.StyleNo >= 0) {
            run.Kind = "text";
            run.Text = RVCodePageToWide(0, "");
            run.Text = item.IsUnicode()
                           ? RawUnicodeToWide(Data.GetItemText(i))
                           : RVCodePageToWide(unsigned(Data.GetStyleCodePage(Data.GetItemStyle(i))),
                                              Data.GetItemText(i));
            run.Look = TextLook(*style.TextStyles()[Data.GetItemStyle(i)]);
            if (const auto* tag = std::get_if<AnsiString>(&item.Tag)) run.Extra += "->" + *tag;
            // A continuing run of the same look and link joins the last one.
            if (!runs.empty() && !run.ParaStart && !run.LineBreak && runs.back().Kind == "text" &&
                runs.back().Look == run.Look && run.Extra.empty() &&
                runs.back().Extra.find("->") == std::string::npos) {
                runs.back().Text += run.Text;
                continue;
            }
        } else if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) {
            run.Kind = "marker";
            run.Extra += AnsiToUtf8(marker->DisplayString);
            const TRVListLevel* level = marker->GetLevelInfo(&style);
            if (level)
                run.Look = std::to_string(level->ListType) + "/" + level->FormatString + "/" +
                           std::to_string(level->LeftIndent) + "/" + std::to_string(level->MarkerIndent);
        } else if (auto* note = dynamic_cast<const TCustomRVNoteItemInfo*>(&item)) {
            run.Kind = "note";
            run.Extra += NoteText(*note->Document);
        } else if (dynamic_cast<const TRVNoteReferenceItemInfo*>(&item)) {
            run.Kind = "ref";
        } else if (auto* seq = dynamic_cast<const TRVSeqItemInfo*>(&item)) {
            run.Kind = "seq";
            run.Extra += seq->SeqName + "/" + std::to_string(seq->GetNumberType()) + "/" + seq->Text;
        } else if (auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
            run.Kind = "picture";
            run.Look = std::to_string(picture->Image->Width()) + "x" +
                       std::to_string(picture->Image->Height()) + " shown " +
                       std::to_string(picture->ImageWidth) + "x" + std::to_string(picture->ImageHeight);
        } else if (item.StyleNo == rvsTab) {
            run.Kind = "tab";
        } else {
            run.Kind = "item" + std::to_string(item.StyleNo);
        }
        runs.push_back(run);
    }
    return runs;
}

TEST(RVRTFRoundTripTest, TheWritersRtfReadsBackAsTheSameDocument) {
    for (uint32_t seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TRVRTFDocument source;
        TRandomDocument(seed).Build(source);
        ASSERT_EQ(CheckRTFDocumentInvariants(source), "");
        TRVMemoryStream stream;
        ASSERT_TRUE(source.SaveRtf(stream, "", false, 0, clWindow, nullptr, true));
        std::string rtf(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
        TRVRTFReadResult read = ReadChecked(rtf);
        ASSERT_EQ(read.Code, rtf_ec_OK);
        std::vector<TRun> expected = Runs(source), actual = Runs(*read.Document);
        ASSERT_EQ(actual.size(), expected.size()) << Summary(source) << "\n" << Summary(*read.Document);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("run " + std::to_string(i) + " of " + Summary(source));
            EXPECT_EQ(actual[i].Kind, expected[i].Kind);
            EXPECT_EQ(WideToUtf8(actual[i].Text), WideToUtf8(expected[i].Text));
            EXPECT_EQ(actual[i].ParaStart, expected[i].ParaStart);
            EXPECT_EQ(actual[i].LineBreak, expected[i].LineBreak);
            EXPECT_EQ(actual[i].PageBreak, expected[i].PageBreak);
            EXPECT_EQ(actual[i].Look, expected[i].Look);
            EXPECT_EQ(actual[i].Para, expected[i].Para);
            EXPECT_EQ(actual[i].Extra, expected[i].Extra);
        }
        if (HasFailure()) break;
    }
}

} // namespace
