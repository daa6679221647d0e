// Code-page conversions: CP1251 through the run-time's own table, every
// other code page through iconv, with "?" for whatever does not convert.
#include "richtext/engine/text/RVCodePages.h"

#include <cerrno>
#include <iconv.h>

namespace {

// The iconv name of a resolved code page, or empty when it has none.
std::string IconvName(unsigned CodePage) {
    switch (CodePage) {
    case 65001:
        return "UTF-8";
    case 1200:
        return "UTF-16LE";
    case 1201:
        return "UTF-16BE";
    case 20127:
        return "ASCII";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    case 28605:
        return "ISO-8859-15";
    default:
        break;
    }
    if (CodePage >= 28591 && CodePage <= 28599) return "ISO-8859-" + std::to_string(CodePage - 28590);
    return "CP" + std::to_string(CodePage);
}

// An open conversion, closed when it goes out of scope.
class TIconv {
public:
    TIconv(const std::string& To, const std::string& From) : FHandle(iconv_open(To.c_str(), From.c_str())) {}
    ~TIconv() {
        if (Valid()) iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;
    bool Valid() const { return FHandle != iconv_t(-1); }
    iconv_t Handle() const { return FHandle; }

private:
    iconv_t FHandle;
};

bool KnownToIconv(unsigned CodePage) {
    TIconv cd("UTF-16LE", IconvName(CodePage));
    return cd.Valid();
}

// Converts In through Cd; Skip tells how many input bytes an unconvertible
// sequence at a position takes, and Fallback what to write for it.
template <class Out, class SkipFn, class FallbackText>
void Convert(iconv_t Cd, std::string_view In, Out& Result, SkipFn Skip, FallbackText Fallback) {
    char* inPtr = const_cast<char*>(In.data());
    size_t inLeft = In.size();
    alignas(4) char buffer[1024];
    auto flush = [&](char* end) {
        std::size_t n = std::size_t(end - buffer);
        using Unit = typename Out::value_type;
        const Unit* units = reinterpret_cast<const Unit*>(buffer);
        Result.append(units, n / sizeof(Unit));
    };
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof(buffer);
        size_t r = iconv(Cd, &inPtr, &inLeft, &outPtr, &outLeft);
        flush(outPtr);
        if (r != size_t(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or a cut sequence at the end: one fallback, then go on.
        size_t skip = std::min(inLeft, Skip(inPtr, inLeft));
        inPtr += skip;
        inLeft -= skip;
        Result.append(Fallback.begin(), Fallback.end());
        iconv(Cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof(buffer);
    iconv(Cd, nullptr, nullptr, &outPtr, &outLeft);
    flush(outPtr);
}

} // namespace

unsigned RVResolveCodePage(unsigned CodePage) {
    switch (CodePage) {
    case 0:
    case 3:
        return RVProgramCodePage;
    case 1:
        return 866;
    case 2:
        return 10007;
    default:
        return CodePage;
    }
}

bool RVIsKnownCodePage(unsigned CodePage) {
    CodePage = RVResolveCodePage(CodePage);
    return CodePage == RVProgramCodePage || KnownToIconv(CodePage);
}

WideString RVCodePageToWide(unsigned CodePage, std::string_view Bytes) {
    CodePage = RVResolveCodePage(CodePage);
    if (Bytes.empty()) return WideString();
    if (CodePage != RVProgramCodePage) {
        TIconv cd("UTF-16LE", IconvName(CodePage));
        if (cd.Valid()) {
            WideString result;
            result.reserve(Bytes.size());
            Convert(
                cd.Handle(), Bytes, result, [](const char*, size_t) { return size_t(1); },
                std::u16string_view(u"?"));
            return result;
        }
    }
    return AnsiToWide(Bytes);
}

AnsiString RVWideToCodePage(unsigned CodePage, std::u16string_view Wide) {
    CodePage = RVResolveCodePage(CodePage);
    if (Wide.empty()) return AnsiString();
    if (CodePage != RVProgramCodePage) {
        TIconv cd(IconvName(CodePage), "UTF-16LE");
        if (cd.Valid()) {
            AnsiString result;
            result.reserve(Wide.size());
            std::string_view bytes(reinterpret_cast<const char*>(Wide.data()), Wide.size() * 2);
            // A surrogate pair is one character and gives one "?".
            auto skip = [](const char* P, size_t Left) -> size_t {
                if (Left < 2) return Left;
                unsigned unit = unsigned(uint8_t(P[0])) | unsigned(uint8_t(P[1])) << 8;
                if (unit >= 0xD800 && unit <= 0xDBFF && Left >= 4) {
                    unsigned next = unsigned(uint8_t(P[2])) | unsigned(uint8_t(P[3])) << 8;
                    if (next >= 0xDC00 && next <= 0xDFFF) return 4;
                }
                return 2;
            };
            Convert(cd.Handle(), bytes, result, skip, std::string_view("?"));
            return result;
        }
    }
    return WideToAnsi(Wide);
}
