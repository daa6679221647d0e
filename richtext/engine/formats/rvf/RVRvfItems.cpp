// The RVF records of the items: the common header line, the extra-property
// lines, and each kind's own lines and their reading.
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/formats/rvf/RVRvfFuncs.h"
#include "richtext/engine/formats/rvf/RVRvfReader.h"
#include "richtext/engine/items/RVLabelItem.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/items/RVTextItems.h"
#include "richtext/engine/style/RVStyle.h"
#include "richtext/engine/text/RVClasses.h"

namespace {

void WriteIntProperty(TStream& Stream, int Code, int Value) {
    WriteRvfLine(Stream, ExtraItemPropertyKey(Code) + "=" + IntToStr(Value));
}

void WriteStrProperty(TStream& Stream, int Code, const AnsiString& Value) {
    WriteRvfLine(Stream, ExtraItemStrPropertyKey(Code) + "=" + Value);
}

// Integers separated by blanks; false for a missing or malformed one.
bool ReadInts(std::string_view Rest, std::initializer_list<int*> Values) {
    std::size_t pos = 0;
    for (int* value : Values) {
        if (pos >= Rest.size()) return false;
        std::size_t end = Rest.find(' ', pos);
        if (end == std::string_view::npos) end = Rest.size();
        if (!TryStrToInt(AnsiString(Rest.substr(pos, end - pos)), *value)) return false;
        pos = end + 1;
    }
    return true;
}

bool IsBlank(std::string_view Rest) {
    return Rest.find_first_not_of(' ') == std::string_view::npos;
}

// A picture's data as the line of its record: hexadecimal, or straight
// into the stream as a binary line.
void WriteGraphicLine(TStream& Stream, const TRVGraphic& Graphic, bool Binary) {
    if (Binary) {
        int64_t start = BeginRvfBinaryLine(Stream);
        Graphic.SaveToStream(Stream);
        EndRvfBinaryLine(Stream, start);
    } else {
        TRVMemoryStream memory;
        Graphic.SaveToStream(memory);
        WriteRvfLine(Stream, StringToHex(std::string_view(reinterpret_cast<const char*>(memory.Memory()),
                                                          std::size_t(memory.Size()))));
    }
}

// The bytes of a payload line; false for bad hexadecimal.
bool PayloadBytes(const AnsiString& Line, int SaveType, AnsiString& Bytes) {
    if (SaveType == 2) {
        Bytes = Line;
        return true;
    }
    return HexToString(Line, Bytes);
}

} // namespace

// ---------------------------------------------------------------- base classes

int TCustomRVItemInfo::GetRVFExtraPropertyCount() const {
    return Hint.empty() ? 0 : 1;
}

void TCustomRVItemInfo::SaveRVFExtraProperties(TStream& Stream) const {
    if (!Hint.empty()) WriteStrProperty(Stream, rvespHint, Hint);
}

void TCustomRVItemInfo::SaveRVF(TStream&, TCustomRVData*, int, int, const AnsiString&, bool) {}

bool TCustomRVItemInfo::ReadRVFHeaderExtra(std::string_view, TRVFReader&) {
    return true;
}

bool TCustomRVItemInfo::ReadRVFLine(const AnsiString& Line, TRVFReader&, int, int, int, AnsiString&, bool&) {
    ReadRVFExtraProperty(Line);
    return true;
}

int TRVNonTextItemInfo::GetRVFExtraPropertyCount() const {
    return TCustomRVItemInfo::GetRVFExtraPropertyCount() + (Unremovable ? 1 : 0);
}

void TRVNonTextItemInfo::SaveRVFExtraProperties(TStream& Stream) const {
    TCustomRVItemInfo::SaveRVFExtraProperties(Stream);
    if (Unremovable) WriteIntProperty(Stream, rvepUnremovable, 1);
}

void TRVNonTextItemInfo::WriteRVFHeader(TStream& Stream, TCustomRVData* RVData, int AParaNo,
                                        bool ForceContinue, int LineCount, int SaveType) const {
    int options = ItemOptions & 0x0F;
    if (ForceContinue) options = (options & ~(ioPageBreakBefore | ioLineBreakBefore)) | ioContinuesParagraph;
    WriteRvfLine(Stream,
                 Format("%d %d %s %d %d %s %s",
                        {StyleNo, LineCount, MakeRvfItemParaStr(*RVData, AParaNo, ForceContinue), options,
                         SaveType, MakeRvfTagStr(Tag, RVData->TagsArePChars()), GetRVFHeaderExtra()}));
}

