// The tables of one RTF save, shared by the document writer, nested
// documents and items, and the RTF pieces items write: pictures, marker
// fonts and the picture data.
#pragma once

#include <vector>

#include "richtext/engine/document/CRVData.h"
#include "richtext/engine/items/RVGraphic.h"
#include "richtext/engine/style/RVListInfo.h"
#include "richtext/engine/text/RVClasses.h"

struct TRVRTFFontTableItem {
    AnsiString FontName;
    uint8_t Charset = 1;
};

// Fonts by RTF number; a name is compared without case, the charset exactly.
class TRVRTFFontTable {
public:
    int Count() const { return int(FItems.size()); }
    const TRVRTFFontTableItem& Items(int Index) const { return FItems.at(std::size_t(Index)); }
    int Find(const AnsiString& FontName, uint8_t Charset) const;
    int AddUnique(const AnsiString& FontName, uint8_t Charset);
    void Clear() { FItems.clear(); }

private:
    std::vector<TRVRTFFontTableItem> FItems;
};

struct TRVRTFTables {
    // An RTF colour number is a position here; entry 0 is the automatic colour.
    TRVColorList ColorList;
    // Per text style, its font's number.
    TRVIntegerList StyleToFont;
    TRVRTFFontTable FontTable;
    // Per list style: while filling, how many list overrides it gets; after
    // the override table, its first override number, which restarting
    // markers advance as they are written. The copy keeps the first numbers.
    TRVIntegerList ListOverrideCounts;
    TRVIntegerList ListOverrideCountsCopy;
    double TwipsPerPixel = 15;
    // Template and list identifiers drawn in this save, never drawn twice.
    std::vector<int32_t> DrawnIds;
    // Set by an item that closed the current paragraph itself (a table's
    // last row): the next paragraph starts without "\par ".
    bool ParagraphClosed = false;

    int Twips(double Pixels) const { return int(Round(Pixels * TwipsPerPixel)); }
    // The colour's number; -1 when it is not in the table.
    int ColorIndex(TColor Color) const { return ColorList.IndexOf(int32_t(Color)); }
};

// One "{\pict ...}" group: scaling when a shown size is set, the picture's
// words and its data (upper-case hexadecimal, or binary when asked).
void WritePictureRtf(TStream& Stream, const TRVGraphic& Graphic, int ShownWidth, TRVRTFOptions Options,
                     int ShownHeight, double TwipsPerPixel);
// Bytes as RTF picture data.
void WriteRtfPictureData(TStream& Stream, const uint8_t* Data, std::size_t Size, bool Binary);
// The font, effects, size, language and colour of a list marker.
void WriteMarkerFontRtf(TStream& Stream, const TRVMarkerFont& Font, const TRVRTFTables& Tables,
                        TRVStyle& RVStyle);
// The level text and level numbers of a list level.
void GetLevelTextRtf(const TRVListLevel& Level, unsigned CodePage, bool DuplicateUnicode,
                     AnsiString& LevelText, AnsiString& LevelNumbers);
