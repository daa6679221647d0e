// Random documents and random edits: after each edit the partial re-format
// gives exactly the layout of a full format, and the document and its
// layout stay sound.
#include <gtest/gtest.h>

#include <random>

#include "RVLayoutTestData.h"
#include "richtext/engine/items/RVPictures.h"

namespace {

// Characters of different widths, lines whose height follows the font.
class TVaryingCanvas : public TFixedMetricsCanvas {
protected:
    void DoCharAdvances(std::u16string_view Text, int* Advances) override {
        int size = std::abs(Font()->Height());
        int bold = (Font()->Style() & fsBold) ? 1 : 0;
        for (std::size_t i = 0; i < Text.size(); ++i)
            Advances[i] = (Text[i] == u' ' ? 3 : 4 + Text[i] % 4) + size / 6 + bold;
    }
    TTextMetric DoTextMetrics() override {
        TTextMetric tm;
        int size = std::abs(Font()->Height());
        tm.tmAscent = size;
        tm.tmDescent = size / 3 + 1;
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
        tm.tmExternalLeading = size / 5;
        tm.tmAveCharWidth = 6;
        tm.tmMaxCharWidth = 10;
        return tm;
    }
};

std::unique_ptr<TRVStyle> RandomLayoutStyle() {
    auto style = std::make_unique<TRVStyle>(nullptr);
    TFontInfos& texts = style->TextStyles();
    texts.Clear();
    texts.Add();                 // 0
    texts.Add()->Style = fsBold; // 1
    texts.GetItem(1)->Size = 12;
    texts.Add()->Unicode = true;                        // 2
    texts.Add()->Jump = true;                           // 3
    texts.Add()->SubSuperScriptType = rvsssSuperScript; // 4
    texts.Add()->Size = 16;                             // 5
    texts.GetItem(5)->Unicode = true;
    TParaInfos& paras = style->ParaStyles();
    paras.Clear();
    paras.Add(); // 0
    TParaInfo& justified = *paras.Add();
    justified.Alignment = rvaJustify;
    justified.LeftIndent = 12;
    justified.RightIndent = 8;
    justified.SpaceBefore = 4;
    justified.SpaceAfter = 6;
    TParaInfo& right = *paras.Add();
    right.Alignment = rvaRight;
    right.FirstIndent = -10;
    right.LeftIndent = 20;
    TParaInfo& centred = *paras.Add();
    centred.Alignment = rvaCenter;
    centred.LineSpacing = 150;
    TParaInfo& noWrap = *paras.Add();
    noWrap.Options = rvpaoNoWrap;
    noWrap.LineSpacingType = rvlsSpaceBetween;
    noWrap.LineSpacing = 3;
    TParaInfo& tabs = *paras.Add();
    tabs.FirstIndent = 15;
    for (auto [position, align] : {std::pair{60, rvtaRight}, std::pair{110, rvtaCenter}}) {
        TRVTabInfo& tab = *tabs.Tabs().Add();
        tab.SetPosition(position);
        tab.Align = align;
    }
    TRVListLevel& bullet = *style->ListStyles().Add()->Levels().Add();
    bullet.LeftIndent = 24;
    bullet.FirstIndent = 0;
    bullet.MarkerIndent = 6;
    return style;
}

class TRandomDocument {
public:
    TRandomDocument(TTestFormattedData& AData, uint32_t Seed) : Data(AData), Random(Seed) {}
    TTestFormattedData& Data;
    std::mt19937 Random;

    int Pick(int Count) { return int(Random() % uint32_t(Count)); }
    bool Chance(int Percent) { return Pick(100) < Percent; }