AnsiString TRVRectItemInfo::GetRVFHeaderExtra() const {
    return IntToStr(int(VAlign));
}

bool TRVRectItemInfo::ReadRVFHeaderExtra(std::string_view Rest, TRVFReader&) {
    if (IsBlank(Rest)) {
        VAlign = vaBaseline;
        return true;
    }
    int value = 0;
    if (!ReadInts(Rest, {&value})) return false;
    VAlign = TRVVAlign(uint8_t(value) <= vaAbsMiddle ? uint8_t(value) : 0);
    return true;
}

int TRVRectItemInfo::GetRVFExtraPropertyCount() const {
    return TRVNonTextItemInfo::GetRVFExtraPropertyCount() + (VShift != 0) + VShiftAbs + (Spacing != 1);
}

void TRVRectItemInfo::SaveRVFExtraProperties(TStream& Stream) const {
    TRVNonTextItemInfo::SaveRVFExtraProperties(Stream);
    if (VShift != 0) WriteIntProperty(Stream, rvepVShift, VShift);
    if (VShiftAbs) WriteIntProperty(Stream, rvepVShiftAbs, 1);
    if (Spacing != 1) WriteIntProperty(Stream, rvepSpacing, Spacing);
}

// ---------------------------------------------------------------- text, break, tab

bool TRVTextItemInfo::ReadRVFHeaderExtra(std::string_view Rest, TRVFReader&) {
    if (IsBlank(Rest) || Rest[0] != '"') return true;
    AnsiString hint;
    for (std::size_t i = 1; i < Rest.size(); ++i) {
        if (Rest[i] == '"') {
            if (i + 1 < Rest.size() && Rest[i + 1] == '"') {
                hint += '"';
                ++i;
                continue;
            }
            break;
        }
        hint += Rest[i];
    }
    Hint = hint;
    return true;
}

AnsiString TRVBreakItemInfo::GetRVFHeaderExtra() const {
    return Format("%d %d %d", {int(Color), int(BreakStyle), int(LineWidth)});
}

bool TRVBreakItemInfo::ReadRVFHeaderExtra(std::string_view Rest, TRVFReader&) {
    if (IsBlank(Rest)) {
        Color = clNone;
        BreakStyle = brkLine;
        LineWidth = 1;
        return true;
    }
    int color = 0, style = 0, width = 0;
    if (!ReadInts(Rest, {&color, &style, &width})) return false;
    Color = TColor(color);
    BreakStyle = TRVBreakStyle(style >= 0 && style <= brkDashed ? style : 0);
    LineWidth = uint8_t(width);
    return true;
}

void TRVBreakItemInfo::SaveRVF(TStream& Stream, TCustomRVData* RVData, int, int AParaNo, const AnsiString&,
                               bool) {
    WriteRVFHeader(Stream, RVData, AParaNo, false, GetRVFExtraPropertyCount(), 0);
    SaveRVFExtraProperties(Stream);
}

AnsiString TRVTabItemInfo::GetRVFHeaderExtra() const {
    return IntToStr(TextStyleNo);
}

bool TRVTabItemInfo::ReadRVFHeaderExtra(std::string_view Rest, TRVFReader&) {
    if (IsBlank(Rest)) return true;
    int value = 0;
    if (!ReadInts(Rest, {&value})) return false;
    TextStyleNo = value;
    return true;
}

void TRVTabItemInfo::SaveRVF(TStream& Stream, TCustomRVData* RVData, int, int AParaNo, const AnsiString&,
                             bool) {
    WriteRVFHeader(Stream, RVData, AParaNo, false, 0, 0);
}

// ---------------------------------------------------------------- pictures

int TRVGraphicItemInfo::GetRVFExtraPropertyCount() const {
    auto* bitmap = dynamic_cast<const TRVBitmapImage*>(Image.get());
    bool transparent = bitmap && bitmap->Transparent;
    return TRVRectItemInfo::GetRVFExtraPropertyCount() + !Resizable + (ImageWidth > 0) + (ImageHeight > 0) +
           (MinHeightOnPage > 0) + NoHtmlSize + (AnimationInterval > 0) +
           (transparent ? 2 + (bitmap->TransparentMode == TTransparentMode::tmFixed) : 0) +
           !ImageFileName.empty() + !Alt.empty();
}

