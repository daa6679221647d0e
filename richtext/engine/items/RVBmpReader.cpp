// The reader of BMP files: uncompressed bitmaps of 1, 4, 8, 16, 24 and 32
// bits per pixel, with palettes and bit-field masks, into 24-bit pixels;
// everything malformed, compressed or oversized is refused.
#include <cstring>

#include "richtext/engine/items/RVGraphic.h"

namespace {

[[noreturn]] void Refuse(const char* Why) {
    throw EInvalidGraphic(AnsiString("Invalid bitmap: ") + Why);
}

uint32_t LE16(const uint8_t* P) {
    return uint32_t(P[0]) | uint32_t(P[1]) << 8;
}

uint32_t LE32(const uint8_t* P) {
    return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24;
}

// One channel of a bit-field mask: where it starts and how many bits it has.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    explicit TChannel(uint32_t AMask) : Mask(AMask) {
        if (!Mask) return;
        while (!((Mask >> Shift) & 1))
            ++Shift;
        while (Shift + Bits < 32 && ((Mask >> (Shift + Bits)) & 1))
            ++Bits;
    }
    uint8_t Of(uint32_t Value) const {
        if (!Bits) return 0;
        uint32_t v = (Value & Mask) >> Shift;
        uint32_t max = Bits >= 32 ? 0xFFFFFFFFu : (1u << Bits) - 1;
        return uint8_t(uint64_t(v) * 255 / max);
    }
};

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;

} // namespace

std::unique_ptr<TRVBitmapImage> RVReadBmp(const uint8_t* Data, std::size_t Size) {
    constexpr std::size_t FileHeader = 14;
    if (!Data || Size < FileHeader + 4 || Data[0] != 'B' || Data[1] != 'M') Refuse("no BMP header");
    uint32_t bitsOffset = LE32(Data + 10);
    const uint8_t* info = Data + FileHeader;
    uint32_t infoSize = LE32(info);
    // The information headers of the Windows versions that have them; the
    // old 12-byte header is not written by anything current.
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        Refuse("unknown information header");
    if (Size < FileHeader + infoSize) Refuse("truncated header");
    int64_t width = int32_t(LE32(info + 4));
    int64_t height = int32_t(LE32(info + 8));
    uint32_t planes = LE16(info + 12), bitCount = LE16(info + 14);
    uint32_t compression = LE32(info + 16);
    uint32_t colorsUsed = LE32(info + 32);
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) Refuse("empty picture");
    if (width > RVMaxPictureSide || height > RVMaxPictureSide || width * height > RVMaxPicturePixels)
        Refuse("picture too large");
    if (planes != 1) Refuse("bad plane count");
    bool paletted = bitCount == 1 || bitCount == 4 || bitCount == 8;
    if (!paletted && bitCount != 16 && bitCount != 24 && bitCount != 32) Refuse("unsupported bit count");
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32)))
        Refuse("unsupported compression");

    // Masks: after a 40-byte header they follow it; larger headers hold them.
    std::size_t afterInfo = FileHeader + infoSize;
    uint32_t masks[3] = {0, 0, 0};
    if (compression == BI_BITFIELDS) {
        const uint8_t* m = info + 40;
        if (infoSize == 40) {
            if (Size < afterInfo + 12) Refuse("truncated masks");
            afterInfo += 12;
        }
        for (int i = 0; i < 3; ++i)
            masks[i] = LE32(m + 4 * i);
    } else if (bitCount == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (bitCount == 32) {
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    }

    uint8_t palette[256][3] = {};
    if (paletted) {
        uint32_t maxColors = 1u << bitCount;
        uint32_t count = colorsUsed ? colorsUsed : maxColors;
        if (count > maxColors) Refuse("bad palette size");
        if (Size < afterInfo || (Size - afterInfo) / 4 < count) Refuse("truncated palette");
        for (uint32_t i = 0; i < count; ++i)
            std::memcpy(palette[i], Data + afterInfo + 4 * i, 3);
        afterInfo += 4 * std::size_t(count);
    }

    uint64_t rowBytes = ((uint64_t(width) * bitCount + 31) / 32) * 4;
    if (bitsOffset < afterInfo || bitsOffset > Size || (Size - bitsOffset) / rowBytes < uint64_t(height))
        Refuse("truncated pixels");

    auto image = std::make_unique<TRVBitmapImage>(int(width), int(height));
    TChannel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* src = Data + bitsOffset + std::size_t(row) * rowBytes;
        int y = topDown ? int(row) : int(height - 1 - row);
        uint8_t* dest = image->ScanLine(y);
        switch (bitCount) {
        case 24:
            std::memcpy(dest, src, std::size_t(width) * 3);
            break;
        case 32:
        case 16:
            for (int64_t x = 0; x < width; ++x) {
                uint32_t v = bitCount == 32 ? LE32(src + 4 * x) : LE16(src + 2 * x);
                dest[3 * x] = blue.Of(v);
                dest[3 * x + 1] = green.Of(v);
                dest[3 * x + 2] = red.Of(v);
            }
            break;
        default: {
            int perByte = 8 / int(bitCount);
            uint32_t mask = (1u << bitCount) - 1;
            for (int64_t x = 0; x < width; ++x) {
                uint8_t byte = src[x / perByte];
                int shift = 8 - int(bitCount) * int(x % perByte + 1);
                std::memcpy(dest + 3 * x, palette[(byte >> shift) & mask], 3);
            }
            break;
        }
        }
    }
    return image;
}
