// Pictures of the HTML importer: loading a picture from a local file (or
// from the application), its displayed size, and the picture item.
#include <cmath>
#include <filesystem>
#include <fstream>

#include "richtext/engine/items/RVPictures.h"
#include "richtext/import/html/rvhtmlimport_p.h"

namespace {

// The picture shown for one that cannot be loaded: a grey frame with a red
// cross.
std::unique_ptr<TRVGraphic> InvalidPicture() {
    constexpr int Size = 20;
    auto image = std::make_unique<TRVBitmapImage>(Size, Size);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            bool frame = x == 0 || y == 0 || x == Size - 1 || y == Size - 1;
            bool cross = x == y || x == Size - 1 - y;
            image->SetPixel(x, y, frame ? RGB(128, 128, 128) : cross ? RGB(220, 0, 0) : clWhite);
        }
    return image;
}

// "http:", "file:" and the like; a drive letter is not a scheme.
bool HasUrlScheme(const AnsiString& Path) {
    std::size_t colon = Path.find(':');
    if (colon == AnsiString::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        char c = Path[i];
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) return false;
    }
    return true;
}

std::unique_ptr<TRVGraphic> ReadPictureFile(const AnsiString& Path) {
    // Devices and pipes could block or never end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(Path, error)) return nullptr;
    std::ifstream file(Path, std::ios::binary | std::ios::ate);
    if (!file) return nullptr;
    std::streamoff size = file.tellg();
    if (size <= 0 || size > HtmlMaxPictureFile) return nullptr;
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return nullptr;
    try {
        return RVReadGraphic(bytes.data(), bytes.size());
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace

AnsiString THtmlImportRun::WithBasePath(const AnsiString& Path) const {
    // An absolute path is whole already.
    if (Path.find(':') != AnsiString::npos || (!Path.empty() && Path[0] == '/')) return Path;
    return I.BasePath + Path;
}

AnsiString THtmlImportRun::ResolvePath(const AnsiString& Path) const {
    return (I.Options & rvhtmloBasePathLinks) ? WithBasePath(Path) : Path;
}

std::unique_ptr<TRVGraphic> THtmlImportRun::LoadPicture(const AnsiString& Source, int Width, int Height,
                                                        bool Substitute) {
    if (Source.empty()) return nullptr;
    std::unique_ptr<TRVGraphic> picture;
    if (I.OnImageRequired2) I.OnImageRequired2(&I, Source, Width, Height, picture);
    if (!picture) {
        AnsiString path = Trim(Source);
        path = WithBasePath(path);
        // Only local files: a document never makes the program fetch anything.
        if (!HasUrlScheme(path)) picture = ReadPictureFile(path);
        if (!picture) Warn("picture not loaded: " + path);
    }
    if (!picture && Substitute) picture = InvalidPicture();
    return picture;
}

void THtmlImportRun::PictureTag() {
    Flush();
    const std::vector<AnsiString>& attrs = Parser.Attributes;
    AnsiString src = HtmlAttribute(attrs, "src");
    std::unique_ptr<TRVGraphic> picture = LoadPicture(src, HtmlNumber(HtmlAttribute(attrs, "width"), 0),
                                                      HtmlNumber(HtmlAttribute(attrs, "height"), 0), true);
    if (!picture) return;
    const int pw = picture->Width(), ph = picture->Height();
    // A size written into a page never asks for a larger picture than any read.
    int w = -1, h = -1;
    if (HasHtmlAttribute(attrs, "width"))
        w = std::min(HtmlNumber(HtmlAttribute(attrs, "width"), pw), RVMaxPictureSide);
    if (HasHtmlAttribute(attrs, "height"))
        h = std::min(HtmlNumber(HtmlAttribute(attrs, "height"), ph), RVMaxPictureSide);
    if (h > 0 && w <= 0 && ph > 0) w = std::min(int(std::lround(double(pw) * h / ph)), RVMaxPictureSide);
    if (w > 0 && h <= 0 && pw > 0) h = std::min(int(std::lround(double(ph) * w / pw)), RVMaxPictureSide);
    if (!CurData) return;

    AnsiString name = (I.Options & rvhtmloImgSrcToImageName) ? ResolvePath(src) : AnsiString();
    int styleNo = rvsPicture;
    TRVTag tag = 0;
    if (LinkOpen) {
        AnsiString text;
        int style = rvsHotPicture;
        tag = LinkTag(style, text);
        styleNo = style < 0 ? style : rvsHotPicture;
    }
    std::unique_ptr<TCustomRVItemInfo> item = CreateItemForStyleNo(styleNo, CurData);
    auto* graphic = dynamic_cast<TRVGraphicItemInfo*>(item.get());
    if (!graphic) return;
    graphic->Image = std::move(picture);
    graphic->Tag = tag;
    graphic->ParaNo = NextParaNo();
    CurData->AddItem(name, std::move(item));
    int last = CurData->ItemCount() - 1;
    if (w > 0) CurData->SetItemExtraIntProperty(last, rvepWidth, w);
    if (h > 0) CurData->SetItemExtraIntProperty(last, rvepHeight, h);
    CurData->SetItemExtraIntProperty(last, rvepSpacing, 0);
    CurData->SetItemExtraStrProperty(last, rvespAlt, HtmlAttribute(attrs, "alt"));
    CurData->SetItemExtraStrProperty(last, rvespFileName, ResolvePath(src));
}
