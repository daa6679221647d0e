// Fuzz target of the BMP reader, through the engine's one entry point for
// outside pictures: whatever the bytes, a picture read is a bitmap within
// the size limits whose rows fill its pixel store, and written as BMP it
// reads back to the same pixels; anything else is refused as invalid.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "richtext/engine/items/RVGraphic.h"
#include "richtext/engine/text/RVClasses.h"

namespace {
[[noreturn]] void Broken(const char* Rule) {
    std::fprintf(stderr, "bmp reader: %s\n", Rule);
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
    auto* bitmap = dynamic_cast<TRVBitmapImage*>(read.get());
    if (!bitmap) {
        if (Size >= 2 && Data[0] == 'B' && Data[1] == 'M') Broken("a BMP read as another picture");
        return 0; // a JPEG: its own target's
    }
    const int w = bitmap->Width(), h = bitmap->Height();
    if (w <= 0 || h <= 0 || w > RVMaxPictureSide || h > RVMaxPictureSide ||
        int64_t(w) * h > RVMaxPicturePixels)
        Broken("a picture outside the size limits");
    if (bitmap->Bits().size() != std::size_t(bitmap->RowBytes()) * std::size_t(h))
        Broken("rows that do not fill the pixel store");
    TRVMemoryStream stream;
    bitmap->SaveToStream(stream);
    std::unique_ptr<TRVGraphic> again;
    try {
        again = RVReadGraphic(static_cast<const uint8_t*>(stream.Memory()), std::size_t(stream.Size()));
    } catch (const EInvalidGraphic&) {
        Broken("a picture read does not read back once written");
    }
    auto* back = dynamic_cast<TRVBitmapImage*>(again.get());
    if (!back || back->Width() != w || back->Height() != h || back->Bits() != bitmap->Bits())
        Broken("a picture written reads back to other pixels");
    return 0;
}
