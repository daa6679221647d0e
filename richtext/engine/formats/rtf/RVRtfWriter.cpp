// The RTF writer of a document: the header with its font, colour, style,
// list and list-override tables, paragraph boundaries and properties, text
// runs with their character properties, checkpoints as bookmarks and
// hyperlinks as fields; items write themselves.
#include <algorithm>
#include <memory>

#include "platform/rtl/Random.h"
#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/formats/RVSaveFile.h"
#include "richtext/engine/formats/rtf/RVRtfTables.h"
#include "richtext/engine/style/RVStyle.h"
#include "richtext/engine/text/RVCodePages.h"

namespace {

constexpr const char* LineEnd = "\r\n";

// ---------------------------------------------------------------- font table

int TRVRTFFontTableFind(const std::vector<TRVRTFFontTableItem>& Items, const AnsiString& Name,
                        uint8_t Charset) {
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (Items[i].Charset == Charset && SameText(Items[i].FontName, Name)) return int(i);
    return -1;
}

// A font name inside the table: the characters that end or open a group
// are escaped, so any name reads back as itself.
AnsiString RtfFontName(const AnsiString& Name) {
    return RtfEscapeAnsi(Name, false, false);
}

constexpr uint8_t SymbolCharset = 2;

// 8-bit text of a single-byte code page: every letter beyond ASCII as its
// Unicode escape followed by the byte, so readers that ignore the code page
// still get the letters right and old readers get the bytes.
AnsiString AnsiTextToRtf(const AnsiString& Text, unsigned CodePage) {
    WideString wide = RVCodePageToWide(CodePage, Text);
    // A multi-byte code page keeps the plain escapes.
    if (wide.size() != Text.size()) return RtfEscapeAnsi(Text, false, true);
    AnsiString out;
    out.reserve(Text.size() * 2);
    for (std::size_t i = 0; i < Text.size(); ++i) {
        auto c = uint8_t(Text[i]);
        if (c < 0x80 || c == 0x95 || c == 0xA0) {
            out += RtfEscapeAnsi(AnsiString(1, char(c)), false, true);
        } else {
            out += "\\u" + IntToStr(int16_t(wide[i])) + " ";
            out += RtfEscapeAnsi(AnsiString(1, char(c)), false, false);
        }
    }
    return out;
}

// The language readers tag text with (spelling, hyphenation); the default
// charset stands for the document's code page.
int RtfLanguage(int Charset, unsigned CodePage) {
    constexpr int DefaultCharset = 1;
    if (Charset != DefaultCharset) return CharsetToLanguage(Charset);
    for (int charset : {0, 128, 129, 134, 136, 161, 162, 163, 177, 178, 186, 204, 222, 238})
        if (CharsetToCodePage(charset) == CodePage) return CharsetToLanguage(charset);
    return 0;
}

bool IsTextStyleSavedToRtf(const TFontInfo& Style) {
    return (Style.Options & rvteoRTFCode) || !(Style.Options & rvteoHTMLCode);
}

// A template or list identifier not drawn before in this save.
int32_t DrawUniqueId(TRVRTFTables& Tables) {
    for (;;) {
        auto id = int32_t(RandomInRange(0, 0x7FFFFFFE));
        if (std::find(Tables.DrawnIds.begin(), Tables.DrawnIds.end(), id) == Tables.DrawnIds.end()) {
            Tables.DrawnIds.push_back(id);
            return id;
        }
    }
}

int LevelNumberFormat(TRVListType Type) {
    switch (Type) {
    case rvlstDecimal:
    case rvlstImageListCounter:
        return 0;
    case rvlstLowerAlpha:
        return 4;
    case rvlstUpperAlpha:
        return 3;
    case rvlstLowerRoman:
        return 2;
    case rvlstUpperRoman:
        return 1;
    default:
        return 23;
    }
}

// ---------------------------------------------------------------- the writer

// Writes one document data: the header and tables when it is the whole
// document, then its items; keeps what was written last.
class TRtfDocWriter {
public:
    TRtfDocWriter(TCustomRVData& AData, TStream& AStream, const AnsiString& APath, int ALevel,
                  TRVRTFTables& ATables)
        : Data(AData), Stream(AStream), Path(APath), Level(ALevel), Tables(ATables),
          Style(AData.GetRVStyle()), Options(AData.GetRTFOptions()) {}

