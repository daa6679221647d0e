// The graphic base, 24-bit bitmaps with their BMP writer and canvas
// conversions, JPEG pictures, and the factory that makes pictures by class
// name.
#include "richtext/engine/items/RVGraphic.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

void PutLE16(uint8_t* P, uint32_t V) {
    P[0] = uint8_t(V);
    P[1] = uint8_t(V >> 8);
}

void PutLE32(uint8_t* P, uint32_t V) {
    for (int i = 0; i < 4; ++i)
        P[i] = uint8_t(V >> (8 * i));
}

std::unique_ptr<TRVGraphic> DefaultCreateGraphic(const AnsiString& ClassName) {
    if (ClassName == "TBitmap") return std::make_unique<TRVBitmapImage>();
    if (ClassName == "TJPEGImage") return std::make_unique<TRVJpegImage>();
    return nullptr;
}

} // namespace

std::function<std::unique_ptr<TRVGraphic>(const AnsiString&)> RVCreateGraphicHook = DefaultCreateGraphic;
std::function<void(TRVGraphic&)> RVAfterImportGraphicHook = [](TRVGraphic&) {};

std::unique_ptr<TRVGraphic> RVCreateGraphic(const AnsiString& ClassName) {
    return RVCreateGraphicHook ? RVCreateGraphicHook(ClassName) : DefaultCreateGraphic(ClassName);
}

// ---------------------------------------------------------------- base

void TRVGraphic::LoadFromStream(TStream& Stream) {
    int64_t rest = Stream.Size() - Stream.Position();
    std::vector<uint8_t> data(std::size_t(std::max<int64_t>(rest, 0)));
    Stream.ReadBuffer(data.data(), int64_t(data.size()));
    LoadFromBytes(data.data(), data.size());
}

void TRVGraphic::LoadFromFile(const AnsiString& FileName) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in) throw EInvalidGraphic("Cannot load the picture " + FileName);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw EInvalidGraphic("Cannot load the picture " + FileName);
    LoadFromBytes(data.data(), data.size());
}

void TRVGraphic::StretchDraw(TCanvas& Canvas, const TRect& Dest) const {
    if (Empty()) return;
    if (!FCanvasBitmap) {
        try {
            FCanvasBitmap = ToBitmap()->ToCanvasBitmap();
        } catch (const Exception&) {
            return;
        }
    }
    Canvas.StretchDraw(Dest, FCanvasBitmap.get());
}

// ---------------------------------------------------------------- bitmap

void TRVBitmapImage::SetSize(int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == FWidth && AHeight == FHeight) return;
    int rowBytes = RowBytesFor(AWidth);
    std::vector<uint8_t> bits(std::size_t(rowBytes) * std::size_t(AHeight), 0xFF);
    int keepRows = std::min(AHeight, FHeight), keepBytes = std::min(AWidth, FWidth) * 3;
    for (int y = 0; y < keepRows; ++y) {
        uint8_t* dest = bits.data() + std::size_t(AHeight - 1 - y) * std::size_t(rowBytes);
        std::memcpy(dest, ScanLine(y), std::size_t(keepBytes));
        // Padding stays zero, as BMP files have it.
        std::memset(dest + AWidth * 3, 0, std::size_t(rowBytes - AWidth * 3));
    }
    for (int y = keepRows; y < AHeight; ++y)
        std::memset(bits.data() + std::size_t(AHeight - 1 - y) * std::size_t(rowBytes) + AWidth * 3, 0,
                    std::size_t(rowBytes - AWidth * 3));
    FBits.swap(bits);
    FWidth = AWidth;
    FHeight = AHeight;
    PictureChanged();
}

uint8_t* TRVBitmapImage::ScanLine(int Y) {
    PictureChanged();
    return FBits.data() + std::size_t(FHeight - 1 - Y) * std::size_t(RowBytes());
}

const uint8_t* TRVBitmapImage::ScanLine(int Y) const {
    return FBits.data() + std::size_t(FHeight - 1 - Y) * std::size_t(RowBytes());
}

TColor TRVBitmapImage::Pixel(int X, int Y) const {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return clNone;
    const uint8_t* p = ScanLine(Y) + X * 3;
    return RGB(p[2], p[1], p[0]);
}

void TRVBitmapImage::SetPixel(int X, int Y, TColor Color) {
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
    TColor rgb = ColorToRGB(Color);
    uint8_t* p = ScanLine(Y) + X * 3;
    p[0] = uint8_t(GetBValue(rgb));
    p[1] = uint8_t(GetGValue(rgb));
    p[2] = uint8_t(GetRValue(rgb));
}

void TRVBitmapImage::Fill(TColor Color) {
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            SetPixel(x, y, Color);
}

