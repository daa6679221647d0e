// Fuzz target of the JPEG reader, through the engine's one entry point for
// outside pictures: whatever the bytes, a picture read is a JPEG within the
// size limits that keeps the bytes it came from and decodes again to pixels
// of its size, as drawing it will; anything else is refused as invalid.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "richtext/engine/items/RVGraphic.h"

namespace {
[[noreturn]] void Broken(const char* Rule) {
    std::fprintf(stderr, "jpeg reader: %s\n", Rule);
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    std::unique_ptr<TRVGraphic> read;
    try {
        read = RVReadGraphic(Data, Size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    auto* jpeg = dynamic_cast<TRVJpegImage*>(read.get());
    if (!jpeg) {
        if (Size >= 2 && Data[0] == 0xFF && Data[1] == 0xD8) Broken("a JPEG read as another picture");
        return 0; // a BMP: its own target's
    }
    const int w = jpeg->Width(), h = jpeg->Height();
    if (w <= 0 || h <= 0 || w > RVMaxPictureSide || h > RVMaxPictureSide ||
        int64_t(w) * h > RVMaxPicturePixels)
        Broken("a picture outside the size limits");
    if (jpeg->Data() != std::vector<uint8_t>(Data, Data + Size))
        Broken("the picture's bytes are not the input");
    std::unique_ptr<TRVBitmapImage> pixels;
    try {
        pixels = jpeg->ToBitmap();
    } catch (const EInvalidGraphic&) {
        Broken("a picture read does not decode");
    }
    if (pixels->Width() != w || pixels->Height() != h) Broken("the pixels are not the picture's size");
    return 0;
}