    void BuildFontTable();
    // Readers decode the text by this code page; "none" means the program's.
    unsigned DocumentCodePage() const {
        int codePage = Data.GetDefCodePage();
        return codePage == 0 ? 1251u : unsigned(codePage);
    }
    void WriteHeader(TColor Color);
    void WriteSelectionListParagraph(int StartItemNo);
    void WriteItem(int ItemNo, int StartItemNo, int StartOffs, int EndItemNo, int EndOffs);
    void WriteBookmark(const TRVCPInfo& Checkpoint);

private:
    void Write(std::string_view Text) { WriteText(Stream, Text); }
    bool SaveStyleSheet() const { return Options & rvrtfSaveStyleSheet; }
    void WriteFontTable();
    void WriteColorTable();
    void WriteStyleSheet();
    void WriteListTable();
    void WriteListOverrideTable(const std::vector<int32_t>& ListIds);
    void WriteTextProps(int StyleNo, bool InStyleSheet);
    void WriteParaProps(int ParaNo, const TRVMarkerItemInfo* Marker, bool InStyleSheet);
    void WriteBorder(const TRVBorder& Border);
    void StartParagraph(int ItemNo, TCustomRVItemInfo& Item);
    bool StartHyperlink(int ItemNo, TCustomRVItemInfo& Item);

    TCustomRVData& Data;
    TStream& Stream;
    AnsiString Path;
    int Level;
    TRVRTFTables& Tables;
    TRVStyle* Style;
    TRVRTFOptions Options;

