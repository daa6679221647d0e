// What the writer tests share: a document whose writer settings and
// hyperlink targets a test sets, a plain style sheet, a random source that
// counts, and the fixed parts of every RTF header.
#pragma once

#include <map>

#include "RVTestData.h"
#include "platform/rtl/Random.h"
#include "richtext/engine/formats/rtf/RVRtfTables.h"
#include "richtext/engine/items/RVMarker.h"

// A document with the writers' questions answered by the test.
class TWriterTestData : public TTestRVData {
public:
    using TTestRVData::TTestRVData;
    TRVRTFOptions RTFOptions = RVDefaultRTFOptions;
    // Hyperlink id -> target and extras.
    std::map<int, std::pair<AnsiString, AnsiString>> Links;

    TRVRTFOptions GetRTFOptions() const override { return RTFOptions; }
    void DoWriteHyperlink(int Id, TCustomRVData*, int, TRVSaveFormat, AnsiString& Target,
                          AnsiString& Extras) override {
        auto it = Links.find(Id);
        if (it == Links.end()) return;
        Target = it->second.first;
        Extras = it->second.second;
    }
};

// A document whose selection a test sets.
class TSelectionData : public TWriterTestData {
public:
    using TWriterTestData::TWriterTestData;
    int StartNo = -1, StartOffs = 0, EndNo = -1, EndOffs = 0;
    void GetSaveRange(bool SelectionOnly, int& AStartNo, int& AStartOffs, int& AEndNo, int& AEndOffs,
                      bool& Partial) const override {
        if (!SelectionOnly)
            return TWriterTestData::GetSaveRange(false, AStartNo, AStartOffs, AEndNo, AEndOffs, Partial);
        AStartNo = StartNo, AStartOffs = StartOffs, AEndNo = EndNo, AEndOffs = EndOffs, Partial = false;
    }
};

// Identifiers drawn while it is installed are 1000, 1001, ...
class TCountingRandom : public TRandomSource {
public:
    uint32_t Next() override { return FNext++; }

private:
    uint32_t FNext = 1000;
};

class TCountingRandomSeam {
public:
    TCountingRandomSeam() { SetRandomSource(std::make_unique<TCountingRandom>()); }
    ~TCountingRandomSeam() { SetRandomSource(nullptr); }
};

// One text style (Arial 10) and one paragraph style.
inline std::unique_ptr<TRVStyle> MakePlainStyle() {
    auto style = std::make_unique<TRVStyle>(nullptr);
    style->TextStyles().Clear();
    style->TextStyles().Add();
    style->ParaStyles().Clear();
    style->ParaStyles().Add();
    return style;
}

inline std::string SaveRtfString(TCustomRVData& Data, bool SelectionOnly = false) {
    TRVMemoryStream stream;
    EXPECT_TRUE(Data.SaveRtf(stream, "", SelectionOnly, 0, clWindow, nullptr, true));
    return std::string(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

inline std::string SaveTextString(TCustomRVData& Data, bool Unicode, bool Signature, bool TextOnly = false,
                                  bool SelectionOnly = false) {
    TRVMemoryStream stream;
    EXPECT_TRUE(Data.SaveTextStream("", stream, 10, SelectionOnly, TextOnly, Unicode, Signature));
    return std::string(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

// The automatic colour and the sixteen fixed colours every RTF starts with.
inline constexpr const char* RtfFixedColors =
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green255\\blue255;"
    "\\red0\\green255\\blue0;"
    "\\red255\\green0\\blue255;\\red255\\green0\\blue0;\\red255\\green255\\blue0;\\red255\\green255\\blue255;"
    "\\red0\\green0\\blue128;\\red0\\green128\\blue128;\\red0\\green128\\blue0;\\red128\\green0\\blue128;"
    "\\red128\\green0\\blue0;\\red128\\green128\\blue0;\\red128\\green128\\blue128;"
    "\\red192\\green192\\blue192;}";

// The header of a document whose only font is Arial, up to the list table.
inline std::string ArialHeader() {
    return std::string("{\\rtf1\\ansi\\ansicpg1251\\uc1\\deff0\\deflang1049\\deflangfe1049{\\fonttbl{"
                       "\\f0\\fnil Arial;}}") +
           RtfFixedColors;
}

// The paragraph properties of the plain paragraph style.
inline constexpr const char* PlainPara = "\\pard\\fi0\\li0\\ql\\ri0\\sb0\\sa0\\itap0 ";
