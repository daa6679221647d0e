// How items write themselves as RTF: breaks, tabs, pictures, list markers
// with their marker fonts and level texts, labels, sequences as SEQ
// fields, notes and note references; the picture group and its data; and
// the page words of the document parameters.
#include <algorithm>
#include <array>
#include <cstring>
#include <typeinfo>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/formats/rtf/RVRtfTables.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/text/RVCodePages.h"

// ---------------------------------------------------------------- the base and text items

void TCustomRVItemInfo::FillRTFTables(TRVRTFTables&, TCustomRVData*) const {}

void TCustomRVItemInfo::SaveRTF(TStream&, const AnsiString&, TCustomRVData*, int, const AnsiString&, int,
                                TRVRTFTables&) {}

void TRVBreakItemInfo::FillRTFTables(TRVRTFTables& Tables, TCustomRVData*) const {
    Tables.ColorList.AddUniqueColor(Color);
}

void TRVBreakItemInfo::SaveRTF(TStream& Stream, const AnsiString&, TCustomRVData*, int, const AnsiString&,
                               int Level, TRVRTFTables& Tables) {
    int color = Color == clNone ? 0 : std::max(Tables.ColorIndex(Color), 0);
    AnsiString nesting = Level == 0   ? AnsiString()
                         : Level == 1 ? "\\intbl\\itap1"
                                      : "\\itap" + IntToStr(Level);
    // A paragraph of its own in a group of its own: the paragraph before
    // it is already ended, and what follows keeps its own formatting
    // without another paragraph mark.
    WriteText(Stream, "{\\pard" + nesting + "\\plain\\fs6\\brdrb\\brdrs\\brdrw" +
                          IntToStr(Tables.Twips(LineWidth)) + "\\brdrcf" + IntToStr(color) + "\\par}");
    Tables.ParagraphClosed = true;
}

void TRVTabItemInfo::SaveRTF(TStream& Stream, const AnsiString&, TCustomRVData*, int, const AnsiString&, int,
                             TRVRTFTables&) {
    WriteText(Stream, "\\tab ");
}

// ---------------------------------------------------------------- pictures

namespace {

// Every byte value's two upper-case hexadecimal digits, stored as they are
// written, so a byte costs one table load and one 16-bit store.
const std::array<uint16_t, 256>& HexPairs() {
    static const std::array<uint16_t, 256> table = [] {
        std::array<uint16_t, 256> pairs{};
        const char* digits = "0123456789ABCDEF";
        for (int i = 0; i < 256; ++i) {
            const char pair[2] = {digits[i >> 4], digits[i & 15]};
            std::memcpy(&pairs[std::size_t(i)], pair, 2);
        }
        return pairs;
    }();
    return table;
}

// Two characters a byte into Out, which holds 2 x Size.
void EncodeHex(const uint8_t* Data, std::size_t Size, uint8_t* Out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: each nibble becomes '0' + n, plus the gap up
    // to 'A' where n > 9; the two digit vectors interleave high first.
    const __m128i nibble = _mm_set1_epi8(0x0F), nine = _mm_set1_epi8(9);
    const __m128i zero = _mm_set1_epi8('0'), letterGap = _mm_set1_epi8('A' - '0' - 10);
    auto digits = [&](__m128i n) {
        return _mm_add_epi8(_mm_add_epi8(n, zero), _mm_and_si128(_mm_cmpgt_epi8(n, nine), letterGap));
    };
    for (; Size - i >= 16; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + i));
        const __m128i high = digits(_mm_and_si128(_mm_srli_epi16(bytes, 4), nibble));
        const __m128i low = digits(_mm_and_si128(bytes, nibble));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + 2 * i), _mm_unpacklo_epi8(high, low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + 2 * i + 16), _mm_unpackhi_epi8(high, low));
    }
#endif
    const std::array<uint16_t, 256>& pairs = HexPairs();
    for (; i < Size; ++i)
        std::memcpy(Out + 2 * i, &pairs[Data[i]], 2);
}

} // namespace