    int FLastParaNo = -1;
    int FLastTextStyle = -1;
    const TRVListLevel* FLastListLevel = nullptr;
    bool FListParagraph = false;
    int FCheckpoints = 0;
    bool FFirstParagraph = true;
};

void TRtfDocWriter::BuildFontTable() {
    Tables.FontTable.Clear();
    Tables.StyleToFont.Clear();
    if (!Style) {
        Tables.FontTable.AddUnique("Arial", 1);
        return;
    }
    TFontInfos& texts = Style->TextStyles();
    for (int i = 0; i < texts.Count(); ++i)
        Tables.StyleToFont.Add(Tables.FontTable.AddUnique(texts[i]->FontName, texts[i]->Charset));
    TRVListInfos& lists = Style->ListStyles();
    for (int i = 0; i < lists.Count(); ++i)
        for (int l = 0; l < lists[i]->Levels().Count(); ++l) {
            TRVListLevel* level = lists[i]->Levels()[l];
            if (level->UsesFont()) Tables.FontTable.AddUnique(level->Font().Name(), level->Font().Charset);
        }
}

void TRtfDocWriter::WriteFontTable() {
    AnsiString rtf = "{\\fonttbl";
    for (int i = 0; i < Tables.FontTable.Count(); ++i) {
        const TRVRTFFontTableItem& font = Tables.FontTable.Items(i);
        rtf += "{\\f" + IntToStr(i) + "\\fnil";
        if (font.Charset != 1) rtf += "\\fcharset" + IntToStr(font.Charset);
        rtf += " " + RtfFontName(font.FontName) + ";}";
    }
    Write(rtf + "}");
}

void TRtfDocWriter::WriteColorTable() {
    AnsiString rtf = "{\\colortbl;";
    for (int i = 1; i < Tables.ColorList.Count(); ++i) {
        TColor rgb = ColorToRGB(TColor(Tables.ColorList[i]));
        rtf += "\\red" + IntToStr(GetRValue(rgb)) + "\\green" + IntToStr(GetGValue(rgb)) + "\\blue" +
               IntToStr(GetBValue(rgb)) + ";";
    }
    Write(rtf + "}");
}

void TRtfDocWriter::WriteTextProps(int StyleNo, bool InStyleSheet) {
    if (!Style) return;
    TFontInfos& texts = Style->TextStyles();
    if (StyleNo < 0 || StyleNo >= texts.Count()) StyleNo = 0;
    if (texts.Count() > 0)
        texts[StyleNo]->WriteRtf(Stream, StyleNo, Tables.ColorList, Tables.StyleToFont, Tables.TwipsPerPixel,
                                 RtfLanguage(1, DocumentCodePage()));
    AnsiString code;
    Data.DoSaveRTFExtra(rv_rtfs_TextStyle, StyleNo < texts.Count() ? texts[StyleNo] : nullptr, StyleNo, -1,
                        InStyleSheet, code);
    Write(code + " ");
}

void TRtfDocWriter::WriteBorder(const TRVBorder& Border) {
    static const char* const kinds[] = {"", "s", "db", "triple", "thtnmg", "tnthmg"};
    bool thick = Border.Style == rvbThickInside || Border.Style == rvbThickOutside;
    int width = Tables.Twips(thick ? 2 * Border.Width : Border.Width);
    AnsiString tail = "\\brdrcf" + IntToStr(Tables.ColorIndex(Border.Color)) + "\\brdrw" + IntToStr(width);
    AnsiString near = AnsiString("\\brdr") + kinds[Border.Style] + tail;
    // Thick lines seen from the right and bottom have their sides swapped.
    AnsiString far = near;
    if (Border.Style == rvbThickInside) far = "\\brdrtnthmg" + tail;
    if (Border.Style == rvbThickOutside) far = "\\brdrthtnmg" + tail;
    const TRVBooleanRect& visible = Border.VisibleBorders();
    const TRVRect& offsets = Border.BorderOffsets();
    AnsiString rtf = "\\brdrbtw";
    if (visible.Left) rtf += "\\brdrl\\brsp" + IntToStr(Tables.Twips(offsets.Left)) + near;
    if (visible.Top) rtf += "\\brdrt\\brsp" + IntToStr(Tables.Twips(offsets.Top)) + near;
    if (visible.Right) rtf += "\\brdrr\\brsp" + IntToStr(Tables.Twips(offsets.Right)) + far;
    if (visible.Bottom) rtf += "\\brdrb\\brsp" + IntToStr(Tables.Twips(offsets.Bottom)) + far;
    Write(rtf);
}

void TRtfDocWriter::WriteParaProps(int ParaNo, const TRVMarkerItemInfo* Marker, bool InStyleSheet) {
    if (!Style) return;
    TParaInfo& para = *Style->ParaStyles()[ParaNo];
    AnsiString rtf;
    if (para.LineSpacingType == rvlsPercent && para.LineSpacing > 100)
        rtf += "\\sl" + IntToStr(para.LineSpacing * 240 / 100) + "\\slmult1";
    if (para.Options & rvpaoKeepLinesTogether) rtf += "\\keep";
    if (para.Options & rvpaoKeepWithNext) rtf += "\\keepn";
    const TRVListLevel* level = Marker ? Marker->GetLevelInfo(Style) : nullptr;
    int listTab = 0;
    if (level) {
        rtf += "\\li" + IntToStr(Tables.Twips(level->LeftIndent)) + "\\fi" +
               IntToStr(Tables.Twips(level->MarkerIndent - level->LeftIndent)) + "\\jclisttab\\tx" +
               IntToStr(Tables.Twips(level->LeftIndent + level->FirstIndent));
        listTab = level->LeftIndent + level->FirstIndent;
    } else {
        rtf += "\\fi" + IntToStr(Tables.Twips(para.FirstIndent)) + "\\li" +
               IntToStr(Tables.Twips(para.LeftIndent));
    }
    if (!InStyleSheet) FLastListLevel = level;
    const TRVTabInfos& tabs = para.Tabs();
    for (int i = 0; i < tabs.Count(); ++i) {
        const TRVTabInfo& tab = *tabs[i];
        if (tab.Position() <= listTab) continue;
        if (tab.Align == rvtaRight) rtf += "\\tqr";
        if (tab.Align == rvtaCenter) rtf += "\\tqc";
        if (!tab.Leader.empty()) {
            switch (uint8_t(tab.Leader[0])) {
            case '-':
                rtf += "\\tlhyph";
                break;
            case '=':
                rtf += "\\tleq";
                break;
            case '_':
                rtf += "\\tlul";
                break;
            case 0xB7:
                rtf += "\\tlmdot";
                break;
            default:
                rtf += "\\tldot";
                break;
            }
        }
        rtf += "\\tx" + IntToStr(Tables.Twips(tab.Position()));
    }
    static const char* const alignments[] = {"l", "r", "c", "j"};
    rtf += AnsiString("\\q") + alignments[para.Alignment & 3] + "\\ri" +
           IntToStr(Tables.Twips(para.RightIndent)) + "\\sb" + IntToStr(Tables.Twips(para.SpaceBefore)) +
           "\\sa" + IntToStr(Tables.Twips(para.SpaceAfter));
    if (para.BiDiMode == rvbdLeftToRight) rtf += "\\ltrpar";
    if (para.BiDiMode == rvbdRightToLeft) rtf += "\\rtlpar";
    if (para.Background().Color != clNone)
        rtf += "\\cbpat" + IntToStr(Tables.ColorIndex(para.Background().Color));
    Write(rtf);
    if (para.Border().Style != rvbNone && para.Border().Color != clNone) WriteBorder(para.Border());
    if (!InStyleSheet) {
        Write("\\itap" + IntToStr(Level));
        if (Level == 1) Write("\\intbl");
    }
    AnsiString code;
    Data.DoSaveRTFExtra(rv_rtfs_ParaStyle, &para, ParaNo, -1, InStyleSheet, code);
    Write(code + " ");
}

void TRtfDocWriter::WriteStyleSheet() {
    Write("{\\stylesheet");
    TParaInfos& paras = Style->ParaStyles();
    for (int i = 0; i < paras.Count(); ++i) {
        if (!paras[i]->Standard) continue;
        Write("{\\s" + IntToStr(i));
        WriteParaProps(i, nullptr, true);
        Write(RtfSafeName(paras[i]->StyleName) + ";}");
    }
    TFontInfos& texts = Style->TextStyles();
    for (int i = 0; i < texts.Count(); ++i) {
        if (!texts[i]->Standard) continue;
        Write("{\\*\\cs" + IntToStr(i + paras.Count()));
        WriteTextProps(i, true);
        Write(RtfSafeName(texts[i]->StyleName) + ";}");
    }
    Write("}");
}

void TRtfDocWriter::WriteListTable() {
    TRVListInfos* lists = Style ? &Style->ListStyles() : nullptr;
    if (!lists || lists->Count() == 0) {
        Write(LineEnd);
        return;
    }
    bool duplicate = Options & rvrtfDuplicateUnicode;
    std::vector<int32_t> listIds;
    Write("{\\*\\listtable");
    for (int i = 0; i < lists->Count(); ++i) {
        TRVListInfo& list = *(*lists)[i];
        int levelCount = list.Levels().Count();
        AnsiString head = "{\\list\\listtemplateid" + IntToStr(DrawUniqueId(Tables));
        if (levelCount == 1) head += "\\listsimple1";
        WriteTextLine(Stream, head);
        int written = levelCount == 0 ? 0 : levelCount == 1 ? 1 : 9;
        for (int l = 0; l < written; ++l) {
            const TRVListLevel& level = *list.Levels()[std::min(l, levelCount - 1)];
            int format = LevelNumberFormat(level.ListType);
            static const int justification[] = {0, 2, 1};
            AnsiString rtf = "{\\listlevel\\levelnfc" + IntToStr(format) + "\\leveljc" +
                             IntToStr(justification[level.MarkerAlignment % 3]) + "\\li" +
                             IntToStr(Tables.Twips(level.LeftIndent)) + "\\fi" +
                             IntToStr(Tables.Twips(level.MarkerIndent - level.LeftIndent)) +
                             "\\jclisttab\\tx" + IntToStr(Tables.Twips(level.LeftIndent + level.FirstIndent));
            if (format != 23) rtf += "\\levelstartat" + IntToStr(level.StartFrom);
            if (level.Options & rvloLegalStyleNumbering) rtf += "\\levellegal1";
            if (!(level.Options & rvloLevelReset)) rtf += "\\levelnorestart1";
            AnsiString text, numbers;
            GetLevelTextRtf(level, unsigned(Data.GetDefCodePage()), duplicate, text, numbers);
            rtf += "{\\leveltext" + text + ";}{\\levelnumbers" + numbers + ";}";
            Write(rtf);
            if (level.UsesFont())
                WriteMarkerFontRtf(Stream, const_cast<TRVListLevel&>(level).Font(), Tables, *Style);
            WriteTextLine(Stream, "}");
        }
        int32_t id = DrawUniqueId(Tables);
        listIds.push_back(id);
        WriteTextLine(Stream, "\\listid" + IntToStr(id) + "}");
    }
    WriteTextLine(Stream, "}");
    WriteListOverrideTable(listIds);
}

void TRtfDocWriter::WriteListOverrideTable(const std::vector<int32_t>& ListIds) {
    WriteTextLine(Stream, "{\\*\\listoverridetable");
    int number = 1;
    TRVMarkerList* markers = Data.GetMarkerList(false);
    for (std::size_t i = 0; i < ListIds.size(); ++i) {
        AnsiString id = IntToStr(ListIds[i]);
        WriteTextLine(Stream,
                      "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + IntToStr(number++) + "}");
        if (!markers || Tables.ListOverrideCounts[int(i)] <= 1) continue;
        for (int m = 0; m < markers->Count(); ++m) {
            TRVMarkerItemInfo* marker = markers->Items(m);
            if (marker->ListNo != int(i) || marker->Level < 0 || !marker->Reset) continue;
            TRVListLevel* level = marker->GetLevelInfo(Style);
            if (!level || !level->HasTextNumbering()) continue;
            AnsiString rtf =
                "{\\listoverride\\listid" + id + "\\listoverridecount" + IntToStr(marker->Level + 1);
            for (int below = 0; below < marker->Level; ++below)
                rtf += "{\\lfolevel}";
            rtf += "{\\lfolevel\\listoverridestartat\\levelstartat" + IntToStr(marker->StartFrom) + "}";
            WriteTextLine(Stream, rtf + "\\ls" + IntToStr(number++) + "}");
        }
    }
    WriteTextLine(Stream, "}");
    // From counts to each list's first override number.
    int first = 1;
    for (int i = 0; i < Tables.ListOverrideCounts.Count(); ++i) {
        int count = Tables.ListOverrideCounts[i];
        Tables.ListOverrideCounts.SetItem(i, first);
        first += count;
    }
}

void TRtfDocWriter::WriteHeader(TColor) {
    unsigned codePage = DocumentCodePage();
    int language =
        Style && Style->TextStyles().Count() > 0 ? RtfLanguage(Style->TextStyles()[0]->Charset, codePage) : 0;
    Write("{\\rtf1\\ansi\\ansicpg" + IntToStr(codePage) + "\\uc1\\deff0\\deflang" + IntToStr(language) +
          "\\deflangfe" + IntToStr(language));
    TRVBiDiMode bidi = Data.GetBiDiMode();
    if (bidi == rvbdLeftToRight) Write("\\ltrdoc");
    if (bidi == rvbdRightToLeft) Write("\\rtldoc");
    if (FindFirstEndnoteInData(&Data))
        Write("\\fet2{\\*\\aftnsep\\pard\\plain\\chftnsep }{\\*\\aftnsepc\\pard\\plain\\chftnsepc}");
    if (FindFirstFootnoteInData(&Data))
        Write("\\fet2{\\*\\ftnsep\\pard\\plain\\chftnsep }{\\*\\ftnsepc\\pard\\plain\\chftnsepc}");
    if (Options & rvrtfSaveDocParameters) {
        if (TRVDocParameters* params = Data.GetDocParameters(false))
            params->WriteDocParametersRtf(Stream);
        else
            WriteTextLine(Stream, "\\paperw11906\\paperh16838\\margl1800\\margr1800\\margt1440\\margb1440");
    }
    WriteFontTable();
    WriteColorTable();
    if (SaveStyleSheet() && Style) WriteStyleSheet();
    WriteListTable();
    Tables.ListOverrideCountsCopy.Assign(Tables.ListOverrideCounts);
    AnsiString code;
    Data.DoSaveRTFExtra(rv_rtfs_Doc, nullptr, -1, -1, false, code);
    if (!code.empty()) WriteTextLine(Stream, code);
}

void TRtfDocWriter::WriteBookmark(const TRVCPInfo& Checkpoint) {
    AnsiString name = Checkpoint.Name.empty() ? "ZoroZudoCheckpoint" + IntToStr(FCheckpoints)
                                              : RtfBookmarkName(Checkpoint.Name);
    Write("{\\*\\bkmkstart " + name + "}{\\*\\bkmkend " + name + "}");
    ++FCheckpoints;
}

void TRtfDocWriter::WriteSelectionListParagraph(int StartItemNo) {
    int first = Data.GetFirstParaItem(StartItemNo);
    if (first == StartItemNo) return;
    auto* marker = dynamic_cast<TRVMarkerItemInfo*>(&Data.LiveItem(first));
    if (!marker) return;
    int paraNo = marker->ParaNo;
    if (SaveStyleSheet() && Style && Style->ParaStyles()[paraNo]->Standard) Write("\\s" + IntToStr(paraNo));
    WriteParaProps(paraNo, marker, false);
    marker->SaveRTF(Stream, Path, &Data, first, Data.GetItemText(first), Level, Tables);
    FLastParaNo = paraNo;
    FListParagraph = true;
    FFirstParagraph = false;
}

void TRtfDocWriter::StartParagraph(int ItemNo, TCustomRVItemInfo& Item) {
    Write(LineEnd);
    bool fullLine = Item.GetBoolValue(iqFullLine);
    if (fullLine && Item.GetPageBreakBefore()) Write("\\page ");
    if (!Item.StartsParagraph()) {
        Write("\\line ");
        return;
    }
    bool closed = Tables.ParagraphClosed;
    Tables.ParagraphClosed = false;
    if (!FFirstParagraph && !closed) {
        Write("\\par ");
        if (FListParagraph) {
            Write("\\plain");
            FLastTextStyle = -1;
        }
    }
    if (!fullLine && Item.GetPageBreakBefore()) Write("\\page ");
    auto* marker = dynamic_cast<TRVMarkerItemInfo*>(&Item);
    const TRVListLevel* level = marker ? marker->GetLevelInfo(Style) : nullptr;
    FListParagraph = marker != nullptr;
    if (Item.ParaNo != FLastParaNo || level != FLastListLevel) {
        Write("\\pard");
        if (SaveStyleSheet() && Style && Style->ParaStyles()[Item.ParaNo]->Standard)
            Write("\\s" + IntToStr(Item.ParaNo));
        WriteParaProps(Item.ParaNo, marker, false);
        FLastParaNo = Item.ParaNo;
    }
    (void)ItemNo;
}

bool TRtfDocWriter::StartHyperlink(int ItemNo, TCustomRVItemInfo& Item) {
    if (!Item.GetBoolValueEx(iqxHyperlink, Style)) return false;
    AnsiString target, extras;
    Data.DoWriteHyperlink(Item.JumpID + Data.FirstJumpNo, &Data, ItemNo, rvsfRTF, target, extras);
    if (!target.empty() && target[0] == '#') {
        target = RtfBookmarkName(target.substr(1));
        if (extras.find('\0') == AnsiString::npos)
            extras = AnsiString("\\l") + '\0' + extras;
        else
            extras = "\\l " + extras;
    } else {
        target = RtfEscapeFieldInstruction(target);
    }
    if (target.empty() && extras.empty()) return false;
    std::size_t zero = extras.find('\0');
    AnsiString before = zero == AnsiString::npos ? AnsiString() : extras.substr(0, zero);
    AnsiString after = zero == AnsiString::npos ? extras : extras.substr(zero + 1);
    if (before.empty() || before.back() != ' ') before += ' ';
    if (after.empty() || after.front() != ' ') after.insert(after.begin(), ' ');
    Write("{\\field{\\*\\fldinst HYPERLINK " + RtfEscapeAnsi(before, false, false) + "\"" + target + "\"" +
          RtfEscapeAnsi(after, false, false) + "}{\\fldrslt ");
    FLastTextStyle = -1;
    return true;
}

void TRtfDocWriter::WriteItem(int ItemNo, int StartItemNo, int StartOffs, int EndItemNo, int EndOffs) {
    TCustomRVItemInfo& item = Data.LiveItem(ItemNo);
    const AnsiString& text = Data.GetItemText(ItemNo);
    bool isText = item.StyleNo >= 0;
    if (StartItemNo != EndItemNo || !isText) {
        if (ItemNo == StartItemNo && StartOffs >= Data.ItemEndOffset(ItemNo) && !text.empty()) return;
        if (ItemNo == EndItemNo && EndOffs <= Data.ItemStartOffset(ItemNo) && !text.empty()) return;
    }
    if (!item.GetContinuesParagraph()) StartParagraph(ItemNo, item);
    FFirstParagraph = false;
    if (item.Checkpoint) WriteBookmark(*item.Checkpoint);
    bool link = StartHyperlink(ItemNo, item);

    int textStyle = -1;
    if (isText) {
        int styleNo = Data.GetActualStyle(item);
        if (!Style || IsTextStyleSavedToRtf(*Style->TextStyles()[styleNo])) textStyle = styleNo;
    } else if (item.GetAssociatedTextStyleNo() >= 0) {
        textStyle = Data.ResolveStyleNo(item.GetAssociatedTextStyleNo(), item.ParaNo);
    }
    if (textStyle >= 0) {
        if (textStyle != FLastTextStyle) {
            Write("\\plain ");
            if (SaveStyleSheet() && Style && textStyle < Style->TextStyles().Count() &&
                Style->TextStyles()[textStyle]->Standard)
                Write("\\cs" + IntToStr(textStyle + Style->ParaStyles().Count()));
            WriteTextProps(textStyle, false);
            FLastTextStyle = textStyle;
        }
        AnsiString part = text;
        if (isText) {
            int from = 1, to = Data.ItemLength(ItemNo) + 1;
            if (ItemNo == StartItemNo) from = StartOffs;
            if (ItemNo == EndItemNo) to = EndOffs;
            part = ItemTextCopy(text, from, to - from, item.ItemOptions);
        }
        AnsiString saved;
        if (Data.DoSaveItemToFile(Path, &Data, ItemNo, rvsfRTF, false, saved)) {
            Write(saved);
        } else if (!isText) {
            item.SaveRTF(Stream, Path, &Data, ItemNo, text, Level, Tables);
        } else {
            bool raw = Style && (Style->TextStyles()[textStyle]->Options & rvteoRTFCode);
            unsigned codePage = unsigned(Data.GetStyleCodePage(textStyle));
            bool symbol = Style && Style->TextStyles()[textStyle]->Charset == SymbolCharset;
            if (item.IsUnicode())
                WriteRtfUnicodeText(Stream, part, codePage, Options & rvrtfDuplicateUnicode, raw);
            else if (!raw && !symbol && (Options & rvrtfDuplicateUnicode))
                Write(AnsiTextToRtf(part, codePage));
            else
                Write(RtfEscapeAnsi(part, raw, true));
        }
    } else {
        bool rtl = Data.GetParaBiDiMode(item.ParaNo) == rvbdRightToLeft;
        if (rtl) Write("\\ltrpar");
        AnsiString saved;
        if (Data.DoSaveItemToFile(Path, &Data, ItemNo, rvsfRTF, false, saved))
            Write(saved);
        else
            item.SaveRTF(Stream, Path, &Data, ItemNo, text, Level, Tables);
        if (rtl) Write("\\rtlpar");
        FLastTextStyle = -1;
    }
    if (link) {
        Write("}}");
        FLastTextStyle = -1;
    }
}

} // namespace

