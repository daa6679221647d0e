// The RTF files the reader's benchmark reads, made from a fixed seed: text
// in code page 1251 with frequent bold and italic groups, about 40 per cent
// Cyrillic words and a table every 20 paragraphs; deep nesting; a large
// picture. Each knows the words it holds.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"

struct TRtfBenchFile {
    std::string Rtf;
    // Every word in order, as UTF-8.
    std::vector<std::string> Words;
};

// Words of the text; the Latin ones never occur in what the peers add
// around it.
inline const std::vector<std::string>& RtfBenchLatinWords() {
    static const std::vector<std::string> words{"motivation", "scale", "report", "result",  "level",
                                                "testee",     "group", "value",  "profile", "index"};
    return words;
}
inline const std::vector<std::string>& RtfBenchCyrillicWords() {
    static const std::vector<std::string> words{"мотивация",  "шкала",  "отчёт",    "результат", "уровень",
                                                "испытуемый", "группа", "значение", "профиль",   "Ёлка"};
    return words;
}

// A report-like document of about Size bytes.
inline TRtfBenchFile MakeRtfBenchText(std::size_t Size, uint32_t Seed = 1) {
    std::mt19937 random(Seed);
    auto pick = [&](int N) { return int(random() % uint32_t(N)); };
    TRtfBenchFile file;
    std::string& rtf = file.Rtf;
    rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 "
          "Arial;}{\\f1\\froman\\fcharset204 "
          "Times New Roman;}}{\\colortbl;\\red0\\green0\\blue128;}\\f0\\fs20\r\n";
    auto word = [&]() {
        bool cyrillic = pick(10) < 4;
        const std::string& utf8 = cyrillic ? RtfBenchCyrillicWords()[std::size_t(pick(10))]
                                           : RtfBenchLatinWords()[std::size_t(pick(10))];
        file.Words.push_back(utf8);
        if (!cyrillic) return utf8;
        std::string escaped;
        for (char c : Utf8ToAnsi(utf8)) {
            static const char* digits = "0123456789abcdef";
            escaped += "\\'";
            escaped += digits[uint8_t(c) >> 4];
            escaped += digits[uint8_t(c) & 15];
        }
        return escaped;
    };
    int paragraph = 0;
    while (rtf.size() < Size) {
        if (++paragraph % 20 == 0) {
            for (int row = 0; row < 3; ++row) {
                rtf += "\\trowd\\trgaph108\\trleft-"
                       "108\\clbrdrt\\brdrs\\brdrw10\\cellx2000\\clbrdrt\\brdrs\\brdrw10"
                       "\\cellx4000\\clbrdrt\\brdrs\\brdrw10\\cellx6000\r\n";
                for (int cell = 0; cell < 3; ++cell)
                    rtf += "\\pard\\intbl\\plain\\f0\\fs20 " + word() + "\\cell ";
                rtf += "\\row\r\n";
            }
            rtf += "\\pard\\plain\\f0\\fs20 ";
        }
        rtf += "\\pard\\sb60\\sa60\\plain\\f0\\fs20 ";
        int words = 8 + pick(10);
        for (int w = 0; w < words; ++w) {
            if (w) rtf += ' ';
            switch (pick(6)) {
            case 0:
                rtf += "{\\b " + word() + "}";
                break;
            case 1:
                rtf += "{\\i " + word() + "}";
                break;
            default:
                rtf += word();
                break;
            }
        }
        rtf += "\\par\r\n";
    }
    rtf += "}";
    return file;
}

// Nesting of Depth groups around one word.
inline TRtfBenchFile MakeRtfBenchNesting(int Depth) {
    TRtfBenchFile file;
    file.Rtf = "{\\rtf1\\ansi" + std::string(std::size_t(Depth), '{') + "deep" +
               std::string(std::size_t(Depth), '}') + "}";
    file.Words = {"deep"};
    return file;
}

// One picture whose RTF is about Size bytes: a 24-bit bitmap in hex.
inline TRtfBenchFile MakeRtfBenchPicture(std::size_t Size) {
    int side = 1;
    while (std::size_t(side + 1) * std::size_t(side + 1) * 6 < Size)
        ++side;
    int row = (side * 3 + 3) & ~3;
    std::string bytes(40, '\0');
    auto put32 = [&](int At, uint32_t V) {
        for (int i = 0; i < 4; ++i)
            bytes[std::size_t(At + i)] = char(V >> (8 * i));
    };
    put32(0, 40);
    put32(4, uint32_t(side));
    put32(8, uint32_t(side));
    bytes[12] = 1;
    bytes[14] = 24;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < row; ++x)
            bytes += char((x * 7 + y * 3) & 255);
    TRtfBenchFile file;
    file.Rtf = "{\\rtf1\\ansi{\\pict\\dibitmap0\\picw" + std::to_string(side) + "\\pich" +
               std::to_string(side) + "\r\n";
    static const char* digits = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        file.Rtf += digits[uint8_t(bytes[i]) >> 4];
        file.Rtf += digits[uint8_t(bytes[i]) & 15];
        if (i % 64 == 63) file.Rtf += "\r\n";
    }
    file.Rtf += "}}";
    return file;
}
