// The report saved as RTF and opened by other programs. Runs when they are
// installed: Debian packages libreoffice-writer-nogui (or
// libreoffice-writer) and pandoc; skipped otherwise.
#include <gtest/gtest.h>

#include <cstdlib>

#include "RVReportDocument.h"
#include "support/TestSupport.h"

namespace {

bool HasProgram(const std::string& Name) {
    return std::system(("command -v " + Name + " >/dev/null 2>&1").c_str()) == 0;
}

class RVReportRtfTest : public ::testing::Test {
protected:
    TTempFolder Folder;
    std::unique_ptr<TRVStyle> Style = MakeReportStyle();
    TTestRVData Data{Style.get()};
    std::string RtfName = Folder.Path() + "report.rtf";

    void SetUp() override {
        BuildReport(Data);
        ASSERT_TRUE(Data.SaveRtfFile(RtfName, false, clWindow));
    }
    void ExpectRussianText(const std::string& Utf8) {
        for (const char* text : {"Результаты тестирования", "Иванов Пётр Сергеевич, 34 года",
                                 "Высокая мотивация достижения и ответственность.",
                                 "профиль соответствует требованиям должности."})
            EXPECT_NE(Utf8.find(text), std::string::npos) << text << "\n" << Utf8;
    }
};

TEST_F(RVReportRtfTest, LibreOfficeReadsTheReport) {
    if (!HasProgram("soffice"))
        GTEST_SKIP()
            << "soffice is missing: apt-get install libreoffice-writer-nogui (or libreoffice-writer)";
    // A profile kept in the build tree: making one takes most of the time.
    const char* binary = std::getenv("LUVORA_BINARY_DIR");
    std::string profile = binary ? std::string(binary) + "/soffice-profile" : Folder.Path() + "profile";
    auto convert = [&](const std::string& Filter) {
        std::string command = "cd '" + Folder.Path() +
                              "' && timeout 300 soffice -env:UserInstallation=file://" + profile +
                              " --headless --convert-to '" + Filter + "' --outdir '" + Folder.Path() +
                              "' report.rtf >convert.log 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(Folder.Path() + "convert.log");
    };
    convert("txt:Text (encoded):UTF8");
    std::string text = ReadFileBytes(Folder.Path() + "report.txt");
    ExpectRussianText(text);
    // The rule is one paragraph: the conclusion follows it without an empty one.
    EXPECT_EQ(text.find("\n\n\nЗаключение"), std::string::npos) << text;
    EXPECT_EQ(text.find("·"), std::string::npos) << "the Symbol bullet came back as a middle dot\n" << text;
    convert("fodt");
    std::string xml = ReadFileBytes(Folder.Path() + "report.fodt");
    EXPECT_NE(xml.find("fo:language=\"ru\""), std::string::npos) << "the text is not tagged as Russian";
}

TEST_F(RVReportRtfTest, PandocReadsTheReport) {
    if (!HasProgram("pandoc")) GTEST_SKIP() << "pandoc is missing: apt-get install pandoc";
    std::string command = "timeout 120 pandoc -f rtf -t plain '" + RtfName + "' -o '" + Folder.Path() +
                          "report.txt' 2>'" + Folder.Path() + "err'";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileBytes(Folder.Path() + "err");
    ExpectRussianText(ReadFileBytes(Folder.Path() + "report.txt"));
}

} // namespace