// ---------------------------------------------------------------- font table

int TRVRTFFontTable::Find(const AnsiString& FontName, uint8_t Charset) const {
    return TRVRTFFontTableFind(FItems, FontName, Charset);
}

int TRVRTFFontTable::AddUnique(const AnsiString& FontName, uint8_t Charset) {
    int index = Find(FontName, Charset);
    if (index >= 0) return index;
    FItems.push_back({FontName, Charset});
    return Count() - 1;
}

// ---------------------------------------------------------------- the document's entries

void TCustomRVData::FillRtfTables(TRVRTFTables& Tables, bool AddStyles) {
    TRVStyle* style = GetRVStyle();
    if (AddStyles) {
        Tables.ColorList.Clear();
        Tables.ListOverrideCounts.Clear();
        static const TColor fixed[] = {
            clWindowText,       RGB(0, 0, 0),      RGB(0, 0, 255),   RGB(0, 255, 255),   RGB(0, 255, 0),
            RGB(255, 0, 255),   RGB(255, 0, 0),    RGB(255, 255, 0), RGB(255, 255, 255), RGB(0, 0, 128),
            RGB(0, 128, 128),   RGB(0, 128, 0),    RGB(128, 0, 128), RGB(128, 0, 0),     RGB(128, 128, 0),
            RGB(128, 128, 128), RGB(192, 192, 192)};
        for (TColor color : fixed)
            Tables.ColorList.Add(int32_t(color));
        if (style) {
            TFontInfos& texts = style->TextStyles();
            for (int i = 0; i < texts.Count(); ++i) {
                TFontInfo& t = *texts[i];
                for (TColor c : {t.Color, t.BackColor, t.HoverColor, t.HoverBackColor, t.UnderlineColor,
                                 t.HoverUnderlineColor})
                    Tables.ColorList.AddUniqueColor(c);
            }
            TParaInfos& paras = style->ParaStyles();
            for (int i = 0; i < paras.Count(); ++i) {
                if (paras[i]->Border().Style != rvbNone)
                    Tables.ColorList.AddUniqueColor(paras[i]->Border().Color);
                Tables.ColorList.AddUniqueColor(paras[i]->Background().Color);
            }
            TRVListInfos& lists = style->ListStyles();
            for (int i = 0; i < lists.Count(); ++i) {
                Tables.ListOverrideCounts.Add(1);
                for (int l = 0; l < lists[i]->Levels().Count(); ++l)
                    if (lists[i]->Levels()[l]->UsesFont())
                        Tables.ColorList.AddUniqueColor(lists[i]->Levels()[l]->Font().Color());
            }
        }
    }
    for (int i = 0; i < ItemCount(); ++i)
        if (TCustomRVItemInfo& item = LiveItem(i); item.StyleNo < 0) item.FillRTFTables(Tables, this);
}

