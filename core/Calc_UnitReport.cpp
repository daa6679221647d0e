// The report HTML of a test and of a testee's dynamics, and the pieces the
// group report shares: scale lists, the chart block, the profile type, and
// filling a template's placeholders in one pass.
#include "core/Calc_Unit.h"

#include <cmath>
#include <cstring>

#include "core/DataMod_p.h"
#include "util/JclFileUtils.h"

namespace {

// A longer test, in seconds, shows raised anxiety in the situation of testing.
constexpr int64_t kAnxiousTestDuration = 1500;
// The report shows its chart, and names a profile type, from this many
// valid scales up.
constexpr int32_t kChartValidScales = 5;
// No placeholder name is longer; a longer run between two "$" is text.
constexpr std::size_t kMaxPlaceholderName = 32;

// Fixed texts, converted to the program's code page once.
const AnsiString kNone = "Нет"_cp;
const AnsiString kYes = "Да"_cp;
const AnsiString kSuppressed = "Подавляемые:"_cp;
const AnsiString kDisplaced = "Вытесняемые:"_cp;
const AnsiString kAnxiety =
    "<b>Испытуемый характеризуется повышенной реактивной тревожностью в ситуации диагностики.</b><br><br>"_cp;
const AnsiString kChartBlockHead =
    "<h6><P ALIGN=CENTER>ГРАФИЧЕСКИЙ ПРОФИЛЬ</P></h6><br> <p align=\"center\"><img src=\""_cp;
const AnsiString kNoProfileType =
    "<p>Тип мотивационного профиля не определяется: для этого нужно не менее пяти "
    "шкал с достоверными данными, а их %d.</p>"_cp;

// Whether the testee works in their speciality: yes, no, or not told.
AnsiString SpecialityText(int16_t IsWorkForSpec) {
    if (IsWorkForSpec == 1) return kYes;
    if (IsWorkForSpec == 0) return kNone;
    return AnsiString();
}

} // namespace

AnsiString HtmlEscape(const AnsiString& Text) {
    AnsiString out;
    out.reserve(Text.size());
    std::size_t from = 0;
    for (std::size_t at = Text.find_first_of("&<>\"$"); at != AnsiString::npos;
         at = Text.find_first_of("&<>\"$", from)) {
        out.append(Text, from, at - from);
        switch (Text[at]) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += "&#36;";
        }
        from = at + 1;
    }
    out.append(Text, from, AnsiString::npos);
    return out;
}

AnsiString SeniorityText(double Years) {
    // Up to 15 significant digits FloatToStr writes a decimal of whole
    // hundredths as it is, without trailing zeros.
    constexpr double kLargest = 1e9;
    if (Years >= 0 && Years < kLargest) {
        const double hundredths = std::round(Years * 100);
        if (hundredths / 100 == Years) {
            const int64_t whole = int64_t(hundredths);
            AnsiString text = IntToStr(whole / 100);
            const int fraction = int(whole % 100);
            if (fraction != 0) {
                text += FormatSettings.DecimalSeparator;
                text += char('0' + fraction / 10);
                if (fraction % 10 != 0) text += char('0' + fraction % 10);
            }
            return text;
        }
    }
    return FloatToStr(Years);
}

void TTemplatePlan::Find(const AnsiString& Template, std::initializer_list<TPlaceholder> Placeholders) {
    FPieces.clear();
    const char* text = Template.data();
    const std::size_t size = Template.size();
    std::size_t from = 0; // text up to here is in a piece
    std::size_t at = 0;   // searched up to here
    while (at < size) {
        const void* open = std::memchr(text + at, '$', size - at);
        if (!open) break;
        const std::size_t o = std::size_t(static_cast<const char*>(open) - text);
        const void* close = std::memchr(text + o + 1, '$', size - o - 1);
        if (!close) break;
        const std::size_t c = std::size_t(static_cast<const char*>(close) - text);
        std::size_t found = AnsiString::npos;
        if (c - o - 1 <= kMaxPlaceholderName)
            for (std::size_t i = 0; i < Placeholders.size(); ++i)
                if (SameTextFast(text + o + 1, c - o - 1, Placeholders.begin()[i].Name)) {
                    found = i;
                    break;
                }
        if (found == AnsiString::npos) {
            // Not a placeholder: its closing "$" may open the next one.
            at = o + 1;
            continue;
        }
        FPieces.push_back({from, o - from, found});
        from = at = c + 1;
    }
    FPieces.push_back({from, size - from, AnsiString::npos});
    FTemplate = &Template;
    FNames = Placeholders.size();
}

