// Base64 encoding and decoding, lines and chunks.
#include <gtest/gtest.h>

#include "util/JclMime.h"

namespace {

TEST(JclMimeTest, LinesAndLengths) {
    struct Case {
        std::size_t Bytes, Length;
    };
    for (const Case& c :
         {Case{0, 0}, Case{1, 4}, Case{57, 76}, Case{58, 82}, Case{114, 154}, Case{115, 160}}) {
        AnsiString text(c.Bytes, 'x');
        AnsiString code = Base64EncodeText(text);
        EXPECT_EQ(code.size(), c.Length) << c.Bytes;
        EXPECT_EQ(Base64EncodedLength(c.Bytes), c.Length) << c.Bytes;
        if (c.Bytes > 57) {
            EXPECT_EQ(code.substr(76, 2), "\r\n");
        }
        EXPECT_NE(code.substr(code.size() >= 2 ? code.size() - 2 : 0), "\r\n");
        EXPECT_EQ(Base64DecodeText(code), text);
    }
}

TEST(JclMimeTest, RoundTripsOfEveryRestLength) {
    AnsiString all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    for (std::size_t n = 0; n < 200; n += 7)
        EXPECT_EQ(Base64DecodeText(Base64EncodeText(all.substr(0, n))), all.substr(0, n));
}

TEST(JclMimeTest, TolerantDecoder) {
    EXPECT_EQ(Base64EncodeText("ab"), "YWI=");
    struct Case {
        AnsiString Code, Text;
    };
    const Case cases[] = {
        {"YWI=", "ab"}, {"YWI", "ab"}, {"Y W\r\nI=", "ab"}, {"YW=I", "ab"}, {"YWJj", "abc"}, {"YWJjZ", "abc"},
        {"YQ", "a"},    {"", ""},      {"!!!", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Base64DecodeText(c.Code), c.Text) << c.Code;
}

TEST(JclMimeTest, DecodingResumesAcrossChunks) {
    const AnsiString code = Base64EncodeText("Hello, world");
    char out[32];
    TBase64DecodeState state;
    std::size_t n = 0;
    for (char c : code)
        n += Base64DecodeChunk(&c, 1, out + n, state);
    n += Base64DecodeFinish(out + n, state);
    EXPECT_EQ(AnsiString(out, n), "Hello, world");
}

} // namespace