// ---------------------------------------------------------------- saving

bool TCustomRVData::SaveRtf(TStream& Stream, const AnsiString& Path, bool SelectionOnly, int Level,
                            TColor Color, TRVRTFTables* Tables, bool CompleteDocument) {
    if (SelectionOnly)
        if (TCustomRVData* sub = GetActiveSubDocument())
            return sub->SaveRtf(Stream, Path, SelectionOnly, Level, Color, Tables, true);
    int startNo, startOffs, endNo, endOffs;
    bool partial;
    GetSaveRange(SelectionOnly, startNo, startOffs, endNo, endOffs, partial);
    if (partial || startNo < 0 || startNo > endNo) return true;
    bool top = Level == 0 && CompleteDocument;
    std::unique_ptr<TRVRTFTables> own;
    if (top || !Tables) {
        own = std::make_unique<TRVRTFTables>();
        Tables = own.get();
    }
    try {
        TRtfDocWriter writer(*this, Stream, Path, Level, *Tables);
        if (own) {
            Tables->TwipsPerPixel = 1440.0 / GetScreenPixelsPerInchY();
            writer.BuildFontTable();
            FillRtfTables(*Tables, true);
            if (Color != clWindow) Tables->ColorList.AddUniqueColor(Color);
        }
        if (top) {
            writer.WriteHeader(Color);
            WriteText(Stream, GetRTFOptions() & rvrtfDuplicateUnicode ? "\\uc1" : "\\uc0");
            if (SelectionOnly) writer.WriteSelectionListParagraph(startNo);
        }
        for (int i = startNo; i <= endNo; ++i)
            writer.WriteItem(i, startNo, startOffs, endNo, endOffs);
        if (PendingCheckpoint) writer.WriteBookmark(*PendingCheckpoint);
        if (top) {
            bool paraEnd = !SelectionOnly || ((endNo == ItemCount() - 1 || IsParaStart(endNo + 1)) &&
                                              endOffs >= ItemEndOffset(endNo));
            // A rule ends its paragraph itself.
            bool closedByRule = Tables->ParagraphClosed && dynamic_cast<TRVBreakItemInfo*>(&LiveItem(endNo));
            if (paraEnd && !closedByRule) WriteText(Stream, "\\par");
            WriteText(Stream, "}");
        }
    } catch (...) {
        return false;
    }
    return true;
}

bool TCustomRVData::SaveRtfFile(const AnsiString& FileName, bool SelectionOnly, TColor Color) {
    try {
        TRVSaveFileStream file(FileName);
        if (!SaveRtf(file, ExtractFilePath(FileName), SelectionOnly, 0, Color, nullptr, true)) return false;
        file.Commit();
        return true;
    } catch (...) {
        return false;
    }
}
