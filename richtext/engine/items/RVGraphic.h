// The pictures documents hold: the graphic base, 24-bit bitmaps read from
// and written as BMP, JPEG pictures kept as their file data, the factory
// and hooks that make pictures by class name, and the readers of outside
// picture data.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/canvas/Graphics.h"
#include "platform/rtl/Streams.h"

class TRVBitmapImage;

// Pictures read from outside are refused beyond these: no side longer than
// a 16-bit coordinate, and no more pixels than a large photograph, so that
// a few malformed bytes cannot ask for gigabytes.
inline constexpr int RVMaxPictureSide = 32767;
inline constexpr int64_t RVMaxPicturePixels = int64_t(1) << 26;

// A picture of some format. Every picture can give its pixels as a bitmap,
// which is how it is drawn and how writers convert it.
class TRVGraphic : public TPersistent {
public:
    // The class name stored with the picture ("TBitmap", "TJPEGImage").
    virtual AnsiString GraphicClassName() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // The picture in its own file format.
    virtual void SaveToStream(TStream& Stream) const = 0;
    // Replaces the picture by the one in Data (its file format); malformed
    // data raises EInvalidGraphic and leaves the picture as it was.
    virtual void LoadFromBytes(const uint8_t* Data, std::size_t Size) = 0;
    // The rest of Stream, from its position.
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const AnsiString& FileName);
    virtual std::unique_ptr<TRVGraphic> Clone() const = 0;
    // The pixels as a 24-bit bitmap (a copy).
    virtual std::unique_ptr<TRVBitmapImage> ToBitmap() const = 0;
    // Drawing on a canvas; errors of a picture that cannot be decoded draw
    // nothing.
    void Draw(TCanvas& Canvas, int X, int Y) const { StretchDraw(Canvas, Bounds(X, Y, Width(), Height())); }
    void StretchDraw(TCanvas& Canvas, const TRect& Dest) const;
    // Bitmaps may draw some pixels transparent; other pictures never do.
    virtual bool MayBeTransparent() const { return false; }

protected:
    // The canvas bitmap drawn, made on first use.
    mutable std::unique_ptr<TBitmap> FCanvasBitmap;
    void PictureChanged() { FCanvasBitmap.reset(); }
};

// A bitmap of 24-bit pixels in the layout of a BMP file: rows from the
// bottom up, blue-green-red, each row padded to four bytes. Saving is a
// header and one block, so pictures are written at memory speed.
class TRVBitmapImage : public TRVGraphic {
public:
    TRVBitmapImage() = default;
    TRVBitmapImage(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }

    AnsiString GraphicClassName() const override { return "TBitmap"; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // New pixels are white; the old ones keep their place from the top left.
    void SetSize(int AWidth, int AHeight);
    // Bytes of one stored row, padding included.
    int RowBytes() const { return RowBytesFor(FWidth); }
    static int RowBytesFor(int Width) { return (Width * 3 + 3) & ~3; }
    // Row Y counted from the top: Width blue-green-red triples.
    uint8_t* ScanLine(int Y);
    const uint8_t* ScanLine(int Y) const;
    // The stored rows, bottom row first.
    const std::vector<uint8_t>& Bits() const { return FBits; }
    TColor Pixel(int X, int Y) const;
    void SetPixel(int X, int Y, TColor Color);
    void Fill(TColor Color);

    // Transparency is kept by the bitmap itself, as the item's extra
    // properties expect.
    bool Transparent = false;
    TTransparentMode TransparentMode = TTransparentMode::tmAuto;
    TColor TransparentColorValue = clNone;
    bool MayBeTransparent() const override { return Transparent; }

    void Assign(TPersistent* Source) override;
    // A BMP file: 14-byte file header, 40-byte information header, rows.
    void SaveToStream(TStream& Stream) const override;
    // The same without the file header: what RTF embeds.
    void SaveDibToStream(TStream& Stream) const;
    // The 40-byte information header of the two above.
    std::array<uint8_t, 40> DibHeader() const;
    void LoadFromBytes(const uint8_t* Data, std::size_t Size) override;
    std::unique_ptr<TRVGraphic> Clone() const override;
    std::unique_ptr<TRVBitmapImage> ToBitmap() const override;

    // Between this bitmap and the canvas layer's.
    void AssignFromCanvasBitmap(const TBitmap& Source);
    std::unique_ptr<TBitmap> ToCanvasBitmap() const;

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<uint8_t> FBits;
};

// A JPEG picture, kept as the file it came from; its size is read when it
// is loaded and its pixels are decoded when they are needed.
class TRVJpegImage : public TRVGraphic {
public:
    AnsiString GraphicClassName() const override { return "TJPEGImage"; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    const std::vector<uint8_t>& Data() const { return FData; }

    void Assign(TPersistent* Source) override;
    void SaveToStream(TStream& Stream) const override;
    // Decodes the whole picture once, so data that would not decode is
    // refused here rather than when it is drawn.
    void LoadFromBytes(const uint8_t* Data, std::size_t Size) override;
    std::unique_ptr<TRVGraphic> Clone() const override;
    std::unique_ptr<TRVBitmapImage> ToBitmap() const override;
    // Replaces the picture by Bitmap compressed at Quality (1..100).
    void CompressFrom(const TRVBitmapImage& Bitmap, int Quality);

private:
    std::vector<uint8_t> FData;
    int FWidth = 0;
    int FHeight = 0;
};

// ---- readers of outside picture data; each refuses malformed data with
// EInvalidGraphic and never reads past Size
std::unique_ptr<TRVBitmapImage> RVReadBmp(const uint8_t* Data, std::size_t Size);
// Decodes into a bitmap; Pixels nil only checks the data and its size.
void RVReadJpeg(const uint8_t* Data, std::size_t Size, int& Width, int& Height, TRVBitmapImage* Pixels);
// A BMP or JPEG file told apart by its first bytes.
std::unique_ptr<TRVGraphic> RVReadGraphic(const uint8_t* Data, std::size_t Size);

// ---- making pictures by class name
// A new empty picture of the class, or nil for a class the program does
// not know. Replaceable by the application; the default knows "TBitmap"
// and "TJPEGImage".
extern std::function<std::unique_ptr<TRVGraphic>(const AnsiString& ClassName)> RVCreateGraphicHook;
// Called after a picture was imported; the default does nothing.
extern std::function<void(TRVGraphic& Graphic)> RVAfterImportGraphicHook;
std::unique_ptr<TRVGraphic> RVCreateGraphic(const AnsiString& ClassName);
