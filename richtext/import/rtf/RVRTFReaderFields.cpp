// The RTF reader's fields (INCLUDEPICTURE, SYMBOL and SEQ instructions)
// and its pictures: the end of a picture group, loading picture data into
// a picture, and offering pictures to the document builder.
#include <cmath>
#include <cstring>
#include <fstream>

#include "richtext/engine/text/RVCodePages.h"
#include "richtext/engine/text/RVFuncs.h"
#include "richtext/import/rtf/RVRTFFields.h"
#include "richtext/import/rtf/RVRTFReader.h"

namespace {

uint32_t LE16(const uint8_t* P) {
    return uint32_t(P[0]) | uint32_t(P[1]) << 8;
}
uint32_t LE32(const uint8_t* P) {
    return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}
void PutLE32(uint8_t* P, uint32_t V) {
    for (int i = 0; i < 4; ++i)
        P[i] = uint8_t(V >> (8 * i));
}

[[noreturn]] void Refuse(const char* Why) {
    throw EInvalidGraphic(AnsiString("Invalid picture: ") + Why);
}

// A device-independent bitmap: the file header goes in front with the
// offset of the pixels that its information header and palette give.
// Nil for a kind of bitmap that is valid but not read here.
std::unique_ptr<TRVGraphic> LoadDib(std::vector<uint8_t>& Data) {
    constexpr std::size_t FileHeader = 14;
    if (Data.size() < FileHeader + 16) Refuse("truncated bitmap header");
    const uint8_t* info = Data.data() + FileHeader;
    uint32_t infoSize = LE32(info);
    if (infoSize < 40 || infoSize > 124 || Data.size() < FileHeader + infoSize) return nullptr;
    uint32_t bitCount = LE16(info + 14), compression = LE32(info + 16), colorsUsed = LE32(info + 32);
    bool known =
        bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
    if (!known || (compression != 0 && compression != 3)) return nullptr;
    uint64_t palette = bitCount <= 8 ? (colorsUsed ? colorsUsed : 1u << bitCount) : colorsUsed;
    uint64_t masks = compression == 3 && infoSize == 40 ? 12 : 0;
    uint64_t offset = FileHeader + infoSize + masks + 4 * palette;
    if (offset > Data.size()) Refuse("truncated bitmap");
    Data[0] = 'B';
    Data[1] = 'M';
    PutLE32(&Data[2], uint32_t(Data.size()));
    PutLE32(&Data[6], 0);
    PutLE32(&Data[10], uint32_t(offset));
    return RVReadBmp(Data.data(), Data.size());
}

// A device-dependent bitmap: rows from the top, WidthBytes each; read only
// when the data holds all of them. Depths without a palette to go by are
// not read.
std::unique_ptr<TRVGraphic> LoadDdb(const TRVRTFPicture& Pic) {
    int64_t width = Pic.Width, height = Pic.Height, stride = Pic.WidthBytes, bits = Pic.BitsPixel;
    if (width <= 0 || height <= 0 || Pic.Planes != 1) return nullptr;
    if (width > RVMaxPictureSide || height > RVMaxPictureSide || width * height > RVMaxPicturePixels)
        return nullptr;
    if (bits != 1 && bits != 8 && bits != 24 && bits != 32) return nullptr;
    if (stride < (width * bits + 7) / 8 || stride * height > int64_t(Pic.Data.size()))
        Refuse("bitmap data shorter than its size");
    auto image = std::make_unique<TRVBitmapImage>(int(width), int(height));
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* src = Pic.Data.data() + y * stride;
        uint8_t* dest = image->ScanLine(int(y));
        for (int64_t x = 0; x < width; ++x) {
            uint8_t b, g, r;
            switch (bits) {
            case 1:
                b = g = r = (src[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
                break;
            case 8:
                b = g = r = src[x];
                break;
            default: {
                const uint8_t* p = src + x * (bits / 8);
                b = p[0], g = p[1], r = p[2];
                break;
            }
            }
            dest[3 * x] = b;
            dest[3 * x + 1] = g;
            dest[3 * x + 2] = r;
        }
    }
    return image;
}

// Whether Name names a resource by a URL ("http://...", "file:...") rather
// than a local file; one letter before ":" is a drive.
bool HasUrlScheme(const AnsiString& Name) {
    std::size_t colon = Name.find(':');
    if (colon == AnsiString::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        char c = Name[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                  (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok) return false;
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------- pictures

std::unique_ptr<TRVGraphic> TRVRTFReader::LoadPicture(TRVRTFPicture& Pic) {
    std::unique_ptr<TRVGraphic> graphic;
    if (!Pic.Overflow) {
        switch (Pic.Type) {
        case 2: {
            auto jpeg = std::make_unique<TRVJpegImage>();
            jpeg->LoadFromBytes(Pic.Data.data(), Pic.Data.size());
            graphic = std::move(jpeg);
            break;
        }
        case 6:
            graphic = LoadDib(Pic.Data);
            break;
        case 7:
            graphic = LoadDdb(Pic);
            break;
        default:
            // Metafiles are never played, and no PNG reader is registered:
            // the document shows the invalid-picture sign instead.
            break;
        }
    }
    if (Pic.Type == 5 && Pic.Width > 0 && Pic.Height > 0) {
        Pic.PixelWidth = int32_t(std::lround(Pic.Width / 2540.0 * PixelsPerInch));
        Pic.PixelHeight = int32_t(std::lround(Pic.Height / 2540.0 * PixelsPerInch));
    }
    if (Pic.GoalWidth != 0 && Pic.GoalHeight != 0) {
        Pic.PixelWidth = int32_t(std::lround(double(Pic.GoalWidth) * PixelsPerInch / 1440));
        Pic.PixelHeight = int32_t(std::lround(double(Pic.GoalHeight) * PixelsPerInch / 1440));
    }
    return graphic;
}

TRVRTFErrorCode TRVRTFReader::OfferPicture(TRVRTFPicture* Picture, std::unique_ptr<TRVGraphic>& Graphic,
                                           const AnsiString& FileName, bool& Inserted) {
    Inserted = false;
    if (!OnNewPicture) return rtf_ec_OK;
    FinalisedPara();
    try {
        OnNewPicture(this, Picture, Graphic, FNextPosition, FileName, Inserted);
    } catch (...) {
        return rtf_ec_Aborted;
    }
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::EndPicture() {
    if (TRVRTFErrorCode r = EmitPending(true, true); r) return r;
    std::unique_ptr<TRVRTFPicture> picture = std::move(FPicture);
    if (FFieldPictureInserted) return rtf_ec_OK;
    if (!picture) return OnNewPicture ? rtf_ec_InvalidPicture : rtf_ec_OK;
    std::unique_ptr<TRVGraphic> graphic;
    try {
        graphic = LoadPicture(*picture);
        if (graphic && RVAfterImportGraphicHook) RVAfterImportGraphicHook(*graphic);
    } catch (...) {
        return rtf_ec_InvalidPicture;
    }
    // The data is not needed any more: a large picture is not held twice.
    picture->Data.clear();
    picture->Data.shrink_to_fit();
    bool inserted = false;
    if (TRVRTFErrorCode r = OfferPicture(picture.get(), graphic, AnsiString(), inserted); r) return r;
    if (picture->FromShpPict) FPictureInserted = inserted;
    if (inserted) FNextPosition = rtf_ts_ContinuePara;
    if (!inserted && FFieldPicture) {
        if (TRVRTFErrorCode r = OfferPicture(nullptr, FFieldPicture, AnsiString(), inserted); r) return r;
        if (inserted) FNextPosition = rtf_ts_ContinuePara;
    }
    FFieldPicture.reset();
    return rtf_ec_OK;
}

std::unique_ptr<TRVGraphic> TRVRTFReader::LoadPictureFile(const AnsiString& FileName) {
    if (!AllowIncludedPictureFiles || FileName.empty() || HasUrlScheme(FileName)) return nullptr;
    AnsiString path = FileName;
    for (char& c : path)
        if (c == '\\') c = '/';
    try {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (!in) return nullptr;
        std::streamoff size = in.tellg();
        if (size <= 0 || size > RVRTFMaxIncludedPictureFile) return nullptr;
        std::vector<uint8_t> bytes(std::size_t(size), 0);
        in.seekg(0);
        if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return nullptr;
        return RVReadGraphic(bytes.data(), bytes.size());
    } catch (...) {
        return nullptr;
    }
}

// ---------------------------------------------------------------- fields

TRVRTFErrorCode TRVRTFReader::EndField() {
    if (OnNewPicture && FFieldPicture) {
        if (RVAfterImportGraphicHook) RVAfterImportGraphicHook(*FFieldPicture);
        bool inserted = false;
        if (TRVRTFErrorCode r = OfferPicture(nullptr, FFieldPicture, AnsiString(), inserted); r) return r;
    }
    FNextPosition = rtf_ts_ContinuePara;
    FState.SetFieldInstruction(AnsiString());
    FFieldPictureInserted = false;
    FFieldPicture.reset();
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::EndFieldInstruction() {
    AnsiString instruction = RtfFieldInstructionText(FState.FieldInstruction());
    AnsiString upper = AnsiUpperCase(instruction.substr(0, 14));
    if (upper.compare(0, 14, "INCLUDEPICTURE") == 0) return IncludePicture(instruction.substr(14));
    if (upper.compare(0, 6, "IMPORT") == 0) return IncludePicture(instruction.substr(6));
    if (upper.compare(0, 6, "SYMBOL") == 0) return SymbolField(instruction.substr(6));
    if (upper.compare(0, 3, "SEQ") == 0) return SeqField(instruction.substr(3));
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::IncludePicture(const AnsiString& Rest) {
    AnsiString name = RtfFieldParameter(Rest, false);
    if (name.empty()) return rtf_ec_OK;
    if (!BasePath.empty() && (BasePath.back() == '/' || BasePath.back() == '\\') &&
        (name[0] == '/' || name[0] == '\\'))
        name.erase(0, 1);
    if (name.find(':') == AnsiString::npos && !(name[0] == '/' && BasePath.empty())) name = BasePath + name;
    std::unique_ptr<TRVGraphic> graphic;
    bool invalid = false;
    auto obtain = [&](const AnsiString& Location) {
        graphic.reset();
        invalid = false;
        if (OnImportPicture) OnImportPicture(this, Location, graphic, invalid);
        if (!graphic) graphic = LoadPictureFile(Location);
    };
    obtain(name);
    if (!graphic || invalid) {
        AnsiString decoded = DecodeUrlEscapes(name, false);
        if (decoded != name) obtain(decoded);
    }
    if (!graphic) return rtf_ec_OK;
    if (invalid) {
        FFieldPicture = std::move(graphic);
        return rtf_ec_OK;
    }
    if (RVAfterImportGraphicHook) RVAfterImportGraphicHook(*graphic);
    // A hyperlink around the field is what the picture links to.
    AnsiString own = FState.FieldInstruction();
    const TRVRTFReaderState* outer = FStack.Outer(1);
    FState.SetFieldInstruction(outer ? outer->FieldInstruction() : AnsiString());
    bool inserted = false;
    TRVRTFErrorCode r = OfferPicture(nullptr, graphic, name, inserted);
    FState.SetFieldInstruction(own);
    if (r) return r;
    FNextPosition = rtf_ts_ContinuePara;
    FFieldPictureInserted = true;
    return rtf_ec_OK;
}

TRVRTFErrorCode TRVRTFReader::SymbolField(const AnsiString& Rest) {
    TRVRTFSymbolField field;
    if (!ParseRtfSymbolField(Rest, field)) return rtf_ec_OK;
    // A character code that is no number is a bad field.
    if (!field.CodeValid) return rtf_ec_Exception;
    if (!field.Complete) return rtf_ec_OK;
    if (TRVRTFErrorCode r = EmitPending(true, true); r) return r;
    AnsiString oldName = FState.Char().FontNameOverride;
    int oldSize = FState.Char().Size;
    FState.EditChar().FontNameOverride = field.FontName;
    FState.EditChar().Size = field.Size;
    TRVRTFErrorCode r = CollectText(uint8_t(field.Code & 0xFF), true, true);
    if (r == rtf_ec_OK) r = EmitPending(false, false);
    FState.EditChar().FontNameOverride = oldName;
    FState.EditChar().Size = oldSize;
    return r;
}

TRVRTFErrorCode TRVRTFReader::SeqField(const AnsiString& Rest) {
    TRVRTFSeqField field = ParseRtfSeqField(Rest);
    if (!OnNewSeq) return rtf_ec_OK;
    FinalisedPara();
    try {
        OnNewSeq(this, FNextPosition, field.Name, field.NumberingType, field.Reset, field.StartFrom);
    } catch (...) {
        return rtf_ec_Aborted;
    }
    FNextPosition = rtf_ts_ContinuePara;
    FState.FieldResultHandled = true;
    return rtf_ec_OK;
}