void TRVBitmapImage::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TRVBitmapImage*>(Source)) {
        if (src == this) return;
        FWidth = src->FWidth;
        FHeight = src->FHeight;
        FBits = src->FBits;
        Transparent = src->Transparent;
        TransparentMode = src->TransparentMode;
        TransparentColorValue = src->TransparentColorValue;
        PictureChanged();
        return;
    }
    if (auto* graphic = dynamic_cast<TRVGraphic*>(Source)) {
        std::unique_ptr<TRVBitmapImage> pixels = graphic->ToBitmap();
        Assign(pixels.get());
        return;
    }
    TRVGraphic::Assign(Source);
}

std::array<uint8_t, 40> TRVBitmapImage::DibHeader() const {
    std::array<uint8_t, 40> header{};
    PutLE32(header.data(), 40);
    PutLE32(header.data() + 4, uint32_t(FWidth));
    PutLE32(header.data() + 8, uint32_t(FHeight));
    PutLE16(header.data() + 12, 1);
    PutLE16(header.data() + 14, 24);
    PutLE32(header.data() + 20, uint32_t(FBits.size()));
    return header;
}

void TRVBitmapImage::SaveDibToStream(TStream& Stream) const {
    std::array<uint8_t, 40> header = DibHeader();
    Stream.WriteBuffer(header.data(), int64_t(header.size()));
    Stream.WriteBuffer(FBits.data(), int64_t(FBits.size()));
}

void TRVBitmapImage::SaveToStream(TStream& Stream) const {
    uint8_t header[14] = {'B', 'M'};
    PutLE32(header + 2, uint32_t(14 + 40 + FBits.size()));
    PutLE32(header + 10, 14 + 40);
    Stream.WriteBuffer(header, sizeof header);
    SaveDibToStream(Stream);
}

void TRVBitmapImage::LoadFromBytes(const uint8_t* Data, std::size_t Size) {
    std::unique_ptr<TRVBitmapImage> read = RVReadBmp(Data, Size);
    FWidth = read->FWidth;
    FHeight = read->FHeight;
    FBits.swap(read->FBits);
    PictureChanged();
}

std::unique_ptr<TRVGraphic> TRVBitmapImage::Clone() const {
    return ToBitmap();
}

std::unique_ptr<TRVBitmapImage> TRVBitmapImage::ToBitmap() const {
    auto copy = std::make_unique<TRVBitmapImage>();
    copy->Assign(const_cast<TRVBitmapImage*>(this));
    return copy;
}

void TRVBitmapImage::AssignFromCanvasBitmap(const TBitmap& Source) {
    SetSize(0, 0);
    SetSize(Source.Width(), Source.Height());
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            SetPixel(x, y, Source.Pixel(x, y));
    Transparent = Source.Transparent;
    TransparentMode = Source.TransparentMode;
    TransparentColorValue = Source.TransparentColorValue;
}

std::unique_ptr<TBitmap> TRVBitmapImage::ToCanvasBitmap() const {
    auto bitmap = std::make_unique<TBitmap>(FWidth, FHeight);
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            bitmap->SetPixel(x, y, Pixel(x, y));
    bitmap->Transparent = Transparent;
    bitmap->TransparentMode = TransparentMode;
    bitmap->TransparentColorValue = TransparentColorValue;
    return bitmap;
}

// ---------------------------------------------------------------- JPEG

void TRVJpegImage::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TRVJpegImage*>(Source)) {
        if (src == this) return;
        FData = src->FData;
        FWidth = src->FWidth;
        FHeight = src->FHeight;
        PictureChanged();
        return;
    }
    TRVGraphic::Assign(Source);
}

void TRVJpegImage::SaveToStream(TStream& Stream) const {
    Stream.WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TRVJpegImage::LoadFromBytes(const uint8_t* Data, std::size_t Size) {
    int width = 0, height = 0;
    RVReadJpeg(Data, Size, width, height, nullptr);
    FData.assign(Data, Data + Size);
    FWidth = width;
    FHeight = height;
    PictureChanged();
}

std::unique_ptr<TRVGraphic> TRVJpegImage::Clone() const {
    auto copy = std::make_unique<TRVJpegImage>();
    copy->Assign(const_cast<TRVJpegImage*>(this));
    return copy;
}

std::unique_ptr<TRVBitmapImage> TRVJpegImage::ToBitmap() const {
    auto pixels = std::make_unique<TRVBitmapImage>();
    if (FData.empty()) return pixels;
    int width = 0, height = 0;
    RVReadJpeg(FData.data(), FData.size(), width, height, pixels.get());
    return pixels;
}

// ---------------------------------------------------------------- any picture

std::unique_ptr<TRVGraphic> RVReadGraphic(const uint8_t* Data, std::size_t Size) {
    if (Size >= 2 && Data[0] == 'B' && Data[1] == 'M') return RVReadBmp(Data, Size);
    if (Size >= 3 && Data[0] == 0xFF && Data[1] == 0xD8 && Data[2] == 0xFF) {
        auto jpeg = std::make_unique<TRVJpegImage>();
        jpeg->LoadFromBytes(Data, Size);
        return jpeg;
    }
    throw EInvalidGraphic("Unknown picture format");
}