void WriteRtfPictureData(TStream& Stream, const uint8_t* Data, std::size_t Size, bool Binary) {
    if (Binary) {
        WriteText(Stream, "{\\bin" + IntToStr(int64_t(Size)) + " ");
        Stream.WriteBuffer(Data, int64_t(Size));
        WriteText(Stream, "}");
        return;
    }
    // Pictures are most of a report's bytes. A memory stream takes the whole
    // picture in one block, with room for the rest of the document, and the
    // digits go straight into it; not a derived one, whose Write may differ.
    if (typeid(Stream) == typeid(TRVMemoryStream)) {
        auto* memory = static_cast<TRVMemoryStream*>(&Stream);
        int64_t need = memory->Position() + 2 * int64_t(Size) + 4096;
        if (need > memory->Capacity()) memory->SetCapacity(need + need / 4);
        if (uint8_t* out = memory->WriteInPlace(2 * int64_t(Size))) {
            EncodeHex(Data, Size, out);
            return;
        }
    }
    // Any other stream, or a memory stream that refused the room (the
    // writes below then raise its error), a block at a time.
    constexpr std::size_t Block = 1 << 15;
    uint8_t out[2 * Block];
    for (std::size_t done = 0; done < Size;) {
        std::size_t n = std::min(Block, Size - done);
        EncodeHex(Data + done, n, out);
        Stream.WriteBuffer(out, int64_t(2 * n));
        done += n;
    }
}

namespace {

void WriteDib(TStream& Stream, const TRVBitmapImage& Bitmap, TRVRTFOptions Options) {
    int rowBytes = Bitmap.Height() < 2 ? Bitmap.Width() : Bitmap.RowBytes();
    WriteText(Stream, "\\dibitmap0\\wbmwidthbytes" + IntToStr(rowBytes) + "\\picw" +
                          IntToStr(Bitmap.Width()) + "\\pich" + IntToStr(Bitmap.Height()) + "\\picwgoal" +
                          IntToStr(Bitmap.Width() * 15) + "\\pichgoal" + IntToStr(Bitmap.Height() * 15) +
                          " ");
    // The bitmap's file without its 14-byte file header: the information
    // header, then the rows straight from the bitmap.
    std::array<uint8_t, 40> header = Bitmap.DibHeader();
    const std::vector<uint8_t>& bits = Bitmap.Bits();
    if (Options & rvrtfSavePicturesBinary) {
        WriteText(Stream, "{\\bin" + IntToStr(int64_t(header.size() + bits.size())) + " ");
        Stream.WriteBuffer(header.data(), int64_t(header.size()));
        Stream.WriteBuffer(bits.data(), int64_t(bits.size()));
        WriteText(Stream, "}");
        return;
    }
    WriteRtfPictureData(Stream, header.data(), header.size(), false);
    WriteRtfPictureData(Stream, bits.data(), bits.size(), false);
}

} // namespace

void WritePictureRtf(TStream& Stream, const TRVGraphic& Graphic, int ShownWidth, TRVRTFOptions Options,
                     int ShownHeight, double) {
    AnsiString rtf = "{\\pict";
    if (ShownWidth > 0 && Graphic.Width() > 0)
        rtf += "\\picscalex" + IntToStr(Round(ShownWidth * 100.0 / Graphic.Width()));
    if (ShownHeight > 0 && Graphic.Height() > 0)
        rtf += "\\picscaley" + IntToStr(Round(ShownHeight * 100.0 / Graphic.Height()));
    WriteText(Stream, rtf);
    bool binary = Options & rvrtfSavePicturesBinary;
    if (auto* bitmap = dynamic_cast<const TRVBitmapImage*>(&Graphic)) {
        WriteDib(Stream, *bitmap, Options);
    } else if (auto* jpeg = dynamic_cast<const TRVJpegImage*>(&Graphic);
               jpeg && (Options & rvrtfSaveJpegAsJpeg)) {
        WriteText(Stream,
                  "\\jpegblip\\picw" + IntToStr(jpeg->Width()) + "\\pich" + IntToStr(jpeg->Height()) + " ");
        WriteRtfPictureData(Stream, jpeg->Data().data(), jpeg->Data().size(), binary);
    } else {
        // No metafiles here: any other picture goes as its pixels.
        WriteDib(Stream, *Graphic.ToBitmap(), Options);
    }
    WriteText(Stream, "}");
}