    std::u16string Words(int Count) {
        static const char16_t* const words[] = {u"a",
                                                u"word",
                                                u"of",
                                                u"some",
                                                u"longer",
                                                u"report",
                                                u"motivation",
                                                u"x",
                                                u"  ",
                                                u"level",
                                                u"extraordinarily-long-unbroken-stretch",
                                                u"na\u00ADtion\u00ADal"};
        std::u16string out;
        for (int i = 0; i < Count; ++i) {
            if (i) out += u' ';
            out += words[Pick(12)];
        }
        return out;
    }
    // A text item of a random style, continuing the paragraph or not.
    std::unique_ptr<TCustomRVItemInfo> TextItem(int ParaNo, TRVItemOptions Options, AnsiString& Text) {
        auto item = std::make_unique<TRVTextItemInfo>(&Data);
        item->StyleNo = Pick(6);
        item->ParaNo = ParaNo;
        item->ItemOptions = Options;
        std::u16string words = Words(1 + Pick(9));
        if (Data.Style->TextStyles().GetItem(item->StyleNo)->Unicode) {
            item->ItemOptions |= ioUnicodeText;
            Text = WideToRawUnicode(words);
        } else {
            std::erase(words, u'\u00AD');
            Text = WideToAnsi(words);
        }
        return item;
    }
    std::unique_ptr<TCustomRVItemInfo> OtherItem(int ParaNo) {
        if (Chance(50)) {
            auto tab = std::make_unique<TRVTabItemInfo>(&Data);
            tab->ParaNo = ParaNo;
            tab->ItemOptions = ioContinuesParagraph;
            return tab;
        }
        auto picture = std::make_unique<TRVGraphicItemInfo>(
            &Data, std::make_unique<TRVBitmapImage>(4 + Pick(40), 4 + Pick(30)), TRVVAlign(Pick(5)));
        picture->ParaNo = ParaNo;
        picture->ItemOptions = ioContinuesParagraph;
        return picture;
    }
    void Build() {
        Data.Width = 60 + Pick(240);
        Data.MaxLength = Chance(20) ? 12 + Pick(20) : 0;
        Data.WordWrap = !Chance(10);
        Data.Flags = rvflUseJumps | (Chance(70) ? rvflTrim : 0) | (Chance(30) ? rvflUseExternalLeading : 0);
        Data.LeftMargin = Pick(8);
        Data.TopMargin = Pick(8);
        int paragraphs = 1 + Pick(10);
        for (int p = 0; p < paragraphs; ++p) {
            if (Chance(8)) {
                Data.AddBreak();
                continue;
            }
            int paraNo = Pick(Data.Style->ParaStyles().Count());
            if (Chance(20)) {
                Data.ApplyListMarker(-1, 0, 0, 1, false, paraNo);
                AnsiString text;
                auto item = TextItem(-1, 0, text);
                Data.AddItem(text, std::move(item));
            } else {
                AnsiString text;
                auto item = TextItem(paraNo, 0, text);
                Data.AddItem(text, std::move(item));
            }
            for (int n = Pick(4); n > 0; --n) {
                if (Chance(25)) {
                    Data.AddItem("", OtherItem(-1));
                    continue;
                }
                AnsiString text;
                auto item = TextItem(-1, Chance(15) ? ioLineBreakBefore : ioContinuesParagraph, text);
                Data.AddItem(text, std::move(item));
            }
        }
    }

    // The drawing items that show items First..Last.
    std::pair<int, int> DrawItemsOf(int First, int Last) {
        int from = -1, to = -1;
        for (int i = 0; i < Data.DrawItems.Count(); ++i) {
            int itemNo = Data.DrawItems[i]->ItemNo;
            if (itemNo < First || itemNo > Last) continue;
            if (from < 0) from = i;
            to = i;
        }
        return {from, to};
    }

