// The save and save-as actions: the filter and its formats, the question
// about lost formatting, the file written through the writer and an
// existing file kept when writing fails, and the missing partner actions.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include "ActionTesting.h"
#include "support/TestSupport.h"

namespace {

std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class FileActions : public ActionTest {
protected:
    TTempFolder Folder;
};

TEST(SaveFilter, ListsTheFormatsInOrderWithTheirCodes) {
    const TRVALanguageInfo& english = *RVALanguages().Get("English (US)");
    std::vector<int> formats;
    EXPECT_EQ(RVAGetSaveFilter(english, AllSaveFilters, formats, "", true, "", ""),
              "ZoroZudo Files (*.rvf)|*.rvf|RTF Files (*.rtf)|*.rtf|Text Files (*.txt)|*.txt|"
              "Text Files - Unicode (*.txt)|*.txt");
    EXPECT_EQ(formats, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(RVAGetSaveFilter(english, FilterBit(ffeRVF) | FilterBit(ffeCustom), formats, "Mine|*.m", false,
                               "", "A (*.a)|*.a|B (*.b)|*.b"),
              "Mine|*.m|A (*.a)|*.a|B (*.b)|*.b");
    EXPECT_EQ(formats, (std::vector<int>{0, -1, -2}));
    const TRVALanguageInfo& russian = *RVALanguages().Get("Russian");
    EXPECT_EQ(
        RVAGetSaveFilter(russian, FilterBit(ffeRTF) | FilterBit(ffeTextUnicode), formats, "", true, "", ""),
        "Файлы RTF (*.rtf)|*.rtf|Текстовые файлы - Юникод (*.txt)|*.txt"_cp);

    struct TCase {
        int Index;
        TrvFileExportFilter Format;
        int Custom;
    };
    const std::vector<int> list{0, 1, -1, -2};
    const TCase cases[] = {{0, ffeRVF, 0}, {1, ffeRTF, 0}, {3, ffeCustom, 2}, {5, ffeOfficeConverters, 1}};
    for (const TCase& c : cases) {
        TrvFileExportFilter format;
        int custom;
        RVAFilterIndexToFormat(list, c.Index, format, custom);
        EXPECT_EQ(format, c.Format) << c.Index;
        EXPECT_EQ(custom, c.Custom) << c.Index;
    }
}

TEST_F(FileActions, SaveAsWritesTheChosenFormatAndAsksOnlyWhenFormattingMayBeLost) {
    TActionWindow w;
    w.Panel->SetLanguage("Russian");
    auto* save = w.Add<TrvActionSave>();
    auto* saveAs = w.Add<TrvActionSaveAs>();
    std::string rtf = Folder.Path() + "report.rtf", txt = Folder.Path() + "report.txt";
    w.Editor->Modified = true;

    // Third item: ANSI text, asked about.
    Dialogs.DialogAnswers.push_back([&](TCommonDialog* D) {
        auto* dialog = static_cast<TSaveDialog*>(D);
        EXPECT_EQ(dialog->Title, "Сохранить как"_cp);
        EXPECT_EQ(dialog->DefaultExt, "rvf");
        EXPECT_EQ(dialog->FilterDescriptions().size(), 4u);
        dialog->FileName = txt;
        dialog->FilterIndex = 3;
        return true;
    });
    Boxes.Answers.push_back(IDYES);
    saveAs->ExecuteTarget(w.Editor);
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Caption, "Подтверждение"_cp);
    EXPECT_EQ(Boxes.Log[0].Text.substr(0, 11), "report.txt ");
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONQUESTION));
    EXPECT_NE(ReadFile(txt).find("Paragraph 2 of the report"), std::string::npos);
    EXPECT_FALSE(w.Editor->Modified);
    ASSERT_NE(save->FindDoc(w.Editor), nullptr);
    EXPECT_EQ(save->FindDoc(w.Editor)->FileFormat, ffeTextANSI);

    // Saving again in the same format asks nothing.
    save->ExecuteTarget(w.Editor);
    EXPECT_EQ(Boxes.Log.size(), 1u);

    // RTF asks again; the dialog starts from the record.
    Dialogs.DialogAnswers.push_back([&](TCommonDialog* D) {
        auto* dialog = static_cast<TSaveDialog*>(D);
        EXPECT_EQ(dialog->FileName, Folder.Path() + "report");
        EXPECT_EQ(dialog->FilterIndex, 3);
        dialog->FileName = rtf;
        dialog->FilterIndex = 2;
        return true;
    });
    Boxes.Answers.push_back(IDYES);
    saveAs->ExecuteTarget(w.Editor);
    EXPECT_EQ(Boxes.Log.size(), 2u);
    EXPECT_EQ(ReadFile(rtf).substr(0, 5), "{\\rtf");

    // RVF never asks; No writes nothing.
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(Folder.Path() + "report.rvf", 1));
    saveAs->ExecuteTarget(w.Editor);
    EXPECT_EQ(Boxes.Log.size(), 2u);
    EXPECT_FALSE(ReadFile(Folder.Path() + "report.rvf").empty());
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(Folder.Path() + "other.rtf", 2));
    Boxes.Answers.push_back(IDNO);
    saveAs->ExecuteTarget(w.Editor);
    EXPECT_EQ(Boxes.Log.size(), 3u);
    EXPECT_TRUE(ReadFile(Folder.Path() + "other.rtf").empty());
}

