// Macro translation in strings: every macro, delimiters, the command hook and form macros.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "platform/gui/Forms.h"
#include "platform/testing/ScriptedMessageBoxes.h"
#include "platform/win/Module.h"
#include "support/TestSupport.h"
#include "util/JvTranslateString.h"

namespace {

// The test program's own version record (see JclFileUtilsTest.cpp) gives the
// version macros their values.
class JvTranslateStringTest : public ::testing::Test {
protected:
    JvTranslateStringTest() : Expander(nullptr) {
        Expander.Clock = [] { return EncodeDate(2026, 12, 9) + EncodeTime(1, 52, 0, 0); };
    }
    AnsiString Expand(const AnsiString& Text, bool* Changed = nullptr) {
        bool changed = false;
        AnsiString s = Expander.ExpandMacros(Text, changed);
        if (Changed) *Changed = changed;
        return s;
    }
    TJvTranslateString Expander;
};

TEST_F(JvTranslateStringTest, EveryMacro) {
    const AnsiString exe = GetModuleFileName();
    AnsiString folder = ExtractFilePath(exe);
    folder.pop_back();
    struct Case {
        AnsiString Text, Expected;
    };
    const Case cases[] = {
        {"%APPL_NAME%", "Luvora Test"},
        {"%COMPANY_NAME%", "Tarvik"},
        {"%FILEVERSION%", "1.2.3.4"},
        {"%PRODUCTVERSION%", "1.2.0.0"},
        {"%DATE%", "09_12_2026"},
        {"%TIME%", "01_52_00"},
        {"%DATETIME%", "09_12_2026 01_52_00"},
        {"%EXENAME%", exe},
        {"%FILENAME%", "test_util"},
        {"%FULLDIREXE%", folder},
        {"% date %", "09_12_2026"},
        {"Software\\%COMPANY_NAME%\\%APPL_NAME%", "Software\\Tarvik\\Luvora Test"},
        {"%FORMNAME%|%FORMCAPTION%", "|"}, // no owner, no form
    };
    for (const Case& c : cases) {
        bool changed = false;
        EXPECT_EQ(Expand(c.Text, &changed), c.Expected) << c.Text;
        EXPECT_TRUE(changed) << c.Text;
    }
    EXPECT_TRUE(std::regex_match(Expand("%SCREENSIZE%"), std::regex("[0-9]+x[0-9]+")));
    EXPECT_TRUE(std::regex_match(Expand("%DESKTOPSIZE%"), std::regex("[0-9]+x[0-9]+")));
}

TEST_F(JvTranslateStringTest, TextThatIsNoMacroStaysAsItIs) {
    const AnsiString unchanged[] = {"plain text", "%NONE%", "%FOO%bar", "%DA TE%", "100%", "a%b", "%%"};
    for (const AnsiString& text : unchanged) {
        bool changed = true;
        EXPECT_EQ(Expand(text, &changed), text);
        EXPECT_FALSE(changed) << text;
    }
    EXPECT_EQ(Expand("50% of %DATE%"), "50% of 09_12_2026");
    EXPECT_EQ(Expand("%%DATE%%"), "%09_12_2026%");
}

TEST_F(JvTranslateStringTest, OtherDelimitersAndTheCommandHook) {
    Expander.LeftDelimiter = "[";
    Expander.RightDelimiter = "]";
    EXPECT_EQ(Expand("[EXENAME]"), GetModuleFileName());
    EXPECT_EQ(Expand("%EXENAME%"), "%EXENAME%");
    Expander.LeftDelimiter = Expander.RightDelimiter = "%";
    Expander.OnProcessCommand = [](TJvTranslateString*, const AnsiString& Command, AnsiString& Result,
                                   bool& Changed) {
        if (Command == "USER") {
            Result = "psychologist";
            Changed = true;
        }
    };
    EXPECT_EQ(Expand("%user%/%User%"), "psychologist/psychologist");
    AnsiString value;
    EXPECT_FALSE(Expander.ResolveMacro("nothing", value));
    EXPECT_EQ(value, "");
}

TEST_F(JvTranslateStringTest, FormMacrosFindTheOwningForm) {
    TForm form(nullptr);
    form.SetName("Main_Form");
    form.SetCaption("Luvora");
    TComponent holder(&form);
    auto* expander = new TJvTranslateString(&holder);
    bool changed;
    EXPECT_EQ(expander->ExpandMacros("%FORMNAME%: %FORMCAPTION%", changed), "Main_Form: Luvora");
    TComponent loose(nullptr);
    TJvTranslateString offForm(&loose);
    EXPECT_EQ(offForm.ExpandMacros("[%FORMNAME%%FORMCAPTION%]", changed), "[]");
}

TEST_F(JvTranslateStringTest, AnExecutableWithoutVersionInformation) {
    TTempFolder folder;
    const std::string exe = folder.Path() + "Luvora";
    std::ofstream(exe) << "not an executable of ours";
    SetModuleFileNameOverride(exe);
    TScriptedMessageBoxes boxes;
    TJvTranslateString expander(nullptr);
    bool changed;
    EXPECT_EQ(expander.ExpandMacros("Software\\%COMPANY_NAME%\\%APPL_NAME%", changed),
              "Software\\MyCompany\\MyJvLibApplication");
    EXPECT_EQ(expander.ExpandMacros("%FILEVERSION% %PRODUCTVERSION% %APPL_NAME%", changed),
              "0.0.0.0 0.0.0.0 MyJvLibApplication");
    ASSERT_EQ(boxes.Log.size(), 4u); // once a macro
    EXPECT_EQ(boxes.Log[0].Text,
              "The Default Root Value \"COMPANY_NAME\" has been replaced with \"MyCompany\".\r\n"
              "Please change the value in the FileVersionInfo Project Properties.");
    EXPECT_EQ(boxes.Log[0].Icon(), MB_ICONINFORMATION);
    EXPECT_EQ(boxes.Log[0].Buttons(), MB_OK);
    EXPECT_EQ(expander.ExpandMacros("%FILENAME%", changed), "Luvora");
    SetModuleFileNameOverride("");
}

} // namespace