void TRVGraphicItemInfo::SaveRTF(TStream& Stream, const AnsiString&, TCustomRVData* RVData, int,
                                 const AnsiString&, int, TRVRTFTables& Tables) {
    if (!Image) return;
    WritePictureRtf(Stream, *Image, ImageWidth, RVData ? RVData->GetRTFOptions() : RVDefaultRTFOptions,
                    ImageHeight, Tables.TwipsPerPixel);
}

// ---------------------------------------------------------------- list markers

void WriteMarkerFontRtf(TStream& Stream, const TRVMarkerFont& Font, const TRVRTFTables& Tables,
                        TRVStyle& RVStyle) {
    AnsiString rtf;
    int font = Tables.FontTable.Find(Font.Name(), Font.Charset);
    if (font >= 0) rtf += "\\f" + IntToStr(font);
    if (Font.Style() & fsBold) rtf += "\\b";
    if (Font.Style() & fsItalic) rtf += "\\i";
    if (Font.Style() & fsUnderline) rtf += "\\ul";
    if (Font.Style() & fsStrikeOut) rtf += "\\strike";
    rtf += "\\fs" + IntToStr(2 * Font.Size());
    uint8_t baseCharset = RVStyle.TextStyles().Count() > 0 ? RVStyle.TextStyles()[0]->Charset : 1;
    if (Font.Charset != 1 && Font.Charset != baseCharset) {
        int language = CharsetToLanguage(Font.Charset);
        if (language != 0) rtf += "\\lang" + IntToStr(language);
    }
    if (Font.Color() != clWindowText) {
        int color = Tables.ColorIndex(Font.Color());
        if (color >= 0) rtf += "\\cf" + IntToStr(color);
    }
    WriteText(Stream, rtf);
}

namespace {

// A bullet's bytes beyond ASCII carry their Unicode value before them: a
// reader that took the byte in its own code page would show another sign
// (a symbol font's bullet came back as a middle dot). Symbol fonts use the
// private range their glyphs are mapped to.
AnsiString BulletTextRtf(const TRVListLevel& Level, const AnsiString& Pattern, unsigned CodePage) {
    auto& font = const_cast<TRVListLevel&>(Level).Font();
    bool symbol = Level.UsesFont() && (font.Charset == 2 || SameText(font.Name(), "Symbol") ||
                                       SameText(font.Name(), "Wingdings"));
    unsigned fontCodePage = Level.UsesFont() ? CharsetToCodePage(font.Charset) : 0;
    if (fontCodePage == 0 || fontCodePage == 1024) fontCodePage = CodePage;
    AnsiString out;
    for (char ch : Pattern) {
        auto c = uint8_t(ch);
        AnsiString byte = RtfEscapeAnsi(AnsiString(1, ch), false, false);
        if (c < 0x80) {
            out += byte;
            continue;
        }
        WideString wide =
            symbol ? WideString(1, char16_t(0xF000 + c)) : RVCodePageToWide(fontCodePage, AnsiString(1, ch));
        if (wide.size() == 1) out += "\\u" + IntToStr(int16_t(wide[0])) + " ";
        out += byte;
    }
    return out;
}

} // namespace