void TRVGraphicItemInfo::SaveRVFExtraProperties(TStream& Stream) const {
    TRVRectItemInfo::SaveRVFExtraProperties(Stream);
    if (!Resizable) WriteIntProperty(Stream, rvepResizable, 0);
    if (ImageWidth > 0) WriteIntProperty(Stream, rvepWidth, ImageWidth);
    if (ImageHeight > 0) WriteIntProperty(Stream, rvepHeight, ImageHeight);
    if (MinHeightOnPage > 0) WriteIntProperty(Stream, rvepMinHeightOnPage, MinHeightOnPage);
    if (NoHtmlSize) WriteIntProperty(Stream, rvepNoHtmlSize, 1);
    if (AnimationInterval > 0) WriteIntProperty(Stream, rvepAnimationInterval, AnimationInterval);
    if (auto* bitmap = dynamic_cast<const TRVBitmapImage*>(Image.get()); bitmap && bitmap->Transparent) {
        WriteIntProperty(Stream, rvepTransparent, 1);
        bool fixed = bitmap->TransparentMode == TTransparentMode::tmFixed;
        WriteIntProperty(Stream, rvepTransparentMode, fixed ? 1 : 0);
        if (fixed) WriteIntProperty(Stream, rvepTransparentColor, int(bitmap->TransparentColorValue));
    }
    if (!ImageFileName.empty()) WriteStrProperty(Stream, rvespFileName, ImageFileName);
    if (!Alt.empty()) WriteStrProperty(Stream, rvespAlt, Alt);
}

void TRVGraphicItemInfo::SaveRVF(TStream& Stream, TCustomRVData* RVData, int, int AParaNo,
                                 const AnsiString& Name, bool ForceContinue) {
    TRVFOptions options = RVData->GetRVFOptions();
    bool body = (options & rvfoSavePicturesBody) && Image;
    bool binary = options & rvfoSaveBinary;
    WriteRVFHeader(Stream, RVData, AParaNo, ForceContinue, GetRVFExtraPropertyCount() + (body ? 3 : 1),
                   body ? (binary ? 2 : 0) : 1);
    WriteRvfLine(Stream, Name);
    if (body) WriteRvfLine(Stream, Image->GraphicClassName());
    SaveRVFExtraProperties(Stream);
    if (body) WriteGraphicLine(Stream, *Image, binary);
}

bool TRVGraphicItemInfo::ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int SaveType, int LineNo,
                                     int LineCount, AnsiString& Name, bool& NextLineBinary) {
    if (LineNo == 0) {
        Name = Line;
        return true;
    }
    if (SaveType == 1) {
        ReadRVFExtraProperty(Line);
        return true;
    }
    if (LineNo == 1) {
        Image = RVCreateGraphic(Line);
        if (!Image) {
            Reader.AddWarning(rvfwUnknownPictureClass);
            if (!(Reader.Options() & rvfoIgnoreUnknownPicFmt)) return false;
        }
    } else if (LineNo == LineCount - 1) {
        if (!Image) return true;
        AnsiString bytes;
        if (!PayloadBytes(Line, SaveType, bytes)) return false;
        try {
            Image->LoadFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        } catch (const Exception&) {
            // A damaged picture shows as an empty one; the rest is read.
            Image = std::make_unique<TRVBitmapImage>(16, 16);
            Reader.AddWarning(rvfwDamagedPicture);
        }
        return true;
    } else {
        ReadRVFExtraProperty(Line);
    }
    if (SaveType == 2 && LineNo == LineCount - 2) NextLineBinary = true;
    return true;
}

// ---------------------------------------------------------------- list markers

AnsiString TRVMarkerItemInfo::GetRVFHeaderExtra() const {
    return Format("%d %d %d %d", {ListNo, Level, StartFrom, int(Reset)});
}

bool TRVMarkerItemInfo::ReadRVFHeaderExtra(std::string_view Rest, TRVFReader&) {
    int listNo = 0, level = 0, startFrom = 0, reset = 0;
    if (!ReadInts(Rest, {&listNo, &level, &startFrom, &reset})) return false;
    ListNo = listNo < -1 ? -1 : listNo;
    Level = level < 0 ? 0 : level;
    StartFrom = startFrom;
    Reset = reset != 0;
    return true;
}

