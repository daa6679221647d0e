// The texts and colours of the questionnaire's fixed tables.
#include "core/uConsts.h"

namespace {

const AnsiString Displaced =
    "Данный мотив вытеснен в структуре трудовой мотивации вследствие невозможности удовлетворения. "
    "Зачастую это символизирует наличие мотивационной проблемы, неудовлетворенности респондента."_cp;
// Two blanks after "возможно", as the text has always had.
const AnsiString Suppressed = "Данный мотив не значим в структуре трудовой мотивации респондента, возможно  "
                              "подавляется доминирующим мотивом-антагонистом."_cp;
const AnsiString Present = "Данный мотив присутствует в сфере трудовой мотивации респондента, однако в "
                           "настоящее время не является актуальным."_cp;
const AnsiString Current = "Данный мотив является актуальным в структуре трудовой мотивации респондента, он "
                           "служит одним из оснований трудовой активности и символизирует тактические цели "
                           "испытуемого."_cp;
const AnsiString Dominant = "Данный мотив является мотивационной доминантой всей деятельности респондента, "
                            "определяет стратегические, жизненно важные, цели и служит базовым источником "
                            "активности испытуемого."_cp;

} // namespace

const std::array<AnsiString, ScaleCount> ScaleLetters = {"A", "B", "C", "D", "E", "F", "H", "I"};

// The first name starts with a Latin "C"; the others with a Cyrillic "С".
const std::array<AnsiString, ScaleCount> ScaleNames = {
    "C"_cp + "тремление к материальному благополучию"_cp,
    "Стремление к признанию окружающими"_cp,
    "Стремление к ответственности и самостоятельности"_cp,
    "Стремление к зависимости от руководства"_cp,
    "Стремление к карьере"_cp,
    "Стремление к достижению успеха"_cp,
    "Стремление к личностному росту (саморазвитию)"_cp,
    "Стремление к зависимости от группы"_cp,
};

const std::array<AnsiString, ScaleCount> ScaleChartNames = {
    "Стремление к\rматериальному\rблагополучию"_cp,
    "Стремление к\rпризнанию\rокружающими"_cp,
    "Стремление к\rответственности и\rсамостоятельности"_cp,
    "Стремление к\rзависимости от\rруководства"_cp,
    "Стремление к\rкарьерному\rросту"_cp,
    "Стремление к\rдостижению\rуспехов"_cp,
    "Стремление к\rличностному\rросту\r(саморазвитию)"_cp,
    "Стремление к\rзависимости от\rгруппы"_cp,
};

const std::array<AnsiString, 4> ReliabilityLevels = {"Очень высокая"_cp, "Высокая"_cp, "Средняя"_cp,
                                                     "Сниженная"_cp};

const std::array<AnsiString, 5> GroupReliabilityLevels = {
    "Высокий"_cp, "Повышенный"_cp, "Средний"_cp, "Сниженный"_cp,
    "Низкий (недостаточен для построения группового профиля)"_cp};

const std::array<AnsiString, StenCount> StenInterpretations = {
    Displaced, Displaced, Suppressed, Suppressed, Present, Present, Current, Current, Dominant, Dominant};
