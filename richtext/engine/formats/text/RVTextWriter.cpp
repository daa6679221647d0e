// The plain-text writer: a document or its selection as ANSI or UTF-16
// text, paragraphs and line breaks as line ends, other items in their own
// plain-text form; and that form for list markers and labels.
#include "richtext/engine/formats/text/RVTextWriter.h"

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/formats/RVSaveFile.h"
#include "richtext/engine/items/RVLabelItem.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/style/RVStyle.h"

bool RVTextPageBreaksAsFormFeed = false;

namespace {

class TTextWriter {
public:
    TTextWriter(TCustomRVData& AData, TStream& AStream, const AnsiString& APath, int ALineWidth,
                bool ATextOnly, bool AUnicode)
        : Data(AData), Stream(AStream), Path(APath), LineWidth(ALineWidth), TextOnly(ATextOnly),
          Unicode(AUnicode) {}

    void WriteLineEnd(bool FormFeed) {
        if (Unicode)
            WriteText(Stream, FormFeed ? std::string_view("\x0C\0", 2) : std::string_view("\r\0\n\0", 4));
        else
            WriteText(Stream, FormFeed ? "\x0C" : "\r\n");
    }

    void WriteTextItem(int ItemNo, int From, int Count) {
        TCustomRVItemInfo& item = Data.LiveItem(ItemNo);
        AnsiString text = ItemTextCopy(Data.GetItemText(ItemNo), From, Count, item.ItemOptions);
        if (Data.DoSaveItemToFile(Path, &Data, ItemNo, rvsfText, Unicode, text)) {
            WriteText(Stream, text);
            return;
        }
        if (Unicode && !item.IsUnicode())
            text = AnsiToRawUnicode(unsigned(Data.GetStyleCodePage(Data.GetActualStyle(item))), text);
        else if (!Unicode && item.IsUnicode())
            text = RawUnicodeToAnsi(unsigned(Data.GetDefCodePage()), text);
        WriteText(Stream, text);
    }

    void WriteNonTextItem(int ItemNo) {
        TCustomRVItemInfo& item = Data.LiveItem(ItemNo);
        if (TextOnly && !item.GetBoolValue(iqInTextOnlyOutput)) return;
        AnsiString text;
        if (Data.DoSaveItemToFile(Path, &Data, ItemNo, rvsfText, Unicode, text)) {
            WriteText(Stream, text);
            return;
        }
        bool inEncoding = Unicode && item.GetBoolValue(iqTextInOutputEncoding);
        text = item.AsText(LineWidth, &Data, Data.GetItemText(ItemNo), Path, TextOnly, inEncoding);
        if (Unicode && !inEncoding) text = AnsiToRawUnicode(unsigned(Data.GetDefCodePage()), text);
        WriteText(Stream, text);
    }

    void WriteItem(int ItemNo, int From, int To) {
        if (Data.LiveItem(ItemNo).StyleNo >= 0)
            WriteTextItem(ItemNo, From, To - From);
        else if (From < To)
            WriteNonTextItem(ItemNo);
    }

private:
    TCustomRVData& Data;
    TStream& Stream;
    AnsiString Path;
    int LineWidth;
    bool TextOnly;
    bool Unicode;
};

} // namespace

bool TCustomRVData::SaveTextStream(const AnsiString& Path, TStream& Stream, int LineWidth, bool SelectionOnly,
                                   bool TextOnly, bool Unicode, bool UnicodeWriteSignature) {
    try {
        int startNo, startOffs, endNo, endOffs;
        bool partial;
        GetSaveRange(SelectionOnly, startNo, startOffs, endNo, endOffs, partial);
        if (startNo < 0 || endNo < startNo || partial) return true;
        if (Unicode && UnicodeWriteSignature) WriteText(Stream, "\xFF\xFE");
        TTextWriter writer(*this, Stream, Path, LineWidth, TextOnly, Unicode);
        if (SelectionOnly) {
            int lineStart = GetFirstLineItem(startNo);
            if (lineStart != startNo && LiveItem(lineStart).StyleNo == rvsListMarker)
                writer.WriteItem(lineStart, 0, 1);
        }
        if (startNo == endNo) {
            writer.WriteItem(startNo, startOffs, endOffs);
            return true;
        }
        writer.WriteItem(startNo, startOffs, ItemEndOffset(startNo));
        for (int i = startNo + 1; i <= endNo; ++i) {
            TCustomRVItemInfo& item = LiveItem(i);
            if (RVTextPageBreaksAsFormFeed && item.GetPageBreakBefore())
                writer.WriteLineEnd(true);
            else if (!item.GetContinuesParagraph())
                writer.WriteLineEnd(false);
            writer.WriteItem(i, ItemStartOffset(i), i == endNo ? endOffs : ItemEndOffset(i));
        }
    } catch (...) {
        return false;
    }
    return true;
}

bool TCustomRVData::SaveTextFile(const AnsiString& FileName, int LineWidth, bool Unicode) {
    try {
        TRVSaveFileStream file(FileName);
        if (!SaveTextStream(ExtractFilePath(FileName), file, LineWidth, false, false, Unicode, Unicode))
            return false;
        file.Commit();
        return true;
    } catch (...) {
        return false;
    }
}

// ---------------------------------------------------------------- items as plain text

AnsiString TRVMarkerItemInfo::AsText(int, TCustomRVData* RVData, const AnsiString&, const AnsiString&, bool,
                                     bool Unicode) const {
    TRVStyle* style = RVData ? RVData->GetRVStyle() : nullptr;
    TRVListLevel* level = style ? GetLevelInfo(style) : nullptr;
    if (!level) return AnsiString();
    auto out = [&](const AnsiString& Ansi) { return Unicode ? AnsiToRawUnicode(0, Ansi) : Ansi; };
    switch (level->ListType) {
    case rvlstPicture:
    case rvlstImageList:
    case rvlstImageListCounter:
        return out("* ");
    case rvlstUnicodeBullet: {
        WideString text = level->FormatStringW + u" ";
        if (Unicode) return WideToRawUnicode(text);
        // A character the code page lacks shows as "*", not as "?".
        AnsiString ansi;
        for (char16_t c : text) {
            AnsiString one = RawUnicodeToAnsi(0, WideToRawUnicode(std::u16string_view(&c, 1)));
            ansi += c != u'?' && one == "?" ? AnsiString("*") : one;
        }
        return ansi;
    }
    default:
        break;
    }
    AnsiString text = DisplayString;
    if (SameText(level->Font().Name(), "Symbol")) {
        for (char& c : text)
            if ((uint8_t(c) >= 0xA7 && uint8_t(c) <= 0xAA) || uint8_t(c) == 0xB7 || uint8_t(c) == 0xD7 ||
                uint8_t(c) == 0xE0)
                c = '*';
        static const std::pair<char, const char*> arrows[] = {
            {'\xDB', "<=>"}, {'\xDC', "<="}, {'\xDE', "=>"}, {'\xAB', "<->"}, {'\xAC', "<-"}, {'\xAE', "->"}};
        for (auto [from, to] : arrows) {
            AnsiString replaced;
            for (char c : text)
                replaced += c == from ? AnsiString(to) : AnsiString(1, c);
            text = replaced;
        }
    }
    return out(text + " ");
}

AnsiString TRVLabelItemInfo::AsText(int, TCustomRVData*, const AnsiString&, const AnsiString&, bool,
                                    bool) const {
    return Text;
}
