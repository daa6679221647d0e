// Writes the short fixed corpus of the picture readers' fuzz targets into
// <corpus folder>/bmp_reader and <corpus folder>/jpeg_reader: small pictures
// of every kind the readers take, and a few they must refuse. Built on
// demand (target make_picture_corpus), never run by the tests.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The library's header needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

namespace fs = std::filesystem;

void Put16(std::string& S, std::size_t At, unsigned V) {
    S[At] = char(V), S[At + 1] = char(V >> 8);
}
void Put32(std::string& S, std::size_t At, uint32_t V) {
    for (int i = 0; i < 4; ++i)
        S[At + i] = char(V >> (8 * i));
}

// A BMP file: a 14-byte file header, an information header of InfoSize
// bytes, then Extra (masks or palette) and the rows.
std::string Bmp(int Width, int Height, int BitCount, uint32_t Compression, const std::string& Extra,
                int InfoSize = 40, int Colors = 0) {
    const std::size_t rowBytes = ((std::size_t(Width < 0 ? -Width : Width) * BitCount + 31) / 32) * 4;
    const std::size_t rows = rowBytes * std::size_t(Height < 0 ? -Height : Height);
    std::string file(14 + std::size_t(InfoSize), '\0');
    file[0] = 'B', file[1] = 'M';
    Put32(file, 2, uint32_t(file.size() + Extra.size() + rows));
    Put32(file, 10, uint32_t(file.size() + Extra.size()));
    Put32(file, 14, uint32_t(InfoSize));
    Put32(file, 18, uint32_t(Width));
    Put32(file, 22, uint32_t(Height));
    Put16(file, 26, 1);
    Put16(file, 28, unsigned(BitCount));
    Put32(file, 30, Compression);
    Put32(file, 46, uint32_t(Colors));
    std::string pixels(rows, '\0');
    for (std::size_t i = 0; i < rows; ++i)
        pixels[i] = char(i * 37 + 11);
    return file + Extra + pixels;
}

std::string Palette(int Count) {
    std::string p;
    for (int i = 0; i < Count; ++i)
        p += std::string{char(i * 13), char(i * 7), char(255 - i), 0};
    return p;
}

std::string Masks(uint32_t R, uint32_t G, uint32_t B) {
    std::string m(12, '\0');
    Put32(m, 0, R), Put32(m, 4, G), Put32(m, 8, B);
    return m;
}

struct TJpegKind {
    int Components = 3;
    J_COLOR_SPACE Space = JCS_RGB;
    bool Progressive = false;
    int Restart = 0;
    bool Subsampled = false;
    bool Arithmetic = false;
};

std::string Jpeg(int Width, int Height, const TJpegKind& Kind) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(Width);
    info.image_height = JDIMENSION(Height);
    info.input_components = Kind.Components;
    info.in_color_space = Kind.Space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 60, TRUE);
    if (Kind.Progressive) jpeg_simple_progression(&info);
    info.restart_interval = JDIMENSION(Kind.Restart);
    info.arith_code = Kind.Arithmetic ? TRUE : FALSE;
    if (!Kind.Subsampled && Kind.Components == 3)
        for (int c = 0; c < 3; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(std::size_t(Width) * std::size_t(Kind.Components));
    while (info.next_scanline < info.image_height) {
        for (std::size_t x = 0; x < row.size(); ++x)
            row[x] = (unsigned char)(x * 5 + info.next_scanline * 9);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

void Write(const fs::path& Folder, const char* Name, const std::string& Bytes) {
    std::ofstream(Folder / Name, std::ios::binary) << Bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const fs::path bmp = fs::path(argv[1]) / "bmp_reader", jpeg = fs::path(argv[1]) / "jpeg_reader";
    fs::create_directories(bmp);
    fs::create_directories(jpeg);

    Write(bmp, "rgb24", Bmp(5, 3, 24, 0, ""));
    Write(bmp, "rgb24_top_down", Bmp(3, -2, 24, 0, ""));
    Write(bmp, "rgb32", Bmp(2, 2, 32, 0, ""));
    Write(bmp, "rgb16_555", Bmp(3, 2, 16, 0, ""));
    Write(bmp, "bitfields16_565", Bmp(3, 2, 16, 3, Masks(0xF800, 0x07E0, 0x001F)));
    // A large information header holds the masks itself.
    std::string v5 = Bmp(2, 2, 32, 3, "", 124);
    Put32(v5, 54, 0xFF0000), Put32(v5, 58, 0xFF00), Put32(v5, 62, 0xFF);
    Write(bmp, "bitfields32_v5", v5);
    Write(bmp, "paletted1", Bmp(9, 2, 1, 0, Palette(2)));
    Write(bmp, "paletted4_few_colours", Bmp(5, 2, 4, 0, Palette(3), 40, 3));
    Write(bmp, "paletted8", Bmp(3, 3, 8, 0, Palette(256)));
    Write(bmp, "rle8_refused", Bmp(2, 2, 8, 1, Palette(256)));
    Write(bmp, "core_header_refused", Bmp(2, 2, 24, 0, "", 12));
    std::string cut = Bmp(4, 4, 24, 0, "");
    Write(bmp, "rows_cut", cut.substr(0, cut.size() - 5));
    Write(bmp, "empty", "");

    Write(jpeg, "baseline", Jpeg(9, 7, {}));
    Write(jpeg, "subsampled", Jpeg(17, 9, {3, JCS_RGB, false, 0, true, false}));
    Write(jpeg, "progressive", Jpeg(12, 10, {3, JCS_RGB, true, 0, true, false}));
    Write(jpeg, "restart_markers", Jpeg(24, 16, {3, JCS_RGB, false, 1, false, false}));
    Write(jpeg, "grey", Jpeg(8, 8, {1, JCS_GRAYSCALE, false, 0, false, false}));
    Write(jpeg, "arithmetic", Jpeg(8, 8, {3, JCS_RGB, false, 0, false, true}));
    Write(jpeg, "cmyk_refused", Jpeg(8, 8, {4, JCS_CMYK, false, 0, false, false}));
    const std::string whole = Jpeg(16, 16, {});
    Write(jpeg, "cut_short", whole.substr(0, whole.size() / 2));
    Write(jpeg, "header_only", whole.substr(0, 4));
    std::printf("corpus written to %s\n", argv[1]);
    return 0;
}