void GetLevelTextRtf(const TRVListLevel& Level, unsigned CodePage, bool DuplicateUnicode,
                     AnsiString& LevelText, AnsiString& LevelNumbers) {
    // The length is one byte: longer patterns are cut, so the count always
    // matches what follows it.
    constexpr int MaxLevelText = 255;
    auto hex2 = [](int V) {
        const char* digits = "0123456789abcdef";
        return AnsiString("\\'") + digits[(V >> 4) & 15] + digits[V & 15];
    };
    LevelText.clear();
    LevelNumbers.clear();
    if (Level.HasNumbering()) {
        // Placeholders become bytes 1..9 first, so literal digits of the
        // pattern are not taken for level numbers.
        std::vector<AnsiString> marks;
        for (int i = 0; i < 9; ++i)
            marks.push_back(AnsiString(1, char(i + 1)));
        AnsiString pattern = FormatMarkerPattern(Level.FormatString, marks);
        if (int(pattern.size()) > MaxLevelText) pattern.resize(MaxLevelText);
        AnsiString body;
        for (std::size_t p = 0; p < pattern.size(); ++p) {
            auto c = uint8_t(pattern[p]);
            if (c >= 1 && c <= 9) {
                body += hex2(c - 1);
                LevelNumbers += hex2(int(p) + 1);
            } else {
                body += RtfEscapeAnsi(AnsiString(1, char(c)), false, false);
            }
        }
        LevelText = hex2(int(pattern.size())) + body;
    } else if (Level.ListType == rvlstBullet) {
        AnsiString pattern = Level.FormatString.substr(0, MaxLevelText);
        LevelText = hex2(int(pattern.size())) + BulletTextRtf(Level, pattern, CodePage);
    } else if (Level.ListType == rvlstUnicodeBullet) {
        WideString text = Level.FormatStringW.substr(0, MaxLevelText);
        TRVMemoryStream stream;
        WriteRtfUnicodeText(stream, WideToRawUnicode(text), CodePage, DuplicateUnicode, false);
        LevelText = hex2(int(text.size())) +
                    AnsiString(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
    } else {
        LevelText = "\\'00";
    }
}

void TRVMarkerItemInfo::FillRTFTables(TRVRTFTables& Tables, TCustomRVData* RVData) const {
    if (!Reset || ListNo < 0 || Level < 0 || !RVData) return;
    TRVListLevel* level = GetLevelInfo(RVData->GetRVStyle());
    if (level && level->HasTextNumbering() && ListNo < Tables.ListOverrideCounts.Count())
        Tables.ListOverrideCounts.SetItem(ListNo, Tables.ListOverrideCounts[ListNo] + 1);
}

void TRVMarkerItemInfo::SaveRTF(TStream& Stream, const AnsiString&, TCustomRVData* RVData, int,
                                const AnsiString&, int, TRVRTFTables& Tables) {
    TRVStyle* style = RVData ? RVData->GetRVStyle() : nullptr;
    TRVListLevel* level = style ? GetLevelInfo(style) : nullptr;
    if (!level) return;
    TRVRTFOptions options = RVData->GetRTFOptions();
    switch (level->ListType) {
    case rvlstPicture:
        if (level->HasPicture()) {
            TRVBitmapImage picture;
            picture.AssignFromCanvasBitmap(level->Picture());
            WritePictureRtf(Stream, picture, 0, options, 0, Tables.TwipsPerPixel);
        }
        return;
    case rvlstImageList:
    case rvlstImageListCounter:
        return; // image lists come with their own unit
    default:
        break;
    }
    WriteText(Stream, "{\\listtext\\pard\\plain");
    WriteMarkerFontRtf(Stream, level->Font(), Tables, *style);
    WriteText(Stream, " ");
    if (level->ListType == rvlstUnicodeBullet)
        WriteRtfUnicodeText(Stream, WideToRawUnicode(level->FormatStringW),
                            unsigned(RVData->GetDefCodePage()), options & rvrtfDuplicateUnicode, false);
    else
        WriteText(Stream, RtfEscapeAnsi(DisplayString, false, false));
    int overrideNo = 1;
    if (ListNo < Tables.ListOverrideCounts.Count()) {
        if (Reset && level->HasTextNumbering()) {
            overrideNo = Tables.ListOverrideCounts[ListNo] + 1;
            Tables.ListOverrideCounts.SetItem(ListNo, overrideNo);
        } else {
            overrideNo = Tables.ListOverrideCountsCopy[ListNo];
        }
    }
    WriteText(Stream, "\\tab}\\ls" + IntToStr(overrideNo) + "\\ilvl" + IntToStr(Level) + " ");
}

// ---------------------------------------------------------------- labels, sequences, notes

void TRVLabelItemInfo::SaveRTF(TStream& Stream, const AnsiString&, TCustomRVData*, int, const AnsiString&,
                               int, TRVRTFTables&) {
    WriteText(Stream, RtfEscapeAnsi(Text, false, true));
}

void TRVSeqItemInfo::SaveRTF(TStream& Stream, const AnsiString&, TCustomRVData*, int, const AnsiString&, int,
                             TRVRTFTables&) {
    static const char* const notations[] = {"", "alphabetic", "ALPHABETIC", "roman", "ROMAN"};
    TRVSeqType type = GetNumberType();
    AnsiString notation =
        type > rvseqDecimal && type <= rvseqUpperRoman ? AnsiString("\\\\*") + notations[type] : "";
    AnsiString reset = Reset ? " \\\\r " + IntToStr(StartFrom) : AnsiString();
    WriteText(Stream, "{\\field{\\*\\fldinst {SEQ " + RtfEscapeAnsi(SeqName, false, true) + notation + reset +
                          " \\\\* MERGEFORMAT }}{\\fldrslt {" + RtfEscapeAnsi(Text, false, true) + "}}}");
}

void TCustomRVNoteItemInfo::FillRTFTables(TRVRTFTables& Tables, TCustomRVData*) const {
    Document->FillRtfTables(Tables, false);
}

void TCustomRVNoteItemInfo::SaveRTF(TStream& Stream, const AnsiString& Path, TCustomRVData*, int,
                                    const AnsiString&, int Level, TRVRTFTables& Tables) {
    WriteText(Stream, "\\chftn{\\footnote" + GetRtfNoteKeyword());
    if (!Document->SaveRtf(Stream, Path, false, Level, clNone, &Tables, false))
        throw EWriteError("Cannot write a note");
    WriteText(Stream, "}");
}

void TRVNoteReferenceItemInfo::SaveRTF(TStream& Stream, const AnsiString&, TCustomRVData*, int,
                                       const AnsiString&, int, TRVRTFTables&) {
    WriteText(Stream, "\\chftn ");
}

void TRVDocParameters::WriteDocParametersRtf(TStream& Stream) const {
    AnsiString rtf;
    if (Orientation == poLandscape) rtf += "\\landscape";
    rtf += "\\paperw" + IntToStr(ToTwips(PageWidth)) + "\\paperh" + IntToStr(ToTwips(PageHeight));
    rtf += "\\margl" + IntToStr(ToTwips(LeftMargin)) + "\\margr" + IntToStr(ToTwips(RightMargin));
    rtf += "\\margt" + IntToStr(ToTwips(TopMargin)) + "\\margb" + IntToStr(ToTwips(BottomMargin));
    if (HeaderYStored()) rtf += "\\headery" + IntToStr(ToTwips(HeaderY));
    if (FooterYStored()) rtf += "\\footery" + IntToStr(ToTwips(FooterY));
    rtf += "\\viewscale" + IntToStr(ZoomPercent);
    static const char* const zoom[] = {"\\viewzk1", "\\viewzk2", "\\viewzk0"};
    rtf += ZoomMode <= rvzmCustom ? zoom[ZoomMode] : "\\viewzk0";
    if (MirrorMargins) rtf += "\\margmirror";
    WriteTextLine(Stream, rtf);
}
