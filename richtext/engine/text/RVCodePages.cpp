// Code-page conversions: CP1251 through the run-time's own table, every
// other code page through iconv, with "?" for whatever does not convert.
#include "richtext/engine/text/RVCodePages.h"

#include <array>
#include <cerrno>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>

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

// What per-byte conversion needs of a code page, found once: whether iconv
// knows it, and for a code page whose every character is one byte the
// units of its 256 bytes.
struct TCodePageInfo {
    bool Known = false;
    std::unique_ptr<std::array<char16_t, 256>> Table;
};

const TCodePageInfo& CodePageInfo(unsigned CodePage) {
    static std::mutex lock;
    static std::map<unsigned, TCodePageInfo> infos;
    std::lock_guard<std::mutex> guard(lock);
    auto found = infos.find(CodePage);
    if (found != infos.end()) return found->second;
    TCodePageInfo info;
    TIconv cd("UTF-16LE", IconvName(CodePage));
    info.Known = cd.Valid();
    if (info.Known) {
        info.Table = std::make_unique<std::array<char16_t, 256>>();
        for (unsigned b = 0; b < 256 && info.Table; ++b) {
            char in = char(b);
            char16_t out[2];
            char* inPtr = &in;
            size_t inLeft = 1;
            char* outPtr = reinterpret_cast<char*>(out);
            size_t outLeft = sizeof(out);
            iconv(cd.Handle(), nullptr, nullptr, nullptr, nullptr);
            size_t r = iconv(cd.Handle(), &inPtr, &inLeft, &outPtr, &outLeft);
            size_t units = (sizeof(out) - outLeft) / 2;
            if (r == size_t(-1) && errno == EINVAL)
                info.Table.reset(); // a lead byte: characters of several bytes
            else
                (*info.Table)[b] = r == size_t(-1) || units != 1 ? u'?' : out[0];
        }
    }
    return infos.emplace(CodePage, std::move(info)).first->second;
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

void RVCodePageToWidePerByte(unsigned CodePage, std::string_view Bytes, WideString& Out) {
    CodePage = RVResolveCodePage(CodePage);
    if (Bytes.empty()) return;
    const TCodePageInfo* info = CodePage == RVProgramCodePage ? nullptr : &CodePageInfo(CodePage);
    if (!info || !info->Known) {
        std::size_t at = Out.size();
        Out.resize(at + Bytes.size());
        for (std::size_t i = 0; i < Bytes.size(); ++i)
            Out[at + i] = Cp1251ToUnicode(static_cast<unsigned char>(Bytes[i]));
        return;
    }
    if (info->Table) {
        std::size_t at = Out.size();
        Out.resize(at + Bytes.size());
        for (std::size_t i = 0; i < Bytes.size(); ++i)
            Out[at + i] = (*info->Table)[static_cast<unsigned char>(Bytes[i])];
        return;
    }
    // Characters of one or two bytes: each converted on its own.
    for (std::size_t i = 0; i < Bytes.size();) {
        WideString one = RVCodePageToWide(CodePage, Bytes.substr(i, 1));
        std::size_t length = 1;
        if ((one.empty() || one == u"?") && i + 1 < Bytes.size()) {
            WideString two = RVCodePageToWide(CodePage, Bytes.substr(i, 2));
            if (two.size() == 1 && two != u"?") {
                one = two;
                length = 2;
            }
        }
        Out += one.empty() ? u'?' : one[0];
        for (std::size_t k = 1; k < length; ++k)
            Out += char16_t(0x200B);
        i += length;
    }
}