int TRVMarkerItemInfo::GetRVFExtraPropertyCount() const {
    return TRVRectItemInfo::GetRVFExtraPropertyCount() + NoHtmlSize;
}

void TRVMarkerItemInfo::SaveRVFExtraProperties(TStream& Stream) const {
    TRVRectItemInfo::SaveRVFExtraProperties(Stream);
    if (NoHtmlSize) WriteIntProperty(Stream, rvepNoHtmlSize, 1);
}

void TRVMarkerItemInfo::SaveRVF(TStream& Stream, TCustomRVData* RVData, int, int, const AnsiString&, bool) {
    WriteRVFHeader(Stream, RVData, ParaNo, false, GetRVFExtraPropertyCount(), 0);
    SaveRVFExtraProperties(Stream);
}

// ---------------------------------------------------------------- labels and sequences

void TRVLabelItemInfo::WriteLabelLines(TStream& Stream, const AnsiString& Name) const {
    WriteRvfLine(Stream, Text);
    WriteRvfLine(Stream, IntToStr(TextStyleNo));
    WriteRvfLine(Stream, IntToStr(MinWidth()));
    WriteRvfLine(Stream, IntToStr(Alignment));
    WriteRvfLine(Stream, ProtectTextStyleNo ? "protect" : "no-protect");
    WriteRvfLine(Stream, Name);
}

void TRVLabelItemInfo::SaveRVF(TStream& Stream, TCustomRVData* RVData, int, int AParaNo,
                               const AnsiString& Name, bool ForceContinue) {
    WriteRVFHeader(Stream, RVData, AParaNo, ForceContinue, GetRVFExtraPropertyCount() + 6, 0);
    WriteLabelLines(Stream, Name);
    SaveRVFExtraProperties(Stream);
}

bool TRVLabelItemInfo::ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int, int LineNo, int,
                                   AnsiString& Name, bool&) {
    switch (LineNo) {
    case 0:
        Text = Line;
        break;
    case 1:
        TextStyleNo = StrToInt(Line);
        break;
    case 2:
        SetMinWidth(StrToInt(Line));
        break;
    case 3:
        SetAlignment(uint8_t(StrToInt(Line)));
        break;
    case 4:
        ProtectTextStyleNo = Line == "protect";
        break;
    case 5:
        Name = Line;
        SetOwnerRVData(&Reader.Data());
        break;
    default:
        ReadRVFExtraProperty(Line);
    }
    return true;
}

void TRVSeqItemInfo::SaveRVF(TStream& Stream, TCustomRVData* RVData, int, int AParaNo, const AnsiString& Name,
                             bool ForceContinue) {
    WriteRVFHeader(Stream, RVData, AParaNo, ForceContinue, GetRVFExtraPropertyCount() + 10, 0);
    WriteRvfLine(Stream, SeqName);
    WriteRvfLine(Stream, IntToStr(int(GetNumberType())));
    WriteRvfLine(Stream, Reset ? "1" : "0");
    WriteRvfLine(Stream, IntToStr(StartFrom));
    WriteRvfLine(Stream, IntToStr(TextStyleNo));
    WriteRvfLine(Stream, IntToStr(MinWidth()));
    WriteRvfLine(Stream, IntToStr(Alignment));
    WriteRvfLine(Stream, ProtectTextStyleNo ? "protect" : "no-protect");
    WriteRvfLine(Stream, Name);
    WriteRvfLine(Stream, FormatString);
    SaveRVFExtraProperties(Stream);
}

bool TRVSeqItemInfo::ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int, int LineNo, int,
                                 AnsiString& Name, bool&) {
    switch (LineNo) {
    case 0:
        SeqName = Line;
        break;
    case 1: {
        int type = StrToInt(Line);
        SetNumberType(TRVSeqType(type >= 0 && type <= rvseqUpperRoman ? type : 0));
        break;
    }
    case 2:
        Reset = Line != "0";
        break;
    case 3:
        StartFrom = StrToInt(Line);
        break;
    case 4:
        TextStyleNo = StrToInt(Line);
        break;
    case 5:
        SetMinWidth(StrToInt(Line));
        break;
    case 6:
        SetAlignment(uint8_t(StrToInt(Line)));
        break;
    case 7:
        ProtectTextStyleNo = Line == "protect";
        break;
    case 8:
        Name = Line;
        SetOwnerRVData(&Reader.Data());
        break;
    case 9:
        FormatString = Line;
        break;
    default:
        ReadRVFExtraProperty(Line);
    }
    return true;
}

