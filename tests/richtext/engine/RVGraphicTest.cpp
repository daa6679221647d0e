// Pictures: bitmaps written and read at every depth, the class-name factory, and damaged files refused.
#include <gtest/gtest.h>

#include <random>

#include "richtext/engine/items/RVGraphic.h"
#include "richtext/engine/text/RVClasses.h"

namespace {

std::string Bytes(TRVGraphic& Graphic) {
    TRVMemoryStream stream;
    Graphic.SaveToStream(stream);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

std::vector<uint8_t> AsVector(const std::string& S) {
    return std::vector<uint8_t>(S.begin(), S.end());
}

void Put32(std::string& S, std::size_t At, uint32_t V) {
    for (int i = 0; i < 4; ++i)
        S[At + i] = char(V >> (8 * i));
}

// A BMP file of Width x Height with BitCount bits per pixel, the given
// palette (BGRA entries) and raw rows, bottom row first.
std::string MakeBmp(int Width, int Height, int BitCount, const std::string& Palette, const std::string& Rows,
                    uint32_t Compression = 0) {
    std::string file(54, '\0');
    file[0] = 'B', file[1] = 'M';
    Put32(file, 2, uint32_t(54 + Palette.size() + Rows.size()));
    Put32(file, 10, uint32_t(54 + Palette.size()));
    Put32(file, 14, 40);
    Put32(file, 18, uint32_t(Width));
    Put32(file, 22, uint32_t(Height));
    file[26] = 1;
    file[28] = char(BitCount);
    Put32(file, 30, Compression);
    Put32(file, 46, uint32_t(Palette.size() / 4));
    return file + Palette + Rows;
}

TEST(RVBitmapImageTest, WritesBmpWithPaddedRowsBottomUp) {
    TRVBitmapImage bitmap(3, 2);
    bitmap.SetPixel(0, 0, RGB(255, 0, 0));
    bitmap.SetPixel(2, 1, RGB(0, 0, 255));
    std::string expected = std::string("BM") + std::string("\x4E\0\0\0", 4) + std::string(4, '\0') +
                           std::string("\x36\0\0\0", 4) + std::string("\x28\0\0\0", 4) +
                           std::string("\x03\0\0\0", 4) + std::string("\x02\0\0\0", 4) +
                           std::string("\x01\0\x18\0", 4) + std::string(4, '\0') +
                           std::string("\x18\0\0\0", 4) + std::string(16, '\0') +
                           // bottom row: white, white, blue; three bytes of padding
                           std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0\0\0\0\0", 12) +
                           // top row: red, white, white
                           std::string("\0\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0\0\0", 12);
    EXPECT_EQ(Bytes(bitmap), expected);
}

TEST(RVBitmapImageTest, ReadsEveryUncompressedDepth) {
    const std::string palette = std::string("\0\0\0\0", 4) + std::string("\xFF\xFF\xFF\0", 4) +
                                std::string("\0\0\xFF\0", 4) + std::string("\xFF\0\0\0", 4);
    struct Case {
        const char* Name;
        std::string File;
        std::vector<TColor> Top; // the top row, left to right
    } cases[] = {
        {"1 bit",
         MakeBmp(3, 1, 1, palette.substr(0, 8), std::string("\xA0\0\0\0", 4)),
         {clWhite, clBlack, clWhite}},
        {"4 bits", MakeBmp(3, 1, 4, palette, std::string("\x23\x10\0\0", 4)), {clRed, clBlue, clWhite}},
        {"8 bits", MakeBmp(2, 1, 8, palette, std::string("\x02\x03\0\0", 4)), {clRed, clBlue}},
        {"24 bits", MakeBmp(1, 1, 24, "", std::string("\x10\x20\x30\0", 4)), {RGB(0x30, 0x20, 0x10)}},
        {"32 bits", MakeBmp(1, 1, 32, "", std::string("\x10\x20\x30\xFF", 4)), {RGB(0x30, 0x20, 0x10)}},
        {"16 bits 5-5-5", MakeBmp(1, 1, 16, "", std::string("\x1F\x7C\0\0", 4)), {RGB(255, 0, 255)}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> data = AsVector(c.File);
        std::unique_ptr<TRVBitmapImage> bitmap = RVReadBmp(data.data(), data.size());
        ASSERT_EQ(bitmap->Width(), int(c.Top.size())) << c.Name;
        for (std::size_t x = 0; x < c.Top.size(); ++x)
            EXPECT_EQ(bitmap->Pixel(int(x), 0), c.Top[x]) << c.Name << " " << x;
    }
}

TEST(RVBitmapImageTest, ATopDownBitmapKeepsItsRowsInPlace) {
    std::string rows = std::string("\0\0\xFF\0", 4) + std::string("\xFF\0\0\0", 4); // red row, then blue
    std::string file = MakeBmp(1, 2, 24, "", rows);
    Put32(file, 22, uint32_t(-2));
    std::vector<uint8_t> data = AsVector(file);
    std::unique_ptr<TRVBitmapImage> bitmap = RVReadBmp(data.data(), data.size());
    EXPECT_EQ(bitmap->Pixel(0, 0), clRed);
    EXPECT_EQ(bitmap->Pixel(0, 1), clBlue);
}

TEST(RVBitmapImageTest, SavedBitmapsReadBackAndOtherPicturesConvert) {
    TRVBitmapImage bitmap(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            bitmap.SetPixel(x, y, RGB(x * 40, y * 80, 7));
    std::vector<uint8_t> data = AsVector(Bytes(bitmap));
    std::unique_ptr<TRVGraphic> read = RVReadGraphic(data.data(), data.size());
    EXPECT_EQ(Bytes(*read), Bytes(bitmap));

    TRVJpegImage jpeg;
    jpeg.CompressFrom(bitmap, 100);
    std::vector<uint8_t> jpegData = jpeg.Data();
    std::unique_ptr<TRVGraphic> readJpeg = RVReadGraphic(jpegData.data(), jpegData.size());
    EXPECT_EQ(readJpeg->GraphicClassName(), "TJPEGImage");
    EXPECT_EQ(readJpeg->Width(), 5);
    EXPECT_EQ(readJpeg->Height(), 3);
    std::unique_ptr<TRVBitmapImage> pixels = readJpeg->ToBitmap();
    // Lossy, but close.
    TColor c = pixels->Pixel(4, 2);
    EXPECT_NEAR(GetRValue(c), 160, 12);
    EXPECT_NEAR(GetGValue(c), 160, 12);
}

TEST(RVGraphicFactoryTest, MakesPicturesByClassName) {
    EXPECT_EQ(RVCreateGraphic("TBitmap")->GraphicClassName(), "TBitmap");
    EXPECT_EQ(RVCreateGraphic("TJPEGImage")->GraphicClassName(), "TJPEGImage");
    EXPECT_EQ(RVCreateGraphic("TMetafile"), nullptr);
}

// ---------------------------------------------------------------- malformed data

// Every reader either reads soundly or raises EInvalidGraphic; nothing
// else escapes and nothing past the data is read (the sanitizer build
// checks the latter).
void ExpectReadOrRefuse(const std::vector<uint8_t>& Data, const std::string& Name) {
    try {
        std::unique_ptr<TRVGraphic> graphic = RVReadGraphic(Data.data(), Data.size());
        EXPECT_GT(graphic->Width(), 0) << Name;
        EXPECT_LE(graphic->Width(), RVMaxPictureSide) << Name;
        graphic->ToBitmap();
    } catch (const EInvalidGraphic&) {
    } catch (const std::exception& e) {
        ADD_FAILURE() << Name << ": " << e.what();
    }
}

TEST(RVGraphicCorpusTest, HandMadeMalformedBitmapsAreRefused) {
    std::string good = MakeBmp(2, 2, 24, "", std::string(16, '\x40'));
    auto with = [&](std::size_t At, uint32_t V) {
        std::string s = good;
        Put32(s, At, V);
        return s;
    };
    struct Case {
        const char* Name;
        std::string File;
    } cases[] = {
        {"empty", ""},
        {"only the magic", "BM"},
        {"cut in the header", good.substr(0, 30)},
        {"cut in the pixels", good.substr(0, 60)},
        {"zero width", with(18, 0)},
        {"negative width", with(18, uint32_t(-5))},
        {"too wide", with(18, 40000)},
        {"too many pixels",
         [&] {
             std::string s = with(18, 30000);
             Put32(s, 22, 30000);
             return s;
         }()},
        {"huge height, little data", with(22, 20000)},
        {"pixels before the header ends", with(10, 20)},
        {"pixels past the end", with(10, 0xFFFFFFF0)},
        {"unknown header size", with(14, 99)},
        {"run-length compressed", with(30, 1)},
        {"odd bit count",
         [&] {
             std::string s = good;
             s[28] = 7;
             return s;
         }()},
        {"palette larger than its depth",
         [&] {
             std::string s = MakeBmp(1, 1, 1, std::string(8, '\0'), std::string(4, '\0'));
             Put32(s, 46, 3);
             return s;
         }()},
        {"palette past the end",
         [&] {
             std::string s = MakeBmp(1, 1, 8, std::string(8, '\0'), std::string(4, '\0'));
             Put32(s, 46, 256);
             return s;
         }()},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> data = AsVector(c.File);
        EXPECT_THROW(RVReadBmp(data.data(), data.size()), EInvalidGraphic) << c.Name;
    }
}

TEST(RVGraphicCorpusTest, CutAndDamagedPicturesReadOrAreRefused) {
    TRVBitmapImage source(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            source.SetPixel(x, y, RGB(x * 30, y * 50, (x * y) % 255));
    TRVJpegImage jpeg;
    jpeg.CompressFrom(source, 75);
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds = {
        {"bmp", AsVector(Bytes(source))},
        {"paletted bmp", AsVector(MakeBmp(3, 2, 4, std::string(64, '\x33'), std::string(8, '\x12')))},
        {"jpeg", jpeg.Data()}};
    std::mt19937 random(7);
    for (const auto& [name, seed] : seeds) {
        for (std::size_t cut = 0; cut < seed.size(); ++cut)
            ExpectReadOrRefuse(std::vector<uint8_t>(seed.begin(), seed.begin() + long(cut)),
                               name + " cut at " + std::to_string(cut));
        for (int round = 0; round < 300; ++round) {
            std::vector<uint8_t> damaged = seed;
            int flips = 1 + int(random() % 4);
            for (int f = 0; f < flips; ++f)
                damaged[random() % damaged.size()] = uint8_t(random());
            ExpectReadOrRefuse(damaged, name + " damaged, round " + std::to_string(round));
        }
    }
}

TEST(RVGraphicCorpusTest, AJpegHeaderAskingForAHugePictureIsRefused) {
    TRVJpegImage jpeg;
    jpeg.CompressFrom(TRVBitmapImage(16, 16), 75);
    std::vector<uint8_t> data = jpeg.Data();
    // The frame header (FFC0): height and width follow the precision byte.
    for (std::size_t i = 0; i + 8 < data.size(); ++i)
        if (data[i] == 0xFF && data[i + 1] == 0xC0) {
            data[i + 5] = data[i + 6] = 0xFF; // height 65535
            data[i + 7] = data[i + 8] = 0xFF; // width 65535
            break;
        }
    int width = 0, height = 0;
    EXPECT_THROW(RVReadJpeg(data.data(), data.size(), width, height, nullptr), EInvalidGraphic);
    TRVJpegImage target;
    target.CompressFrom(TRVBitmapImage(2, 2), 75);
    EXPECT_THROW(target.LoadFromBytes(data.data(), data.size()), EInvalidGraphic);
    EXPECT_EQ(target.Width(), 2);
}

} // namespace