AnsiString TTemplatePlan::Fill(const AnsiString& Template, uint64_t Version,
                               std::initializer_list<TPlaceholder> Placeholders) {
    if (FTemplate != &Template || FVersion != Version || FNames != Placeholders.size() || FPieces.empty()) {
        Find(Template, Placeholders);
        FVersion = Version;
    }
    const TPlaceholder* values = Placeholders.begin();
    std::size_t room = 0;
    for (const TPiece& piece : FPieces)
        room += piece.Length + (piece.Value == AnsiString::npos ? 0 : values[piece.Value].Value.size());
    AnsiString out;
    out.reserve(room);
    for (const TPiece& piece : FPieces) {
        out.append(Template, piece.From, piece.Length);
        if (piece.Value != AnsiString::npos) out.append(values[piece.Value].Value);
    }
    return out;
}

AnsiString FillPlaceholders(const AnsiString& Template, std::initializer_list<TPlaceholder> Placeholders) {
    return TTemplatePlan().Fill(Template, 0, Placeholders);
}

void TTestResult::AppendScaleItem(AnsiString& Out, int32_t Scale, bool WithInterpretation) const {
    Out += "<li><b>";
    Out += ScaleNames[std::size_t(Scale)];
    Out += ".</b> ";
    if (WithInterpretation && HasSten(Scale)) Out += StenInterpretations[std::size_t(GetSten(Scale) - 1)];
    Out += "<br></li>";
}

namespace {

const char* const kListOpen = "<ul>";
constexpr std::size_t kListOpenLength = 4;
// Room for a scale item with its interpretation, and for the rest of a list,
// so that a list is made at once.
constexpr std::size_t kItemRoom = 320;
constexpr std::size_t kListRoom = 64;

// A list that Items scale items are appended to; "Нет" when none was.
AnsiString StartList(std::size_t Items) {
    AnsiString list;
    list.reserve(Items * kItemRoom + kListRoom);
    list += kListOpen;
    return list;
}

AnsiString EndList(AnsiString&& List) {
    if (List.size() == kListOpenLength) return kNone;
    List += "</ul>";
    return std::move(List);
}

} // namespace

AnsiString TTestResult::ListOrNone(const AnsiString& Items) {
    if (Items.empty()) return kNone;
    AnsiString list;
    list.reserve(Items.size() + kListRoom);
    list += kListOpen;
    list += Items;
    list += "</ul>";
    return list;
}

AnsiString TTestResult::LeadingScalesText(TIndexes& Scratch) const {
    Scratch.clear();
    ScalesInStenRange(7, 10, Scratch);
    SortByStenDescending(Scratch);
    AnsiString list = StartList(Scratch.size());
    for (int32_t s : Scratch)
        AppendScaleItem(list, s, true);
    return EndList(std::move(list));
}

AnsiString TTestResult::LowScalesText(TIndexes& Scratch) const {
    AnsiString list = StartList(ScaleCount);
    auto section = [&](int32_t Lo, int32_t Hi, const AnsiString& Title) {
        Scratch.clear();
        ScalesInStenRange(Lo, Hi, Scratch);
        if (Scratch.empty()) return;
        SortByStenAscending(Scratch);
        list += "<li><b>";
        list += Title;
        list += "</b></li><br><ul>";
        for (int32_t s : Scratch)
            AppendScaleItem(list, s, true);
        list += "</ul>";
    };
    section(3, 4, kSuppressed);
    section(1, 2, kDisplaced);
    return EndList(std::move(list));
}

AnsiString TTestResult::MiddleScalesText(TIndexes& Scratch) const {
    Scratch.clear();
    ScalesInStenRange(5, 6, Scratch);
    AnsiString list = StartList(Scratch.size());
    for (int32_t s : Scratch)
        AppendScaleItem(list, s, true);
    return EndList(std::move(list));
}

std::string_view TTestResult::ChartBlock(const AnsiString& ChartFolder) {
    // The windows name the same folder every time.
    static AnsiString folder;
    static AnsiString block;
    if (block.empty() || folder != ChartFolder) {
        block = kChartBlockHead + HtmlEscape(ChartFolder + "TmpLuvChart.bmp") + "\"/></p><br>";
        folder = ChartFolder;
    }
    return block;
}

std::string_view TTestResult::TemplateText(const AnsiString& Name) {
    const AnsiString* text = Main_DataModule->FindHtmlTemplate(Name);
    return text ? std::string_view(*text) : std::string_view();
}

int32_t TTestResult::InterpretedScaleCount() const {
    int32_t count = 0;
    // A sten rounded up to 1..10.
    for (std::size_t s = 0; s < std::size_t(ScaleCount); ++s)
        if (ValidFlags[s] == 1.0 && Stens[s] > 0 && Stens[s] <= StenCount) ++count;
    return count;
}