TEST_F(FileActions, AFailedWriteKeepsTheOldFileAndAsksForANameNextTime) {
    TActionWindow w(50);
    auto* save = w.Add<TrvActionSave>();
    w.Add<TrvActionSaveAs>();
    std::string path = Folder.Path() + "report.rvf";
    { std::ofstream(path) << "the old report"; }
    save->SetDocInfo(w.Editor, path, false, false, false, true, 0, ffeRVF);
    w.Editor->Modified = true;

    // The file system takes no more than a few bytes for a while.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &small);
    save->ExecuteTarget(w.Editor);
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_EQ(ReadFile(path), "the old report");
    ASSERT_EQ(Boxes.Log.size(), 1u);
    EXPECT_EQ(Boxes.Log[0].Caption, "Error");
    EXPECT_EQ(Boxes.Log[0].Text.substr(0, 18), "Error saving file.");
    EXPECT_EQ(Boxes.Log[0].Icon(), unsigned(MB_ICONERROR));
    EXPECT_TRUE(w.Editor->Modified);
    EXPECT_FALSE(save->FindDoc(w.Editor)->Defined);

    // Save now asks where, even with no window active.
    std::string other = Folder.Path() + "again.rvf";
    Dialogs.DialogAnswers.push_back(TScriptedDialogs::FileChosen(other, 1));
    save->ExecuteTarget(w.Editor);
    EXPECT_FALSE(ReadFile(other).empty());
    EXPECT_FALSE(w.Editor->Modified);
    EXPECT_TRUE(save->FindDoc(w.Editor)->Defined);
}

TEST_F(FileActions, TheRecordGoesWithItsEditorAndMissingPartnersAreReported) {
    TActionWindow w;
    auto* save = w.Add<TrvActionSave>();
    try {
        save->ExecuteTarget(w.Editor);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "TrvActionSaveAs object is not assigned!");
    }
    TActionWindow lone;
    auto* saveAs = lone.Add<TrvActionSaveAs>();
    try {
        saveAs->ExecuteTarget(lone.Editor);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "TrvActionSave object is not assigned!");
    }
    save->SetDocInfo(w.Editor, Folder.Path() + "a.rvf", false, false, false, true, 0, ffeRVF);
    ASSERT_NE(save->FindDoc(w.Editor), nullptr);
    TZoroZudoEdit* editor = w.Editor;
    delete editor;
    EXPECT_EQ(save->FindDoc(editor), nullptr);
}

} // namespace
