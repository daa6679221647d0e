// Text, paragraph and list styles, borders, the style sheet and its CSS, HTML and RTF.
#include <gtest/gtest.h>

#include "platform/rtl/StringLists.h"
#include "platform/testing/TestCanvases.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

// A style sheet owned by the test, with the default styles.
class RVStyleTest : public ::testing::Test {
protected:
    std::unique_ptr<TRVStyle> FStyle = std::make_unique<TRVStyle>(nullptr);
    TFontInfos& Texts() { return FStyle->TextStyles(); }
    TParaInfos& Paras() { return FStyle->ParaStyles(); }
};

TEST_F(RVStyleTest, NewStyleSheetHasSixTextAndTwoParagraphStyles) {
    struct Case {
        const char* Name;
        TFontStyles Style;
        TColor Color;
        bool Jump;
    } cases[] = {{"Normal text", 0, clWindowText, false}, {"Heading", fsBold, clBlue, false},
                 {"Subheading", fsBold, clNavy, false},   {"Keywords", fsItalic, clMaroon, false},
                 {"Jump 1", fsUnderline, clGreen, true},  {"Jump 2", fsUnderline, clGreen, true}};
    ASSERT_EQ(Texts().Count(), 6);
    for (int i = 0; i < 6; ++i) {
        TFontInfo& s = *Texts().GetItem(i);
        EXPECT_EQ(s.StyleName, cases[i].Name);
        EXPECT_EQ(s.Style, cases[i].Style) << i;
        EXPECT_EQ(s.Color, cases[i].Color) << i;
        EXPECT_EQ(s.Jump, cases[i].Jump) << i;
        EXPECT_EQ(s.FontName, "Arial");
        EXPECT_EQ(s.Size, 10);
        EXPECT_EQ(s.JumpCursor, 101);
        EXPECT_TRUE(s.Standard);
    }
    ASSERT_EQ(Paras().Count(), 2);
    EXPECT_EQ(Paras().GetItem(0)->StyleName, "Paragraph Style");
    EXPECT_EQ(Paras().GetItem(0)->Alignment, rvaLeft);
    EXPECT_EQ(Paras().GetItem(1)->StyleName, "Centered");
    EXPECT_EQ(Paras().GetItem(1)->Alignment, rvaCenter);
    EXPECT_EQ(FStyle->ListStyles().Count(), 0);
    TStringList names;
    Texts().AssignTo(&names);
    EXPECT_EQ(names.Count(), 6);
    EXPECT_EQ(names[5], "Jump 2");
}

TEST_F(RVStyleTest, BadStyleNumbersGiveFallbackStyles) {
    Texts().GetItem(0)->FontName = "Courier New";
    TFontInfo* fallback = Texts().GetItem(6);
    EXPECT_EQ(fallback, Texts().GetItem(-1));
    EXPECT_EQ(fallback->Collection(), nullptr);
    EXPECT_EQ(fallback->FontName, "Courier New");
    EXPECT_EQ(fallback->Color, clWhite);
    EXPECT_EQ(fallback->BackColor, clRed);

    TRVStyle empty(nullptr);
    empty.TextStyles().Clear();
    TFontInfo* bare = empty.TextStyles().GetItem(0);
    EXPECT_EQ(bare->FontName, "Arial");
    EXPECT_EQ(bare->Color, clWhite);

    TParaInfo* para = Paras().GetItem(7);
    EXPECT_EQ(para->Border().Color, clRed);
    EXPECT_EQ(para->Border().Style, rvbSingle);
    EXPECT_EQ(para->Border().Width, 2);
    EXPECT_EQ(para->Border().BorderOffsets().Top, 1);
    EXPECT_EQ(para->SpaceBefore + para->SpaceAfter + para->LeftIndent + para->RightIndent, 4);

    TFontInfos orphan(nullptr);
    EXPECT_THROW(orphan.GetItem(0), EConvertError);
}

TEST_F(RVStyleTest, TextStyleComparisons) {
    TFontInfo a(nullptr), b(nullptr);
    b.HoverColor = clRed;
    EXPECT_TRUE(a.SameAs(b, false, false));
    a.Jump = b.Jump = true;
    EXPECT_FALSE(a.SameAs(b, false, false));
    b.HoverColor = clNone;
    b.FontName = "ARIAL";
    EXPECT_TRUE(a.SameAs(b, false, false));
    EXPECT_TRUE(a.SameExcept(b, 0));
    b.Style = fsBold;
    EXPECT_FALSE(a.SameExcept(b, 0));
    EXPECT_TRUE(a.SameExcept(b, RVFontProp(rvfiBold)));
    b.NextStyleNo = 3;
    EXPECT_FALSE(a.SameExcept(b, RVFontProp(rvfiBold)));
    EXPECT_TRUE(a.SameExcept(b, RVFontProp(rvfiBold) | RVFontProp(rvfiNextStyleNo)));
    b.Style = 0;
    EXPECT_FALSE(a.SameAs(b, false, false));
    EXPECT_TRUE(a.SameAs(b, true, false));
    b.StyleName = "other";
    CompareStyleNames = true;
    EXPECT_FALSE(a.SameAs(b, true, false));
    CompareStyleNames = false;
}

TEST_F(RVStyleTest, AssignFromAFontKeepsHypertext) {
    TFontInfo style(nullptr);
    style.Jump = true;
    style.BackColor = clYellow;
    style.StyleName = "Link";
    TFont font;
    font.SetName("Times New Roman");
    font.SetSize(14);
    font.SetStyle(fsItalic);
    font.SetColor(clRed);
    style.Assign(&font);
    EXPECT_EQ(style.FontName, "Times New Roman");
    EXPECT_EQ(style.Size, 14);
    EXPECT_EQ(style.Style, TFontStyles(fsItalic));
    EXPECT_EQ(style.Color, clRed);
    EXPECT_TRUE(style.Jump);
    EXPECT_EQ(style.BackColor, clYellow);
    EXPECT_EQ(style.StyleName, "Link");
    TFont back;
    style.AssignTo(&back);
    EXPECT_EQ(back.Name(), "Times New Roman");
    TParaInfo para(nullptr);
    EXPECT_THROW(para.Assign(&font), EConvertError);
}

