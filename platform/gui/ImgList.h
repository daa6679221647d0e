// Image lists: equally sized images drawn by index, filled from bitmaps or
// from pictures, in files or built into the program.
#pragma once

#include <memory>
#include <vector>

#include "platform/canvas/Graphics.h"

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Clears the list when the size changes.
    void SetSize(int AWidth, int AHeight);
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    int Count() const { return int(FImages.size()); }
    // Adds the image (cut into as many images as fit its width); pixels of
    // MaskColor are transparent. Returns the index of the first one.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int Add(TBitmap* Image) { return AddMasked(Image, clNone); }
    // Adds the pictures of a BMP or PNG file, cut as AddMasked cuts them.
    // Pixels the file leaves transparent are transparent; in a file without
    // transparency, pixels of MaskColor are (clDefault: the colour of the
    // bottom-left pixel, clNone: none). Raises EInvalidGraphic when the file
    // is not a picture it reads.
    int AddImageFile(const AnsiString& FileName, TColor MaskColor = clNone);
    // The same for the bytes of such a file (a picture built into the program).
    int AddImageData(const void* Data, std::size_t Size, TColor MaskColor = clNone);
    void Clear();
    // Draws image Index at (X, Y); a disabled image is drawn greyed.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true) const;
    TNotifyEvent OnChange;

private:
    void Changed();
    // Adds a picture read from a file, whose transparent pixels are Key.
    int AddPicture(TBitmap* Picture, TColor Key, TColor MaskColor);
    int FWidth = 16;
    int FHeight = 16;
    struct TImage {
        std::unique_ptr<TBitmap> Bitmap;
        TColor Mask;
    };
    std::vector<TImage> FImages;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};

// Loads a BMP or PNG file into Bitmap and answers the colour that stands for
// its transparent pixels: a colour the picture does not use otherwise, or
// clNone when it has none. Raises EInvalidGraphic when the file is not a
// picture it reads.
TColor LoadPictureFile(const AnsiString& FileName, TBitmap* Bitmap);
// The same for the bytes of such a file.
TColor LoadPictureData(const void* Data, std::size_t Size, TBitmap* Bitmap);
