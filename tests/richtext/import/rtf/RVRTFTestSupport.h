// What the RTF reader's tests share: the reader's events logged as lines of
// text, documents read from RTF and summed up as text, and RTF written
// in UTF-8 for readability.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/text/RVClasses.h"
#include "richtext/engine/text/RVCodePages.h"
#include "richtext/import/rtf/RVRTFImport.h"

inline std::unique_ptr<TRVMemoryStream> StreamOf(const std::string& Bytes) {
    auto stream = std::make_unique<TRVMemoryStream>();
    stream->WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    stream->SetPosition(0);
    return stream;
}

inline const char* PositionName(TRVRTFPosition P) {
    return P == rtf_ts_NewPara ? "p" : P == rtf_ts_NewLine ? "l" : "c";
}

// The reader's events, one line each: "p:text" for text at a new
// paragraph ("l" a new line, "c" continuing), "u:" for Unicode text (as
// UTF-8), and names for the rest.
struct TReaderLog {
    TRVRTFErrorCode Result = rtf_ec_OK;
    std::vector<std::string> Events;
};

// Installs handlers that log into Log; Unicode asks for Unicode text.
inline void LogEvents(TRVRTFReader& Reader, TReaderLog& Log, bool Unicode) {
    Reader.OnNewText = [&Log](TRVRTFReader*, const AnsiString& Text, TRVRTFPosition P) {
        Log.Events.push_back(std::string(PositionName(P)) + ":" + AnsiToUtf8(Text));
    };
    if (Unicode)
        Reader.OnNewUnicodeText = [&Log](TRVRTFReader*, const WideString& Text, TRVRTFPosition P) {
            Log.Events.push_back(std::string("u") + PositionName(P) + ":" + WideToUtf8(Text));
        };
    Reader.OnTable = [&Log](TRVRTFReader*, TRVRTFTableEventKind Kind, bool&) {
        static const char* const names[] = {"table start", "table end", "table forced end", "row end",
                                            "cell end"};
        Log.Events.push_back(names[Kind]);
    };
    Reader.OnNote = [&Log](TRVRTFReader*, TRVRTFNoteEventType What, TRVRTFPosition P) {
        static const char* const names[] = {"note mark", "note start", "endnote", "note end"};
        Log.Events.push_back(std::string(names[What]) + " " + PositionName(P));
    };
    Reader.OnNewSeq = [&Log](TRVRTFReader*, TRVRTFPosition P, const AnsiString& Name, TRVRTFSeqType Type,
                             bool Reset, int Start) {
        Log.Events.push_back("seq " + std::string(PositionName(P)) + " " + Name + " " +
                             std::to_string(int(Type)) + (Reset ? " reset " + std::to_string(Start) : ""));
    };
    Reader.OnBookmarkStart = [&Log](TRVRTFReader*, const AnsiString& Name) {
        Log.Events.push_back("bookmark " + Name);
    };
    Reader.OnRequiredPageBreak = [&Log](TObject*) { Log.Events.push_back("page"); };
}

inline TReaderLog ReadEvents(const std::string& Rtf, bool Unicode = false,
                             const std::function<void(TRVRTFReader&)>& Setup = nullptr) {
    TReaderLog log;
    TRVRTFReader reader(nullptr);
    LogEvents(reader, log, Unicode);
    if (Setup) Setup(reader);
    auto stream = StreamOf(Rtf);
    log.Result = reader.ParseRtfStream(*stream);
    return log;
}

// The text of an item as UTF-8.
inline std::string ItemUtf8(const TCustomRVData& Data, int ItemNo) {
    const TCustomRVItemInfo& item = *Data.GetItem(ItemNo);
    if (item.IsUnicode()) return WideToUtf8(RawUnicodeToWide(Data.GetItemText(ItemNo)));
    return WideToUtf8(RVCodePageToWide(unsigned(Data.GetStyleCodePage(Data.GetItemStyle(ItemNo))),
                                       Data.GetItemText(ItemNo)));
}

// A document as text: paragraphs separated by "|", lines by "/", items of
// a line by "+"; items other than text in brackets.
inline std::string Summary(const TCustomRVData& Data) {
    std::string out;
    for (int i = 0; i < Data.ItemCount(); ++i) {
        const TCustomRVItemInfo& item = *Data.GetItem(i);
        if (i > 0) out += item.GetContinuesParagraph() ? "+" : item.GetLineBreakBefore() ? "/" : "|";
        if (item.GetPageBreakBefore()) out += "[page]";
        if (item.Checkpoint) out += "[#" + item.Checkpoint->Name + "]";
        if (item.StyleNo >= 0) {
            out += ItemUtf8(Data, i);
        } else if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(&item)) {
            out += "[marker " + std::to_string(marker->ListNo) + "." + std::to_string(marker->Level) + " " +
                   AnsiToUtf8(marker->DisplayString) + "]";
        } else if (auto* note = dynamic_cast<const TCustomRVNoteItemInfo*>(&item)) {
            out += std::string(dynamic_cast<const TRVEndnoteItemInfo*>(note) ? "[endnote " : "[footnote ") +
                   Summary(*note->Document) + "]";
        } else if (dynamic_cast<const TRVNoteReferenceItemInfo*>(&item)) {
            out += "[ref]";
        } else if (auto* seq = dynamic_cast<const TRVSeqItemInfo*>(&item)) {
            out += "[seq " + seq->SeqName + " " + seq->Text + "]";
        } else if (auto* picture = dynamic_cast<const TRVGraphicItemInfo*>(&item)) {
            out += "[picture " + std::to_string(picture->Image ? picture->Image->Width() : 0) + "x" +
                   std::to_string(picture->Image ? picture->Image->Height() : 0) + "]";
        } else if (item.StyleNo == rvsTab) {
            out += "[tab]";
        } else {
            out += "[item " + std::to_string(item.StyleNo) + "]";
        }
    }
    return out;
}

// Reads RTF (UTF-8 text outside control words becomes CP1251) with the
// entry point's options, checks the document and gives it back.
inline TRVRTFReadResult ReadChecked(const std::string& Rtf) {
    TRVRTFReadResult result = ReadRtfDocument(Rtf);
    EXPECT_EQ(CheckRTFDocumentInvariants(*result.Document), "") << Rtf;
    return result;
}

inline TRVRTFReadResult ReadChecked(const std::string& Rtf, TRVRTFReaderProperties& Options) {
    TRVRTFReadResult result = ReadRtfDocument(Rtf, Options);
    EXPECT_EQ(CheckRTFDocumentInvariants(*result.Document), "") << Rtf;
    return result;
}

// The text style of item ItemNo of Data.
inline const TFontInfo& TextStyleOf(const TRVRTFDocument& Data, int ItemNo) {
    return *Data.Style->TextStyles()[Data.GetItemStyle(ItemNo)];
}
inline const TParaInfo& ParaStyleOf(const TRVRTFDocument& Data, int ItemNo) {
    return *Data.Style->ParaStyles()[Data.GetItemPara(ItemNo)];
}