// ---------------------------------------------------------------- notes

void TCustomRVNoteItemInfo::SaveRVF(TStream& Stream, TCustomRVData* RVData, int, int AParaNo,
                                    const AnsiString& Name, bool ForceContinue) {
    bool binary = RVData->GetRVFOptions() & rvfoSaveBinary;
    WriteRVFHeader(Stream, RVData, AParaNo, ForceContinue, GetRVFExtraPropertyCount() + 8, binary ? 2 : 0);
    WriteRvfLine(Stream, Text);
    WriteRvfLine(Stream, IntToStr(TextStyleNo));
    WriteRvfLine(Stream, IntToStr(MinWidth()));
    WriteRvfLine(Stream, IntToStr(Alignment));
    WriteRvfLine(Stream, Reset ? "1" : "0");
    WriteRvfLine(Stream, IntToStr(StartFrom));
    WriteRvfLine(Stream, Name);
    SaveRVFExtraProperties(Stream);
    if (binary) {
        int64_t start = BeginRvfBinaryLine(Stream);
        if (!Document->SaveRvfEx(Stream, rvfssDocument, nullptr, clNone)) throw EZoroZudoError(errRVFDocProp);
        EndRvfBinaryLine(Stream, start);
    } else {
        TRVMemoryStream memory;
        if (!Document->SaveRvfEx(memory, rvfssDocument, nullptr, clNone)) throw EZoroZudoError(errRVFDocProp);
        WriteRvfLine(Stream, StringToHex(std::string_view(reinterpret_cast<const char*>(memory.Memory()),
                                                          std::size_t(memory.Size()))));
    }
}

bool TCustomRVNoteItemInfo::ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int SaveType, int LineNo,
                                        int LineCount, AnsiString& Name, bool& NextLineBinary) {
    if (LineNo == LineCount - 1 && LineNo >= 7) {
        AnsiString bytes;
        if (!PayloadBytes(Line, SaveType, bytes)) return false;
        Document->Clear();
        return Reader.ReadSubDocument(bytes, *Document);
    }
    switch (LineNo) {
    case 0:
        Text = Line;
        break;
    case 1:
        TextStyleNo = StrToInt(Line);
        break;
    case 2:
        SetMinWidth(StrToInt(Line));
        break;
    case 3:
        SetAlignment(uint8_t(StrToInt(Line)));
        break;
    case 4:
        Reset = Line != "0";
        break;
    case 5:
        StartFrom = StrToInt(Line);
        break;
    case 6:
        Name = Line;
        SetOwnerRVData(&Reader.Data());
        break;
    default:
        ReadRVFExtraProperty(Line);
    }
    if (SaveType == 2 && LineNo == LineCount - 2) NextLineBinary = true;
    return true;
}

void TRVNoteReferenceItemInfo::SaveRVF(TStream& Stream, TCustomRVData* RVData, int, int AParaNo,
                                       const AnsiString& Name, bool ForceContinue) {
    WriteRVFHeader(Stream, RVData, AParaNo, ForceContinue, GetRVFExtraPropertyCount() + 5, 0);
    WriteRvfLine(Stream, Text);
    WriteRvfLine(Stream, IntToStr(TextStyleNo));
    WriteRvfLine(Stream, IntToStr(MinWidth()));
    WriteRvfLine(Stream, IntToStr(Alignment));
    WriteRvfLine(Stream, Name);
    SaveRVFExtraProperties(Stream);
}

bool TRVNoteReferenceItemInfo::ReadRVFLine(const AnsiString& Line, TRVFReader& Reader, int, int LineNo, int,
                                           AnsiString& Name, bool&) {
    switch (LineNo) {
    case 0:
        Text = Line;
        break;
    case 1:
        TextStyleNo = StrToInt(Line);
        break;
    case 2:
        SetMinWidth(StrToInt(Line));
        break;
    case 3:
        SetAlignment(uint8_t(StrToInt(Line)));
        break;
    case 4:
        Name = Line;
        SetOwnerRVData(&Reader.Data());
        Text = Reader.Data().GetNoteText();
        break;
    default:
        ReadRVFExtraProperty(Line);
    }
    return true;
}
