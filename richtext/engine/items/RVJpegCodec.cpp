// JPEG through the system's JPEG library: the reader that checks and
// decodes outside data, refusing anything the library complains about, and
// the compression of a bitmap into a JPEG picture.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "richtext/engine/items/RVGraphic.h"

namespace {

// The library reports errors through a jump back to the call that started
// it; nothing with a destructor lives between the jump and its target.
struct TJpegErrors {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    bool Warned;
    char Message[JMSG_LENGTH_MAX];
    // The row buffer lives here, not in a local the jump could leave stale.
    unsigned char* Row;
};

void OnJpegError(j_common_ptr Info) {
    auto* errors = reinterpret_cast<TJpegErrors*>(Info->err);
    (*Info->err->format_message)(Info, errors->Message);
    std::longjmp(errors->Jump, 1);
}

// Warnings mean damaged data (a premature end, bytes out of place): the
// picture is refused rather than shown half grey.
void OnJpegMessage(j_common_ptr Info, int Level) {
    auto* errors = reinterpret_cast<TJpegErrors*>(Info->err);
    if (Level < 0 && !errors->Warned) {
        errors->Warned = true;
        (*Info->err->format_message)(Info, errors->Message);
    }
}

// The memory the library may take for whole-picture buffers (progressive
// pictures keep all coefficients); more is an error, not a swap file.
constexpr long MaxJpegMemory = 512L * 1024 * 1024;

// 0 when the picture was read; 1 for an error of the library, 2 for a
// picture too large, 3 for a warning. Rows go to Pixels when given.
int ReadJpegRaw(const uint8_t* Data, std::size_t Size, int* Width, int* Height, TRVBitmapImage* Pixels,
                TJpegErrors* Errors) {
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&Errors->Manager);
    Errors->Manager.error_exit = OnJpegError;
    Errors->Manager.emit_message = OnJpegMessage;
    Errors->Warned = false;
    Errors->Message[0] = 0;
    Errors->Row = nullptr;
    if (setjmp(Errors->Jump)) {
        std::free(Errors->Row);
        Errors->Row = nullptr;
        jpeg_destroy_decompress(&info);
        return 1;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = MaxJpegMemory;
    jpeg_mem_src(&info, const_cast<unsigned char*>(Data), (unsigned long)Size);
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > unsigned(RVMaxPictureSide) ||
        info.image_height > unsigned(RVMaxPictureSide) ||
        int64_t(info.image_width) * info.image_height > RVMaxPicturePixels) {
        jpeg_destroy_decompress(&info);
        return 2;
    }
    *Width = int(info.image_width);
    *Height = int(info.image_height);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    Errors->Row = static_cast<JSAMPROW>(std::malloc(std::size_t(info.output_width) * info.output_components));
    if (!Errors->Row) {
        jpeg_destroy_decompress(&info);
        return 1;
    }
    while (info.output_scanline < info.output_height && !Errors->Warned) {
        int y = int(info.output_scanline);
        JSAMPROW row = Errors->Row;
        jpeg_read_scanlines(&info, &row, 1);
        if (Pixels) {
            uint8_t* dest = Pixels->ScanLine(y);
            for (unsigned x = 0; x < info.output_width; ++x) {
                dest[3 * x] = row[3 * x + 2];
                dest[3 * x + 1] = row[3 * x + 1];
                dest[3 * x + 2] = row[3 * x];
            }
        }
    }
    if (!Errors->Warned) jpeg_finish_decompress(&info);
    std::free(Errors->Row);
    Errors->Row = nullptr;
    jpeg_destroy_decompress(&info);
    return Errors->Warned ? 3 : 0;
}

struct TJpegOutput {
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
};

int WriteJpegRaw(const TRVBitmapImage& Bitmap, int Quality, TJpegOutput* Out, TJpegErrors* Errors) {
    jpeg_compress_struct info;
    info.err = jpeg_std_error(&Errors->Manager);
    Errors->Manager.error_exit = OnJpegError;
    Errors->Message[0] = 0;
    Errors->Row = nullptr;
    if (setjmp(Errors->Jump)) {
        std::free(Errors->Row);
        Errors->Row = nullptr;
        jpeg_destroy_compress(&info);
        return 1;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &Out->Buffer, &Out->Size);
    info.image_width = JDIMENSION(Bitmap.Width());
    info.image_height = JDIMENSION(Bitmap.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, Quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    Errors->Row = static_cast<JSAMPROW>(std::malloc(std::size_t(Bitmap.Width()) * 3));
    if (!Errors->Row) {
        jpeg_destroy_compress(&info);
        return 1;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = Errors->Row;
        const uint8_t* src = Bitmap.ScanLine(int(info.next_scanline));
        for (int x = 0; x < Bitmap.Width(); ++x) {
            row[3 * x] = src[3 * x + 2];
            row[3 * x + 1] = src[3 * x + 1];
            row[3 * x + 2] = src[3 * x];
        }
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::free(Errors->Row);
    Errors->Row = nullptr;
    jpeg_destroy_compress(&info);
    return 0;
}

} // namespace

void RVReadJpeg(const uint8_t* Data, std::size_t Size, int& Width, int& Height, TRVBitmapImage* Pixels) {
    if (!Data || Size < 4 || Data[0] != 0xFF || Data[1] != 0xD8)
        throw EInvalidGraphic("Invalid JPEG: no header");
    // The size is known only once the header is read; the pixels go into a
    // bitmap of that size.
    TJpegErrors errors;
    int width = 0, height = 0;
    int result = ReadJpegRaw(Data, Size, &width, &height, nullptr, &errors);
    if (result == 0 && Pixels) {
        Pixels->SetSize(0, 0);
        Pixels->SetSize(width, height);
        result = ReadJpegRaw(Data, Size, &width, &height, Pixels, &errors);
    }
    switch (result) {
    case 0:
        Width = width;
        Height = height;
        return;
    case 2:
        throw EInvalidGraphic("Invalid JPEG: picture too large");
    default:
        throw EInvalidGraphic(AnsiString("Invalid JPEG: ") + errors.Message);
    }
}

void TRVJpegImage::CompressFrom(const TRVBitmapImage& Bitmap, int Quality) {
    if (Bitmap.Empty()) throw EInvalidGraphic("Cannot compress an empty picture");
    TJpegErrors errors;
    TJpegOutput out;
    int result = WriteJpegRaw(Bitmap, Quality, &out, &errors);
    std::vector<uint8_t> data;
    if (result == 0) data.assign(out.Buffer, out.Buffer + out.Size);
    std::free(out.Buffer);
    if (result != 0) throw EInvalidGraphic(AnsiString("Cannot compress the picture: ") + errors.Message);
    FData.swap(data);
    FWidth = Bitmap.Width();
    FHeight = Bitmap.Height();
    PictureChanged();
}