TEST_F(RVStyleTest, CopyPropertiesCopiesOnlyTheMask) {
    TFontInfo source(nullptr), target(nullptr);
    source.Style = fsBold | fsItalic;
    source.StyleEx = rvfsAllCaps;
    source.Size = 20;
    source.NextStyleNo = 4;
    target.CopyProperties(source,
                          RVFontProp(rvfiBold) | RVFontProp(rvfiAllCaps) | RVFontProp(rvfiNextStyleNo));
    EXPECT_EQ(target.Style, TFontStyles(fsBold));
    EXPECT_EQ(target.StyleEx, TRVFontStyles(rvfsAllCaps));
    EXPECT_EQ(target.Size, 10);
    EXPECT_EQ(target.NextStyleNo, -1);
}

TEST_F(RVStyleTest, MatchingStyles) {
    TFontInfo wanted(nullptr);
    wanted.Assign(Texts().GetItem(5));
    EXPECT_EQ(Texts().FindMatchingStyle(5, wanted, AllTextStyleProperties), 5);
    EXPECT_EQ(Texts().FindMatchingStyle(0, wanted, AllTextStyleProperties), 4); // the first equal one
    wanted.Size = 30;
    EXPECT_EQ(Texts().FindMatchingStyle(4, wanted, AllTextStyleProperties), -1);
    EXPECT_EQ(Texts().FindMatchingStyle(4, wanted, AllTextStyleProperties & ~RVFontProp(rvfiSize)), 4);

    TFontInfo* cyrillic = Texts().Add();
    cyrillic->Assign(Texts().GetItem(1));
    cyrillic->Charset = 204;
    EXPECT_EQ(Texts().FindStyleWithCharset(1, 204), 6);
    EXPECT_EQ(Texts().FindStyleWithCharset(1, 1), 1);
    EXPECT_EQ(Texts().FindStyleWithCharset(2, 204), -1);
    cyrillic->Unicode = true;
    EXPECT_EQ(Texts().FindStyleWithCharset(1, 204), -1);
}

TEST_F(RVStyleTest, LikenessPrefersTheCloserStyle) {
    TFontInfo target(nullptr), near(nullptr), far(nullptr);
    near.Size = 11;
    far.Size = 10;
    far.Style = fsBold;
    EXPECT_GT(target.Likeness(near), target.Likeness(far));
    TFontInfo same(nullptr);
    // Size 10000, VShift 1000, scale 300, spacing 1000, colours 3000 and
    // 3 x 10000 + 50000, direction, script, name, four styles, two extras,
    // "no styles", two options, charset.
    EXPECT_EQ(target.Likeness(same), 10000 + 1000 + 300 + 1000 + 3000 + 80000 + 10000 + 50000 + 10000 +
                                         200000 + 100000 + 50000 + 100000 + 50000);
    same.Protection = rvprModifyProtect;
    same.Charset = 204;
    EXPECT_EQ(target.Likeness(same), 665300 - 100000 - 50000 + 12500);
}

TEST_F(RVStyleTest, SameAsMappedTranslatesReferences) {
    TFontInfo self(nullptr), incoming(nullptr);
    self.NextStyleNo = 2;
    incoming.NextStyleNo = 0;
    TRVIntegerList mapping;
    mapping.Add(2);
    EXPECT_TRUE(self.SameAsMapped(incoming, mapping));
    mapping.SetItem(0, 1);
    EXPECT_FALSE(self.SameAsMapped(incoming, mapping));
    incoming.NextStyleNo = 5; // not mapped yet
    EXPECT_TRUE(self.SameAsMapped(incoming, mapping));
    EXPECT_EQ(incoming.NextStyleNo, -1);
}

TEST_F(RVStyleTest, MergingTextStylesInEachMode) {
    TRVStyle other(nullptr);
    TRVIntegerList mapping;
    // The same styles map onto themselves and add nothing.
    Texts().MergeStyles(other.TextStyles(), rvsmmMerge, mapping, nullptr);
    EXPECT_EQ(Texts().Count(), 6);
    EXPECT_EQ(mapping.Values(), (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));

    // A new style is appended, loses Standard and has its references
    // translated.
    TFontInfo* extra = other.TextStyles().Add();
    extra->Size = 30;
    extra->NextStyleNo = 6;
    extra->BaseStyleNo = 1;
    TFontInfo* reversed = other.TextStyles().GetItem(0);
    reversed->Style = fsBold;
    reversed->Color = clBlue; // now equal to "Heading"
    Texts().MergeStyles(other.TextStyles(), rvsmmMerge, mapping, nullptr);
    EXPECT_EQ(mapping.Values(), (std::vector<int32_t>{1, 1, 2, 3, 4, 5, 6}));
    ASSERT_EQ(Texts().Count(), 7);
    EXPECT_FALSE(Texts().GetItem(6)->Standard);
    EXPECT_EQ(Texts().GetItem(6)->NextStyleNo, 6);
    EXPECT_EQ(Texts().GetItem(6)->BaseStyleNo, 1);

    // Mapping never adds; it picks the closest of the same kind.
    TRVStyle target(nullptr);
    TRVIntegerList map;
    target.TextStyles().MergeStyles(other.TextStyles(), rvsmmMap, map, nullptr);
    EXPECT_EQ(target.TextStyles().Count(), 6);
    EXPECT_EQ(map.Values(), (std::vector<int32_t>{1, 1, 2, 3, 4, 4, 0}));

    // Appending adds everything and translates through the new numbers.
    target.TextStyles().MergeStyles(other.TextStyles(), rvsmmAppend, map, nullptr);
    EXPECT_EQ(target.TextStyles().Count(), 13);
    EXPECT_EQ(map.GetItem(6), 12);
    EXPECT_EQ(target.TextStyles().GetItem(12)->NextStyleNo, 12);
    EXPECT_EQ(target.TextStyles().GetItem(12)->BaseStyleNo, 7);
}

