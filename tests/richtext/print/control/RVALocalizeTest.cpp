// The language registry: the linked languages, selection by exact name,
// the English and Russian texts, and lookups that stay inside their tables.
#include <gtest/gtest.h>

#include "DialogTesting.h"
#include "richtext/print/control/RVALocalize.h"

TEST(RVALocalizeTest, TheLinkedLanguagesRegisterInOrderAndEnglishIsCurrent) {
    const std::pair<const char*, int> expected[] = {
        {"Chinese (Big5)", 136}, {"Polish", 238},
        {"Hungarian", 0},        {"Chinese (Simplified)", 134},
        {"Byelorussian", 204},   {"Turkish", 162},
        {"Ukrainian", 204},      {"Spanish", 0},
        {"Lithuanian", 186},     {"Farsi", 178},
        {"Slovak", 238},         {"Dutch (NL)", 0},
        {"Czech", 238},          {"Portuguese (Brazilian)", 0},
        {"Francais", 0},         {"Italian", 0},
        {"German", 0},           {"Norsk (Bokm\xE5l)", 0},
        {"Svenska", 0},          {"Russian", 204},
        {"English (US)", 0},
    };
    TRVALanguageRegistry& registry = RVALanguages();
    ASSERT_EQ(registry.Count(), 21);
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(registry.Languages(i)->Name, expected[i].first) << i;
        EXPECT_EQ(registry.Languages(i)->Charset, expected[i].second) << i;
        EXPECT_EQ(registry.Languages(i)->HelpFile, "") << i;
        EXPECT_EQ(registry.Languages(i)->Text(0), "") << "text 0 is empty in " << expected[i].first;
    }
    EXPECT_EQ(CurrentLanguageName(), "English (US)");
    EXPECT_EQ(LanguageCharset(), ANSI_CHARSET);
    EXPECT_EQ(LocalizedText(206), "Close");
    EXPECT_EQ(LocalizedTextPadded(587), " Page ");
}

TEST(RVALocalizeTest, SelectionIsByExactNameAndAFailedOneKeepsTheLanguage) {
    {
        TLanguageScope russian("Russian");
        EXPECT_EQ(CurrentLanguageName(), "Russian");
        EXPECT_EQ(LanguageCharset(), RUSSIAN_CHARSET);
        EXPECT_EQ(LocalizedText(206), "Закрыть"_cp);
        EXPECT_STREQ(LocalizedPChar(205), "Отмена"_cp.c_str());
        for (const char* wrong : {"Russian ", "russian", "RUSSIAN", ""}) {
            try {
                SelectLanguage(wrong);
                ADD_FAILURE() << "selected '" << wrong << "'";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message, AnsiString("Invalid language: ") + wrong);
            }
            EXPECT_EQ(CurrentLanguageName(), "Russian");
        }
    }
    EXPECT_EQ(CurrentLanguageName(), "English (US)");
}

TEST(RVALocalizeTest, TheEnglishAndRussianTextsAreTheProgramsOwn) {
    struct TCase {
        TRVAMessageID Index;
        AnsiString English, Russian;
    };
    const TCase cases[] = {
        {30, "&Print...", "&Печать..."_cp},
        {35, "Page Setup|Sets margins, paper size, orientation, source, headers and footers",
         "Параметры страницы|Установка полей, размера и источника подачи бумаги, колонтитулов"_cp},
        {204, "OK", "ОК"_cp},
        {220,
         "%s may contain features that are not compatible with the chosen saving format.\r"
         "Do you want to save the document in this format?",
         "%s может содержать форматирование, которое будет потерено при преобразовании в выбранный "
         "формат файла.\rСохранить документ в этом формате?"_cp},
        {225,
         "Error saving file.\r\rPossible reasons:\r- out of disk space;\r- disk is write-protected;\r"
         "- removable media is not inserted;\r- the file is opened and locked by another application;\r"
         "- disk media is corrupted.",
         "Ошибка сохранения файла.\r\rВозможные причины:\r- нет места на диске;\r- диск защищён от записи;\r"
         "- диск не вставлен в дисковод;\r- файл открыт другим приложением, которое блокировало доступ к "
         "нему;\r- носитель информации повреждён."_cp},
        {234, "HTML - Simplified (*.htm;*.html)|*.htm;*.html",
         "HTML - упрощённый (*.htm;*.html)|*.htm;*.html"_cp},
        {551, "of %d", "из %d"_cp},
        {601, "&Source:", "П&одача:"_cp},
        {618,
         "Special character combinations:\r&&p - page number; &&P - count of pages; &&d - current date; "
         "&&t - current time.",
         "Вы можете использовать специальные сочетания:\r&&p - номер страницы; &&P - число страниц; &&d - "
         "дата; &&t - время."_cp},
    };
    const TRVALanguageInfo* english = RVALanguages().Get("English (US)");
    const TRVALanguageInfo* russian = RVALanguages().Get("Russian");
    for (const TCase& c : cases) {
        EXPECT_EQ(english->Text(c.Index), c.English) << c.Index;
        EXPECT_EQ(russian->Text(c.Index), c.Russian) << c.Index;
    }
    EXPECT_EQ(russian->TextPadded(589), " Поля (миллиметры) "_cp);
    // A language without texts of its own shows the English ones.
    EXPECT_EQ(RVALanguages().Get("Polish")->Text(206), "Close");
    EXPECT_EQ(RVALanguages().Get("Farsi")->Text(586), "Page Setup");
}

TEST(RVALocalizeTest, MessagesAreFilledByTheOwnFormatterAndLookupsStayInTheTable) {
    const TRVALanguageInfo* russian = RVALanguages().Get("Russian");
    EXPECT_EQ(russian->FormatText(551, {12}), "из 12"_cp);
    // A file name is never read as a pattern.
    AnsiString text = russian->FormatText(220, {"%d%s.rtf"});
    EXPECT_EQ(text.substr(0, 9), "%d%s.rtf ");
    // A text with "%d" and a text argument is refused, not read past.
    EXPECT_THROW(russian->FormatText(551, {"12"}), EConvertError);
    for (int index : {638, 1000, 65535})
        EXPECT_THROW(russian->Text(TRVAMessageID(index)), ERangeError) << index;
    EXPECT_THROW(LocalizedText(638), ERangeError);
}

TEST(RVALocalizeTest, ARegistryOfItsOwnMakesItsFirstLanguageCurrent) {
    TRVALanguageRegistry registry;
    EXPECT_FALSE(registry.HasCurrent());
    EXPECT_THROW(registry.Current(), EListError);
    TRVAMessages own{};
    own[206] = "Shut";
    registry.AddLanguageTable("Own", 0, &own, "own.hlp");
    registry.AddLanguageTable("Russian", RUSSIAN_CHARSET, &RVARussianMessages(), "");
    EXPECT_EQ(registry.Current().Name, "Own");
    EXPECT_EQ(registry.Current().HelpFile, "own.hlp");
    EXPECT_EQ(registry.Current().Text(206), "Shut");
    registry.SelectLanguage("Russian");
    EXPECT_EQ(registry.Current().Text(206), "Закрыть"_cp);
    EXPECT_EQ(registry.Find("Missing"), nullptr);
    // The process's registry is another one.
    EXPECT_EQ(RVALanguages().Find("Own"), nullptr);
}