    // One random edit as the editor would make it; false when it found
    // nothing to do. First/Last are the drawing items of the items around
    // it before the edit; Delta the items it added.
    bool Edit(int& First, int& Last, int& Delta) {
        int count = Data.ItemCount();
        int k = Pick(count);
        const TCustomRVItemInfo& item = Data.LiveItem(k);
        Delta = 0;
        switch (Pick(5)) {
        case 0: { // a character typed or deleted
            if (item.StyleNo < 0) return false;
            std::tie(First, Last) = DrawItemsOf(k, k);
            AnsiString text = Data.GetItemText(k);
            int length = ItemTextLength(text, item.ItemOptions);
            int at = 1 + Pick(length + 1);
            if (length > 0 && Chance(40))
                DeleteCharsAt(text, std::min(at, length), 1, item.ItemOptions);
            else
                InsertCharsAt(item.IsUnicode() ? WideToRawUnicode(Chance(30) ? u" " : u"q")
                                               : AnsiString(Chance(30) ? " " : "q"),
                              text, at, item.ItemOptions);
            Data.ItemList->SetString(k, text);
            return true;
        }
        case 1: { // an item continuing the line after item k
            if (item.GetBoolValue(iqFullLine)) return false;
            std::tie(First, Last) = DrawItemsOf(k, k);
            AnsiString text;
            std::unique_ptr<TCustomRVItemInfo> added;
            if (Chance(30))
                added = OtherItem(item.ParaNo);
            else
                added = TextItem(item.ParaNo, ioContinuesParagraph, text);
            added->ParaNo = item.ParaNo;
            Data.ItemList->InsertObject(k + 1, text, std::move(added));
            Delta = 1;
            return true;
        }
        case 2: { // a new paragraph after item k's
            int end = k;
            while (end + 1 < count && !Data.IsParaStart(end + 1))
                ++end;
            std::tie(First, Last) = DrawItemsOf(end, end);
            AnsiString text;
            auto added = TextItem(Pick(Data.Style->ParaStyles().Count()), 0, text);
            Data.ItemList->InsertObject(end + 1, text, std::move(added));
            Delta = 1;
            return true;
        }
        case 3: { // a text item that continues a paragraph goes
            if (item.StyleNo < 0 || !item.GetContinuesParagraph() ||
                Data.LiveItem(k - 1).StyleNo == rvsListMarker)
                return false;
            std::tie(First, Last) = DrawItemsOf(k - 1, k);
            Data.DeleteItems(k, 1);
            Delta = -1;
            return true;
        }
        default: { // a whole paragraph goes
            int first = Data.GetFirstParaItem(k), last = k;
            while (last + 1 < count && !Data.IsParaStart(last + 1))
                ++last;
            if (first == 0 && last == count - 1) return false;
            std::tie(First, Last) = DrawItemsOf(std::max(first - 1, 0), last);
            Data.DeleteItems(first, last - first + 1);
            Delta = -(last - first + 1);
            return true;
        }
        }
    }
};

struct TLayoutSnapshot {
    std::vector<std::string> Lines;
    int Height = 0;
    std::vector<std::string> Jumps;
    std::vector<int> JumpIDs;
    friend bool operator==(const TLayoutSnapshot&, const TLayoutSnapshot&) = default;
};

TLayoutSnapshot Snapshot(const TTestFormattedData& Data) {
    TLayoutSnapshot s{DrawItemTexts(Data), Data.DocumentHeight, {}, {}};
    for (const auto& jump : Data.Jumps)
        s.Jumps.push_back(std::to_string(jump->JumpNo) + "@" + std::to_string(jump->DrawItemNo) + " " +
                          std::to_string(jump->Left) + "," + std::to_string(jump->Top));
    for (int i = 0; i < Data.ItemCount(); ++i)
        s.JumpIDs.push_back(Data.LiveItem(i).JumpID);
    return s;
}

std::string Describe(const TLayoutSnapshot& S) {
    std::string out = "height " + std::to_string(S.Height) + "\n";
    for (const std::string& line : S.Lines)
        out += "  " + line + "\n";
    for (const std::string& jump : S.Jumps)
        out += "  jump " + jump + "\n";
    return out;
}

// The items as "no: style para options 'text'" lines, for a failure's message.
std::string DescribeItems(const TTestFormattedData& Data) {
    std::string out;
    for (int i = 0; i < Data.ItemCount(); ++i) {
        const TCustomRVItemInfo& item = Data.LiveItem(i);
        AnsiString text = Data.GetItemText(i);
        if (item.IsUnicode()) text = WideToAnsi(RawUnicodeToWide(text));
        out += std::to_string(i) + ": " + std::to_string(item.StyleNo) + " p" + std::to_string(item.ParaNo) +
               " o" + std::to_string(item.ItemOptions) + " '" + text + "'\n";
    }
    return out + "width " + std::to_string(Data.Width) + " flags " + std::to_string(Data.Flags) + " max " +
           std::to_string(Data.MaxLength) + "\n";
}

TEST(RVLayoutPropertyTest, PartialReformattingGivesTheLayoutOfAFullFormat) {
    constexpr int documents = 300, edits = 30;
    int partial = 0;
    for (uint32_t seed = 1; seed <= documents; ++seed) {
        auto style = RandomLayoutStyle();
        TVaryingCanvas canvas;
        TTestFormattedData data(style.get(), &canvas);
        TRandomDocument random(data, seed);
        random.Build();
        data.Format();
        ASSERT_EQ(CheckRVDataInvariants(data), "") << "seed " << seed;
        ASSERT_EQ(CheckFormattedInvariants(data), "") << "seed " << seed << "\n" << DescribeItems(data);
        for (int step = 0; step < edits; ++step) {
            int first = -1, last = -1, delta = 0;
            if (!random.Edit(first, last, delta)) continue;
            ASSERT_EQ(CheckRVDataInvariants(data), "") << "seed " << seed << " step " << step;
            // An edit that changes what the document must be at least as
            // wide as needs a full format, as the editor does it.
            TRVScreenDeviceResolution resolution;
            data.GetDeviceScaling(canvas, resolution);
            int width = std::max(data.Width - data.LeftMargin - data.RightMargin,
                                 data.CalculateMinDocumentWidth(0, &resolution, &canvas));
            if (width != data.DocumentWidth || first < 0) {
                data.Format();
                continue;
            }
            data.FormatParasOfDrawItems(first, last, false, delta);
            ++partial;
            ASSERT_EQ(CheckFormattedInvariants(data), "") << "seed " << seed << " step " << step << "\n"
                                                          << DescribeItems(data) << Describe(Snapshot(data));
            TLayoutSnapshot after = Snapshot(data);
            data.Format();
            TLayoutSnapshot full = Snapshot(data);
            ASSERT_EQ(after, full) << "seed " << seed << " step " << step << "\n"
                                   << DescribeItems(data) << "partial " << Describe(after) << "full "
                                   << Describe(full);
        }
    }
    // Most edits were re-formatted in part.
    EXPECT_GT(partial, documents * edits / 3);
}

} // namespace