TEST_F(RVStyleTest, MappingPrefersTheSameKindOfText) {
    TRVStyle source(nullptr);
    source.TextStyles().Clear();
    TFontInfo* link = source.TextStyles().Add();
    link->Jump = true; // plain otherwise: closest by look is "Normal text"
    TFontInfo* uni = source.TextStyles().Add();
    uni->Unicode = true;
    Texts().GetItem(3)->Unicode = true;
    TRVIntegerList map;
    Texts().MergeStyles(source.TextStyles(), rvsmmMap, map, nullptr);
    EXPECT_EQ(map.Values(), (std::vector<int32_t>{4, 3}));
    TRVStyle empty(nullptr);
    empty.TextStyles().Clear();
    empty.TextStyles().MergeStyles(source.TextStyles(), rvsmmMap, map, nullptr);
    EXPECT_EQ(map.Values(), (std::vector<int32_t>{-1, -1}));
}

TEST_F(RVStyleTest, MergingParagraphStylesTranslatesDefaultTextStyles) {
    TRVStyle source(nullptr);
    TParaInfo* para = source.ParaStyles().Add();
    para->LeftIndent = 40;
    para->DefStyleNo = 2;
    para->NextParaNo = 0;
    TRVIntegerList textMapping, mapping;
    for (int v : {5, 4, 3})
        textMapping.Add(v);
    Paras().MergeStyles(source.ParaStyles(), rvsmmMerge, mapping, &textMapping);
    EXPECT_EQ(mapping.Values(), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(Paras().GetItem(2)->DefStyleNo, 3);
    EXPECT_EQ(Paras().GetItem(2)->NextParaNo, 0);

    para->DefStyleNo = 7; // beyond the text mapping
    TRVStyle target(nullptr);
    EXPECT_THROW(target.ParaStyles().MergeStyles(source.ParaStyles(), rvsmmAppend, mapping, &textMapping),
                 EListError);
    EXPECT_EQ(target.ParaStyles().Count(), 5); // what was added stays
}

TEST_F(RVStyleTest, MergingListStylesKeepsNumberedListsApart) {
    TRVStyle source(nullptr);
    for (int i = 0; i < 2; ++i) {
        TRVListInfo* list = source.ListStyles().Add();
        list->Levels().Add()->ListType = rvlstDecimal;
        list->SetListID(77);
    }
    TRVListInfo* existing = FStyle->ListStyles().Add();
    existing->Levels().Add()->ListType = rvlstDecimal;
    existing->SetListID(77);
    TRVIntegerList mapping;
    FStyle->ListStyles().MergeStyles(source.ListStyles(), rvsmmMerge, mapping, nullptr);
    // Both equal the existing list, but one numbered list claims it.
    EXPECT_EQ(mapping.Values(), (std::vector<int32_t>{0, 1}));
    ASSERT_EQ(FStyle->ListStyles().Count(), 2);
    EXPECT_EQ(FStyle->ListStyles().GetItem(1)->ListID(), 77);
}

TEST_F(RVStyleTest, ParagraphStyleComparisons) {
    TParaInfo a(nullptr), b(nullptr);
    b.Options = rvpaoWidowOrphanControl;
    EXPECT_FALSE(a.SameAs(b, false, false));
    EXPECT_TRUE(a.SameExcept(b, 0));
    b.Options = 0;
    b.Tabs().Add()->SetPosition(10);
    EXPECT_FALSE(a.SameAs(b, false, false));
    EXPECT_FALSE(a.SameExcept(b, 0));
    EXPECT_TRUE(a.SameExcept(b, RVParaProp(rvpiTabs)));
    b.Tabs().Clear();
    b.Border().VisibleBorders().Left = false;
    EXPECT_FALSE(a.SameExcept(b, 0));
    EXPECT_TRUE(a.SameExcept(b, RVParaProp(rvpiBorder_Vis_Left)));

    TParaInfo percent(nullptr), between(nullptr);
    between.LineSpacingType = rvlsSpaceBetween;
    between.LineSpacing = 0;
    TParaInfo reference(nullptr);
    int base = reference.Likeness(between);
    percent.LineSpacing = 150;
    EXPECT_EQ(percent.Likeness(between), base - 20000);
    EXPECT_EQ(reference.Likeness(reference), base + NumberSimilarity(100, 100, 5000));

    TFontInfo text(nullptr);
    text.StyleName = "Text";
    text.Standard = false;
    TParaInfo target(nullptr);
    target.LeftIndent = 9;
    target.Assign(&text);
    EXPECT_EQ(target.StyleName, "Text");
    EXPECT_FALSE(target.Standard);
    EXPECT_EQ(target.LeftIndent, 9);
}

TEST_F(RVStyleTest, ParagraphMatching) {
    EXPECT_EQ(Paras().FindStyleWithAlignment(1, rvaCenter), 1);
    EXPECT_EQ(Paras().FindStyleWithAlignment(1, rvaLeft), 0);
    EXPECT_EQ(Paras().FindStyleWithAlignment(0, rvaRight), -1);
    TParaInfo copy(nullptr);
    copy.Assign(Paras().GetItem(1));
    EXPECT_EQ(Paras().FindMatchingStyle(0, copy, AllParaStyleProperties), 1);
    TParaInfo scratch(nullptr);
    scratch.CopyProperties(*Paras().GetItem(1), RVParaProp(rvpiAlignment));
    EXPECT_EQ(scratch.Alignment, rvaCenter);
}

TEST(RVBordersTest, WidthsAndDrawing) {
    TRVBorder border;
    EXPECT_EQ(border.GetTotalWidth(), 0);
    TRecordingCanvas none;
    border.DrawUnscaled(TRect{10, 10, 50, 30}, none);
    EXPECT_TRUE(none.Log.empty());

    border.Style = rvbDouble;
    border.Color = clRed;
    EXPECT_EQ(border.GetTotalWidth(), 3);
    TRecordingCanvas canvas;
    border.DrawUnscaled(TRect{10, 10, 50, 30}, canvas);
    ASSERT_EQ(canvas.Log.size(), 16u);
    EXPECT_EQ(canvas.Log[0], "Line 10,10-50,10 pen=0000FF");
    EXPECT_EQ(canvas.Log[8], "Line 8,8-52,8 pen=0000FF"); // two pixels further out

    border.Style = rvbThickOutside;
    border.VisibleBorders().SetValues(false, true, false, false);
    TRecordingCanvas thick;
    border.DrawUnscaled(TRect{10, 10, 50, 30}, thick);
    ASSERT_EQ(thick.Log.size(), 4u);
    EXPECT_EQ(thick.Log[2], "Line 8,8-53,8 pen=0000FF"); // one more pixel right

    struct Case {
        TRVBorderStyle Style;
        int Total;
    } totals[] = {{rvbSingle, 2}, {rvbTriple, 8}, {rvbThickInside, 7}};
    border.Width = 2;
    border.InternalWidth = 1;
    for (const Case& c : totals) {
        border.Style = c.Style;
        EXPECT_EQ(border.GetTotalWidth(), c.Total);
    }

    TRVBackgroundRect back;
    back.Color = clYellow;
    TRecordingCanvas bw;
    back.Draw(TRect{0, 0, 4, 4}, bw, rvcmBlackOnWhite);
    EXPECT_TRUE(bw.Log.empty());
    back.Draw(TRect{0, 0, 4, 4}, bw, rvcmColor);
    EXPECT_EQ(bw.Log, (std::vector<AnsiString>{"Fill 0,0-5,5 brush=00FFFF"}));
}

TEST(RVBordersTest, LikenessOfBordersAndBackgrounds) {
    TRVBorder a, b;
    EXPECT_EQ(a.Likeness(b), 80000); // no side present in either
    a.Style = b.Style = rvbSingle;
    // Four sides present in both: (3000 + 1000 + 1000 + 1000) x 4 + 4 x 100.
    EXPECT_EQ(a.Likeness(b), 24400);
    b.VisibleBorders().Top = false;
    EXPECT_EQ(a.Likeness(b), 18000 + 300 - 20000);
    TRVBackgroundRect x, y;
    EXPECT_EQ(x.Likeness(y), 80000 + 400);
}

TEST(RVBordersTest, TabsStaySorted) {
    TParaInfo para(nullptr);
    TRVTabInfos& tabs = para.Tabs();
    for (int p : {10, 30, 50})
        tabs.Add()->SetPosition(p);
    TRVTabInfo* last = tabs[2];
    last->SetPosition(20);
    EXPECT_EQ(tabs[1], last);
    EXPECT_EQ(tabs[2]->Position(), 30);
    last->Align = rvtaCenter;
    last->Leader = ".";
    EXPECT_EQ(last->DisplayName(), "center at 20 (......)");
    EXPECT_EQ(tabs[0]->DisplayName(), "left at 10");
    EXPECT_THROW(tabs.GetItem(3), EListError);

    TParaInfo other(nullptr);
    other.Tabs().Add()->SetPosition(10);
    other.Tabs().Add()->SetPosition(20);
    EXPECT_FALSE(tabs.IsEqual(other.Tabs()));
    // Common prefix: 200 + 100 + 50 for the first, 200 for the second
    // (alignment and leader differ).
    EXPECT_EQ(tabs.Likeness(other.Tabs()), 350 + 200 + 800 * 2 - 400 * 3 - 400 * 2);
}

TEST(RVListInfoTest, NewLevelsAndComparisons) {
    TRVStyle style(nullptr);
    TRVListInfo* list = style.ListStyles().Add();
    TRVListLevel* level = list->Levels().Add();
    EXPECT_EQ(level->FormatString, "\xB7");
    EXPECT_FALSE(level->HasOwnFont());
    EXPECT_EQ(level->Font().Name(), "Arial");
    EXPECT_EQ(level->Font().Size(), 8);
    EXPECT_EQ(level->FirstIndent, 10);
    EXPECT_EQ(level->Options, rvloContinuous | rvloLevelReset);
    EXPECT_EQ(level->DisplayName(), "bullet 0/0/10");

    TRVListLevelCollection levels(nullptr);
    TRVListLevel* copy = levels.Add();
    copy->Assign(level);
    EXPECT_TRUE(level->SameAs(*copy));
    EXPECT_EQ(level->Likeness(*copy), 6300);
    copy->StartFrom = 5; // ignored for bullets
    EXPECT_TRUE(level->SameAs(*copy));
    copy->FirstIndent = 20;
    EXPECT_EQ(level->Likeness(*copy), 6000);
    copy->StartFrom = 1;
    EXPECT_EQ(level->Likeness(*copy), 6100);
    copy->FirstIndent = 10;
    copy->SetFont(nullptr);
    EXPECT_TRUE(level->SameAs(*copy)); // no font and the default font are alike
    TFont bold;
    bold.SetStyle(fsBold);
    copy->SetFont(&bold);
    EXPECT_FALSE(level->SameAs(*copy));

    int id = list->ListID();
    EXPECT_NE(id, 0);
    EXPECT_EQ(list->ListID(), id);
}

TEST(RVListInfoTest, LevelsOfAListStyle) {
    TRVListInfo list(nullptr);
    EXPECT_EQ(list.GetLevelInfo(0), nullptr); // a list without a level
    EXPECT_FALSE(list.HasCounter());
    list.Levels().Add()->ListType = rvlstPicture;
    list.Levels().Add()->ListType = rvlstLowerRoman;
    EXPECT_EQ(list.GetLevelInfo(5), list.Levels()[1]);
    EXPECT_EQ(list.GetLevelInfo(-1), list.Levels()[0]);
    EXPECT_TRUE(list.HasCounter());
    EXPECT_TRUE(list.HasTextCounter());
    TRVListInfo other(nullptr);
    other.Levels().Add()->ListType = rvlstPicture;
    EXPECT_FALSE(list.SameAs(other, false, true));
    // Ids differ (50 lost), previews agree (100), one pair of levels, one
    // level more (-100).
    EXPECT_EQ(list.Likeness(other), 100 + 6300 - 100);
}

TEST(RVListInfoTest, HtmlOfLevels) {
    TRVListLevelCollection levels(nullptr);
    TRVListLevel* first = levels.Add();
    first->ListType = rvlstDecimal;
    first->LeftIndent = 24;
    first->FirstIndent = 0;
    TRVMemoryStream stream;
    first->HTMLOpenTag(stream, true);
    first->HTMLCloseTag(stream);
    TRVListLevel* second = levels.Add();
    second->ListType = rvlstUpperRoman;
    second->LeftIndent = 48;
    second->MarkerIndent = 60;
    second->HTMLOpenTag(stream, true);
    TRVListLevel* bullet = levels.Add();
    bullet->HTMLOpenTag(stream, false);
    EXPECT_EQ(AnsiString(reinterpret_cast<char*>(stream.Memory()), std::size_t(stream.Size())),
              "<ol style=\"text-indent: 0px; margin-left: 24px; list-style-position: outside;\"></ol>"
              "<ol type=\"I\" style=\"text-indent: 12px; margin-left: 24px; list-style-position: inside;\">"
              "<ul>");
    EXPECT_EQ(first->GetIndentCSS(), "text-indent: -24px; padding-left: 24px; margin-left: 0px;");
    EXPECT_EQ(second->GetIndentCSS(), "text-indent: 12px; margin-left: 48px;");
}

TEST(RVListInfoTest, MarkerPatternsNeverFail) {
    std::vector<AnsiString> counters{"2", "3", "c"};
    struct Case {
        AnsiString Pattern, Text;
    } cases[] = {
        {"%0:s.%1:s.", "2.3."}, {"%s)", "2)"},    {"%1:s-%s", "3-c"},
        {"100%%", "100%"},      {"%8:s|", "|"},   {"%d.", "%d."},
        {"%9:s", "%9:s"},       {"%", "%"},       {"%2000000000s", "%2000000000s"},
        {"a%-5s", "a%-5s"},     {"\xB7", "\xB7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatMarkerPattern(c.Pattern, counters), c.Text) << c.Pattern;
    TRVListLevelCollection levels(nullptr);
    TRVListLevel* bullet = levels.Add();
    bullet->FormatString = "*%0:s*";
    EXPECT_EQ(bullet->FormatMarker(counters), "**");
    bullet->ListType = rvlstDecimal;
    EXPECT_EQ(bullet->FormatMarker(counters), "*2*");
}

TEST_F(RVStyleTest, HoverSensitivity) {
    EXPECT_FALSE(FStyle->GetHoverSensitive(4));
    Texts().GetItem(4)->HoverUnderlineColor = clRed;
    EXPECT_TRUE(FStyle->GetHoverSensitive(4));
    FStyle->HoverColor = clRed;
    EXPECT_TRUE(FStyle->GetHoverSensitive(0));
    EXPECT_EQ(FStyle->GetHoverColor(0), clRed);
    FStyle->OnStyleHoverSensitive = [](TRVStyle*, int, bool& Sensitive) { Sensitive = false; };
    EXPECT_FALSE(FStyle->GetHoverSensitive(0));
}

TEST_F(RVStyleTest, NextTabPositions) {
    TRVScreenDeviceResolution screen{96, 96, 96, 96, 10, 0};
    struct Case {
        const char* What;
        bool HasTab;
        int DefTabWidth, X, LeftIndent, RightIndent;
        TRVBiDiMode BiDi;
        int Position;
        TRVTabAlign Align;
        AnsiString Leader;
    } cases[] = {
        {"default stops", false, 48, 10 + 50, 0, 0, rvbdUnspecified, 10 + 96, rvtaLeft, ""},
        {"zero width acts as one", false, 0, 10 + 50, 0, 0, rvbdUnspecified, 10 + 51, rvtaLeft, ""},
        {"negative width acts as one", false, -5, 10 + 0, 0, 0, rvbdUnspecified, 10 + 1, rvtaLeft, ""},
        {"before the indent of a hanging line", true, 48, 10 + 5, 40, 0, rvbdUnspecified, 10 + 40, rvtaLeft,
         ""},
        {"a tab stop", true, 48, 10 + 70, 40, 0, rvbdUnspecified, 10 + 100, rvtaRight, "-"},
        {"past the last stop", true, 48, 10 + 150, 40, 0, rvbdUnspecified, 10 + 192, rvtaLeft, ""},
        {"before the indent, no stops", false, 48, 10 + 5, 40, 0, rvbdUnspecified, 10 + 40, rvtaLeft, ""},
        {"right to left", false, 48, 10 + 5, 30, 40, rvbdRightToLeft, 30 + 10 + 40 - 40, rvtaLeft, ""},
    };
    TParaInfo* para = Paras().GetItem(0);
    for (const Case& c : cases) {
        para->Tabs().Clear();
        if (c.HasTab) {
            TRVTabInfo* tab = para->Tabs().Add();
            tab->SetPosition(100);
            tab->Align = rvtaRight;
            tab->Leader = "-";
        }
        FStyle->DefTabWidth = c.DefTabWidth;
        int position = -1;
        AnsiString leader = "x";
        TRVTabAlign align = rvtaCenter;
        FStyle->GetNextTab(0, c.X, screen, position, leader, align, c.BiDi, c.LeftIndent, c.RightIndent);
        EXPECT_EQ(position, c.Position) << c.What;
        EXPECT_EQ(align, c.Align) << c.What;
        EXPECT_EQ(leader, c.Leader) << c.What;
    }
    // A device scale that rounds the default width to nothing still steps.
    para->Tabs().Clear();
    TRVScreenDeviceResolution tiny{96, 96, 10, 10, 0, 0};
    FStyle->DefTabWidth = 1;
    int position = 0;
    AnsiString leader;
    TRVTabAlign align;
    FStyle->GetNextTab(0, 7, tiny, position, leader, align, rvbdUnspecified, 0, 0);
    EXPECT_EQ(position, 8);
}

TEST_F(RVStyleTest, DrawingEntryPoints) {
    TRecordingCanvas canvas;
    FStyle->ApplyStyle(canvas, 1, rvbdUnspecified, false, nullptr, false);
    EXPECT_EQ(canvas.Font()->Name(), "Arial");
    EXPECT_EQ(canvas.Font()->Style(), TFontStyles(fsBold));
    struct Case {
        TColor Text, Back;
        TRVColorMode Mode;
        TColor Font, Brush;
        TBrushStyle BrushStyle;
    } cases[] = {
        {clNavy, clYellow, rvcmBlackAndWhite, clBlack, clWhite, TBrushStyle::bsSolid},
        {clYellow, clNavy, rvcmBlackAndWhite, clWhite, clBlack, TBrushStyle::bsSolid},
        {clWhite, clNone, rvcmBlackAndWhite, clWhite, 0, TBrushStyle::bsClear},
        {clBlue, clYellow, rvcmBlackOnWhite, clBlack, 0, TBrushStyle::bsClear},
        {clBtnFace, clNone, rvcmPrinterColor, clSilver, 0, TBrushStyle::bsClear},
    };
    for (const Case& c : cases) {
        Texts().GetItem(0)->Color = c.Text;
        Texts().GetItem(0)->BackColor = c.Back;
        FStyle->ApplyStyleColor(canvas, 0, 0, true, c.Mode);
        EXPECT_EQ(canvas.Font()->Color(), c.Font) << c.Mode;
        EXPECT_EQ(canvas.Brush()->Style(), c.BrushStyle) << c.Mode;
        if (c.BrushStyle == TBrushStyle::bsSolid) {
            EXPECT_EQ(canvas.Brush()->Color(), c.Brush);
        }
    }
    FStyle->ApplyStyleColor(canvas, 0, rvtsSelected | rvtsControlFocused, false, rvcmColor);
    EXPECT_EQ(canvas.Font()->Color(), clHighlightText);
    EXPECT_EQ(canvas.Brush()->Color(), clHighlight);

    canvas.Log.clear();
    FStyle->DrawCheckpoint(canvas, 20, 5, 0, 10, nullptr, 3, 2, true, nullptr);
    EXPECT_EQ(canvas.Log, (std::vector<AnsiString>{"Ellipse 18,3-22,7", "Line -2,5-8,5 pen=00FF00"}));

    int calls = 0;
    FStyle->OnDrawPageBreak = [&](TRVStyle* Sender, TCanvas&, int, int, TRVPageBreakType, TObject*,
                                  bool& DoDefault) {
        ++calls;
        EXPECT_EQ(Sender->ItemNo, 9);
        DoDefault = false;
    };
    canvas.Log.clear();
    FStyle->DrawPageBreak(canvas, 5, 0, rvpbPageBreak, nullptr, nullptr, 9, 100);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(canvas.Log.empty());

    Paras().GetItem(1)->Background().Color = clRed;
    FStyle->OnDrawParaBack = [](TRVStyle*, TCanvas&, int, TRect& R, bool&) { R.Left = 2; };
    FStyle->DrawParaBack(canvas, 1, TRect{0, 0, 9, 9}, false, rvcmColor);
    EXPECT_EQ(canvas.Log, (std::vector<AnsiString>{"Fill 2,0-10,10 brush=0000FF"}));
}

// Logs the UTF-16 text every drawing call got.
class TWideTextCanvas : public TFixedMetricsCanvas {
public:
    std::vector<std::u16string> Drawn;

protected:
    void DoText(int, int, std::u16string_view Text, const int*, const TRect*) override {
        Drawn.emplace_back(Text);
    }
};

TEST_F(RVStyleTest, TextIsDrawnAsUtf16OfTheItemsEncoding) {
    struct Case {
        const char* Name;
        uint8_t Charset;
        bool StyleUnicode;
        AnsiString Text;
        TRVItemOptions Options;
        std::u16string Drawn;
    } cases[] = {
        {"8-bit text of a western style", 0, false, "caf\xE9", 0, u"caf\u00E9"},
        {"8-bit text of the default character set", 1, false, "\xE9", 0, u"\u0439"},
        // The item's own flag decides, not the style's.
        {"raw UTF-16 in an 8-bit style", 204, false, "\x65\x22\x65\x22", ioUnicodeText, u"\u2265\u2265"},
        {"8-bit text in a Unicode style", 0, true, "\xE9", 0, u"\u00E9"},
        {"zero-width characters are not drawn", 1, true, WideToRawUnicode(u"a\u200B"), ioUnicodeText, u"a"},
    };
    for (const Case& c : cases) {
        Texts().GetItem(0)->Charset = c.Charset;
        Texts().GetItem(0)->Unicode = c.StyleUnicode;
        TWideTextCanvas canvas;
        FStyle->DrawStyleText(c.Text, c.Options, canvas, 0, 1, 0, nullptr, 0, 0, 0, 40, 14, 0, false, false,
                              rvcmColor, rvbdUnspecified);
        ASSERT_EQ(canvas.Drawn.size(), 1u) << c.Name;
        EXPECT_EQ(canvas.Drawn[0], c.Drawn) << c.Name;
    }
}

TEST_F(RVStyleTest, CharacterSpacingOnlyForTextOfNoSetDirection) {
    Texts().GetItem(0)->CharSpacing = 3;
    struct Case {
        TRVBiDiMode Style, Default;
        int Extra;
    } cases[] = {{rvbdUnspecified, rvbdUnspecified, 3},
                 {rvbdLeftToRight, rvbdUnspecified, 0},
                 {rvbdUnspecified, rvbdRightToLeft, 0}};
    for (const Case& c : cases) {
        Texts().GetItem(0)->BiDiMode = c.Style;
        TFixedMetricsCanvas canvas;
        FStyle->ApplyStyle(canvas, 0, c.Default, false, nullptr, false);
        EXPECT_EQ(canvas.TextCharacterExtra(), c.Extra) << int(c.Style) << " " << int(c.Default);
        // Spacing counts in measuring: each of three characters one wider.
        EXPECT_EQ(canvas.TextWidth(WideString(u"abc")),
                  3 * (TFixedMetricsCanvas::DefaultCharWidth + c.Extra));
    }
}

TEST_F(RVStyleTest, DefaultStyleSheetCss) {
    TRVMemoryStream stream;
    FStyle->WriteStyleSheetCss(stream, 0);
    AnsiString css(reinterpret_cast<char*>(stream.Memory()), std::size_t(stream.Size()));
    EXPECT_EQ(css, "/* ========== Text Styles ========== */\r\n"
                   "hr { color: #000000}\r\n"
                   "body, table /* Normal text */\r\n"
                   "{\r\n"
                   " font-size: 10pt;\r\n"
                   " font-family: 'Arial';\r\n"
                   " font-style: normal;\r\n"
                   " font-weight: normal;\r\n"
                   " color: #000000;\r\n"
                   " text-decoration: none;\r\n"
                   "}\r\n"
                   "span.rvts1 /* Heading */\r\n"
                   "{\r\n"
                   " font-weight: bold;\r\n"
                   " color: #0000ff;\r\n"
                   "}\r\n"
                   "span.rvts2 /* Subheading */\r\n"
                   "{\r\n"
                   " font-weight: bold;\r\n"
                   " color: #000080;\r\n"
                   "}\r\n"
                   "span.rvts3 /* Keywords */\r\n"
                   "{\r\n"
                   " font-style: italic;\r\n"
                   " color: #800000;\r\n"
                   "}\r\n"
                   "a.rvts4, span.rvts4 /* Jump 1 */\r\n"
                   "{\r\n"
                   " color: #008000;\r\n"
                   " text-decoration: underline;\r\n"
                   "}\r\n"
                   "a.rvts5, span.rvts5 /* Jump 2 */\r\n"
                   "{\r\n"
                   " color: #008000;\r\n"
                   " text-decoration: underline;\r\n"
                   "}\r\n"
                   "/* ========== Para Styles ========== */\r\n"
                   "p,ul,ol /* Paragraph Style */\r\n"
                   "{\r\n"
                   " text-align: left;\r\n"
                   " text-indent: 0px;\r\n"
                   " padding: 0px 0px 0px 0px;\r\n"
                   " margin: 0px 0px 0px 0px;\r\n"
                   "}\r\n"
                   ".rvps1 /* Centered */\r\n"
                   "{\r\n"
                   " text-align: center;\r\n"
                   "}\r\n");
}

TEST_F(RVStyleTest, StyleSheetCssOptionsAndHover) {
    TFontInfo* link = Texts().GetItem(5);
    link->HoverColor = clRed;
    link->HoverEffects = rvheUnderline;
    link->Style = 0;
    Texts().GetItem(2)->Standard = false;
    TRVMemoryStream stream;
    FStyle->WriteStyleSheetCss(stream,
                               rvscoNoElementSelectors | rvscoSkipTextStyle0 | rvscoOmitLeftAlignment);
    AnsiString css(reinterpret_cast<char*>(stream.Memory()), std::size_t(stream.Size()));
    EXPECT_EQ(css.find("body"), AnsiString::npos);
    EXPECT_NE(css.find("span.rvts2\r\n{\r\n font-size: 10pt;"), AnsiString::npos);
    EXPECT_NE(css.find("a.rvts5:hover { color: #ff0000; text-decoration: underline; }\r\n"),
              AnsiString::npos);
    EXPECT_NE(css.find(".rvps0 /* Paragraph Style */\r\n{\r\n text-indent: 0px;"), AnsiString::npos);
    EXPECT_NE(css.find(".rvps1 /* Centered */\r\n{\r\n text-align: center;\r\n text-indent: 0px;"),
              AnsiString::npos);
}

AnsiString TextCss(const TCustomRVFontInfo& Style, const TCustomRVFontInfo* Parent, bool Multiline = false) {
    TRVMemoryStream stream;
    Style.WriteCss(stream, Parent, false, Multiline);
    return AnsiString(reinterpret_cast<char*>(stream.Memory()), std::size_t(stream.Size()));
}

AnsiString ParaCss(const TCustomRVParaInfo& Style, const TCustomRVParaInfo* Parent) {
    TRVMemoryStream stream;
    Style.WriteCss(stream, Parent, false, false, false);
    return AnsiString(reinterpret_cast<char*>(stream.Memory()), std::size_t(stream.Size()));
}

TEST(StyleCssTest, TextStyleDeclarations) {
    TFontInfo base(nullptr), style(nullptr);
    EXPECT_EQ(TextCss(style, &base), "");
    style.Jump = true;
    EXPECT_EQ(TextCss(style, &base), " text-decoration: none;");
    style.Jump = false;
    style.FontName = "SYMBOL";
    style.SubSuperScriptType = rvsssSuperScript;
    style.StyleEx = rvfsAllCaps | rvfsOverline;
    style.CharSpacing = 2;
    style.BiDiMode = rvbdRightToLeft;
    style.Style = fsUnderline | fsStrikeOut;
    style.UnderlineType = rvutThickDotted;
    style.UnderlineColor = clBlue;
    EXPECT_EQ(
        TextCss(style, &base),
        " font-size: 7pt; direction: rtl; font-family: 'Arial Unicode MS', 'Lucida Sans Unicode', 'Arial';"
        " letter-spacing: 2px; text-transform: uppercase; vertical-align: super;"
        " text-decoration: line-through overline; border-bottom: dotted 2px #0000ff;");
    EXPECT_EQ(TextCss(base, nullptr), " font-size: 10pt; font-family: 'Arial'; font-style: normal;"
                                      " font-weight: normal; color: #000000; background-color: transparent;"
                                      " text-decoration: none;");
}

TEST(StyleCssTest, ParagraphStyleDeclarations) {
    TParaInfo base(nullptr), style(nullptr);
    style.LineSpacing = 105;
    EXPECT_EQ(ParaCss(style, &base), " line-height: 1.05;");
    style.LineSpacing = 150;
    EXPECT_EQ(ParaCss(style, &base), " line-height: 1.50;");
    base.LineSpacing = 150;
    style.LineSpacingType = rvlsSpaceBetween;
    style.LineSpacing = 4;
    EXPECT_EQ(ParaCss(style, &base), " line-height: normal;");
    base.LineSpacing = 100;
    style.LineSpacingType = rvlsPercent;
    style.LineSpacing = 100;

    style.Border().Style = rvbSingle;
    style.Border().Color = clNone;
    EXPECT_EQ(ParaCss(style, &base), "");
    style.Border().Color = clRed;
    style.Border().Style = rvbThickOutside;
    style.Border().Width = 3;
    style.Border().VisibleBorders().SetValues(false, true, true, false);
    style.Border().BorderOffsets().SetAll(2);
    style.Background().Color = clYellow;
    style.Background().BorderOffsets().Top = 5;
    style.LeftIndent = 10;
    style.Options = rvpaoNoWrap | rvpaoKeepWithNext;
    EXPECT_EQ(ParaCss(style, &base), " white-space: nowrap; page-break-after: avoid; border-color: #ff0000;"
                                     " border-style: double; border-width: 5px; border-bottom: none;"
                                     " border-left: none; background: #ffff00; padding: 5px 2px 2px 2px;"
                                     " margin: -5px -2px -2px 8px;");
    EXPECT_EQ(ParaCss(base, &style),
              " white-space: normal; page-break-after: auto; border: none;"
              " background: transparent; padding: 0px 0px 0px 0px; margin: 0px 0px 0px 0px;");
}

TEST(StyleRtfTest, CharacterControlWords) {
    TRVStyle sheet(nullptr);
    TFontInfo& style = *sheet.TextStyles().GetItem(3);
    style.VShift = -30;
    style.CharSpacing = 2;
    style.CharScale = 80;
    style.Style = fsBold | fsUnderline | fsStrikeOut;
    style.UnderlineType = rvutDashDotDotted;
    style.UnderlineColor = clBlue;
    style.StyleEx = rvfsAllCaps;
    style.BiDiMode = rvbdLeftToRight;
    style.Charset = 204;
    style.BackColor = clYellow;
    TRVColorList colors;
    for (TColor c : {clBlack, clBlue, clYellow, clMaroon})
        colors.AddUniqueColor(c);
    TRVIntegerList fonts;
    for (int f : {0, 0, 0, 2})
        fonts.Add(f);
    TRVMemoryStream stream;
    style.WriteRtf(stream, 3, colors, fonts, 15.0);
    EXPECT_EQ(AnsiString(reinterpret_cast<char*>(stream.Memory()), std::size_t(stream.Size())),
              "\\f2\\b\\uldashdd\\ulc1\\strike\\dn6\\charscalex80\\expndtw30\\caps\\ltrch\\lang1049\\fs20"
              "\\chcbpat2\\cf3");
    TRVMemoryStream plain;
    sheet.TextStyles().GetItem(0)->WriteRtf(plain, 0, colors, fonts, 15.0);
    EXPECT_EQ(AnsiString(reinterpret_cast<char*>(plain.Memory()), std::size_t(plain.Size())), "\\f0\\fs20");
}

TEST(StyleHtmlTest, FontTags) {
    TFontInfo base(nullptr), style(nullptr);
    style.Style = fsBold;
    style.Color = clRed;
    style.VShift = 10;
    base.Style = fsItalic;
    EXPECT_EQ(HtmlFontOpenTags(style, base, true, 0), "<font color=\"#ff0000\"></i><b><sup>");
    EXPECT_EQ(HtmlFontCloseTags(style, base, true), "</sup></b><i></font>");
    EXPECT_EQ(HtmlFontOpenTags(style, base, false, rvhsXHTML),
              "<font size=\"2\" color=\"#ff0000\" face=\"Arial\"><b><sup>");
    EXPECT_EQ(HtmlFontCloseTags(style, base, false), "</sup></b></font>");
    EXPECT_EQ(HtmlFontCloseTags(base, base, true), "");
    TFont marker;
    marker.SetName("Wingdings");
    marker.SetSize(10);
    marker.SetColor(clWindowText);
    EXPECT_EQ(MarkerFontOpenTags(marker, base, false, 0), "</i>");
    EXPECT_EQ(MarkerFontOpenTags(marker, base, true, 0), "<font face=\"Wingdings\"></i>");
}

} // namespace
