// The records the RTF reader builds from a document's header and groups:
// fonts, colours, the style sheet, pictures, embedded objects, and the
// list and list-override tables.
#pragma once

#include <unordered_map>
#include <vector>

#include "richtext/import/rtf/RVRTFProps.h"

struct TRVRTFFont {
    int32_t Number = 0;
    AnsiString Name;
    uint8_t Family = 0; // 0-7: \fnil ... \fbidi
    uint8_t Charset = 1;
};

// The font table in table order, found by number.
class TRVRTFFontList {
public:
    int Count() const { return int(FItems.size()); }
    const TRVRTFFont& Items(int Index) const { return FItems.at(std::size_t(Index)); }
    TRVRTFFont& Last() { return FItems.back(); }
    // False when the table is full.
    bool Add(int32_t Number);
    void Clear();
    // The index of the font with Number; -1 when none.
    int IndexOfNumber(int32_t Number) const;
    // Takes the endings "greek", "tur", "baltic", "cyr" and "ce" off the
    // names of fonts of the matching charsets.
    void RemoveCharsetSuffixes();

private:
    std::vector<TRVRTFFont> FItems;
    std::unordered_map<int32_t, int> FByNumber;
};

struct TRVRTFStyleSheetEntry {
    TRVRTFParaProperties ParaProps;
    TRVRTFCharProperties CharProps;
    bool Additive = false;
    bool Hidden = false;
    int32_t Number = 0;
    uint8_t Kind = 1; // 0 character, 1 paragraph, 2 section
    int BasedOn = -1; // index in the style sheet, -1 none
    int Next = -1;    // index in the style sheet, -1 none; the entry itself when not given
    AnsiString Name;
};

struct TRVRTFPicture {
    uint8_t Type = 0; // 0 EMF, 1 PNG, 2 JPEG, 3 PICT, 4 OS/2 metafile, 5 WMF, 6 DIB, 7 DDB
    int32_t MetafileMapMode = 1;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t GoalWidth = 0;
    int32_t GoalHeight = 0;
    int32_t ScaleX = 100;
    int32_t ScaleY = 100;
    int32_t WidthBytes = 0;
    int32_t BitsPixel = 1;
    int32_t Planes = 1;
    bool MetafileWithBitmap = false;
    bool FromShpPict = false;
    std::vector<uint8_t> Data;
    // Where the next data byte goes; a DIB leaves room for its file header.
    std::size_t DataPosition = 0;
    // Set when the data outgrew the limit; the picture is then unusable.
    bool Overflow = false;
    int32_t PixelWidth = 0;
    int32_t PixelHeight = 0;

    void WriteData(const uint8_t* Bytes, std::size_t Count);
    void WriteByte(uint8_t Byte) { WriteData(&Byte, 1); }
};

struct TRVRTFObject {
    uint8_t Type = 0; // \objemb ... \objocx
    std::vector<uint8_t> Data;
    bool Overflow = false;
    int32_t Width = 0;
    int32_t Height = 0;
};

struct TRVRTFList97 {
    std::vector<TRVRTFListLevel97> Levels;
    int32_t Id = 0;
    int32_t TemplateId = 0;
    bool Simple = false;
    AnsiString Name;
};

struct TRVRTFListOverrideLevel97 {
    bool StartOverride = false;
    int32_t Start = 1;
};

struct TRVRTFListOverride97 {
    std::vector<TRVRTFListOverrideLevel97> Levels;
    int ListIndex = -1; // position of the list in the list table
    int32_t Number = 0; // \ls
    int32_t Count = 0;
};

// Appends Ch to Text unless Text reached the name limit.
inline void AppendLimited(AnsiString& Text, char Ch, int Limit = RVRTFMaxNameLength) {
    if (int(Text.size()) < Limit) Text += Ch;
}