std::string_view TTestResult::ProfileTypeText(TIndexes& Scratch) const {
    // With fewer scales the type would speak of motives that are unknown,
    // not low: "no motive reaches the leading level" would be false.
    static const std::array<AnsiString, kChartValidScales> notDetermined = [] {
        std::array<AnsiString, kChartValidScales> texts;
        for (int32_t n = 0; n < kChartValidScales; ++n)
            texts[std::size_t(n)] = Format(kNoProfileType, {n});
        return texts;
    }();
    const int32_t interpreted = InterpretedScaleCount();
    if (interpreted < kChartValidScales) return notDetermined[std::size_t(interpreted)];
    // The type texts are HTML of the data file, inserted as they are.
    return TemplateText(ProfileTypeName(Scratch));
}

void TTestResult::BuildReport(const TUser& User, const TTestData& TestData, const AnsiString& ChartFolder,
                              AnsiString& Report) {
    const AnsiString* concl = Main_DataModule->FindHtmlTemplate("concl");
    if (!concl) {
        Report.clear();
        return;
    }
    TIndexes scratch;
    scratch.reserve(ScaleCount);
    AnsiString badScales;
    AnsiString wrongScales;
    for (int s = 0; s < ScaleCount; ++s) {
        if (IsScaleValid(s)) continue;
        badScales += "<li>";
        badScales += ScaleNames[std::size_t(s)];
        badScales += "</li>";
        AppendScaleItem(wrongScales, s, false);
    }
    // Values from the database are escaped, so none holds markup or a "$".
    static TTemplatePlan plan;
    Report =
        plan.Fill(*concl, Main_DataModule->ReferenceDataVersion(),
                  {
                      {"FIO", HtmlEscape(User.FIO)},
                      // No age is shown as an empty cell, as the testee card shows it.
                      {"AGE", User.AGE == -1 ? AnsiString() : IntToStr(User.AGE)},
                      {"Pos", HtmlEscape(User.POSIT)},
                      {"Sen", SeniorityText(User.Seniority)},
                      {"OrgSen", SeniorityText(User.OrgSeniority)},
                      {"Educ", HtmlEscape(User.Education)},
                      {"Job", HtmlEscape(User.Job)},
                      {"Spec", HtmlEscape(User.Spec)},
                      {"IsSpec", SpecialityText(User.isworkforspec)},
                      {"DTest", DateTimeToStr(TestData.DATETEST)},
                      {"TestDur", TestData.TESTDURATION > kAnxiousTestDuration ? kAnxiety : AnsiString()},
                      {"SizeP", ValidShareText()},
                      {"LevelVal", ReliabilityLevelText()},
                      {"BadScales", ListOrNone(badScales)},
                      {"GraphPr",
                       ValidScaleCount() >= kChartValidScales ? ChartBlock(ChartFolder) : std::string_view()},
                      {"LeadLuv", LeadingScalesText(scratch)},
                      {"LowLuv", LowScalesText(scratch)},
                      {"MidLuv", MiddleScalesText(scratch)},
                      {"WrongLuv", ListOrNone(wrongScales)},
                      {"TypeLuvora", ProfileTypeText(scratch)},
                      {"Norms", TemplateText("norms")},
                  });
}

void BuildDynamicsReport(const TUser& /*User*/, const AnsiString& ChartFolder, AnsiString& Report) {
    const AnsiString* dyn = Main_DataModule->FindHtmlTemplate("dyn");
    if (!dyn) {
        Report.clear();
        return;
    }
    // The windows name the same folder every time.
    static AnsiString folder;
    static AnsiString picture;
    if (picture.empty() || folder != ChartFolder) {
        picture = "<img src=\"" + HtmlEscape(ChartFolder + "TmpLuvDynChart.bmp") + "\"/>";
        folder = ChartFolder;
    }
    const AnsiString* norms = Main_DataModule->FindHtmlTemplate("norms");
    static TTemplatePlan plan;
    Report = plan.Fill(*dyn, Main_DataModule->ReferenceDataVersion(),
                       {
                           {"GraphPr", picture},
                           {"Norms", norms ? std::string_view(*norms) : std::string_view()},
                       });
}

void GetTempFolder(AnsiString& Folder) {
    Folder = GetTempFolder();
}

AnsiString GetTempFolder() {
    // Without its folder a chart would land in the current folder under a
    // relative name.
    const AnsiString folder = GetSystemTempPath();
    if (folder.empty() || !DirectoryExists(folder))
        throw Exception("Не удалось создать временную папку для графиков отчета. Проверьте, что в папке "
                        "временных файлов есть свободное место и права на запись."_cp);
    return folder;
}
