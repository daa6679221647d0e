// The date picker on a Qt date-time edit: the value with its kept date or
// time of day, the display pattern, and the user's picks.
#include <QDateTimeEdit>
#include <QLocale>
#include <cctype>
#include <cmath>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/gui/StdCtrls_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr int DefaultPickerWidth = 186;
constexpr int DefaultPickerHeight = 21;

QDateTime ToQt(TDateTime Value) {
    int y, m, d, h, n, s, ms;
    DecodeDate(Value, y, m, d);
    DecodeTime(Value, h, n, s, ms);
    return QDateTime(QDate(y, m, d), QTime(h, n, s, ms));
}

TDateTime FromQt(const QDateTime& Value) {
    QDate d = Value.date();
    QTime t = Value.time();
    return EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

// Appends a run of one pattern letter as Qt's letters say it.
void AppendRun(QString& Out, char Letter, int Count, bool DateContext) {
    auto repeat = [](char C, int N) { return QString(N, QChar(C)); };
    switch (Letter) {
    case 'd':
        Out += repeat('d', std::min(Count, 4));
        return;
    case 'M':
        Out += repeat('M', std::min(Count, 4));
        return;
    case 'y':
        Out += Count <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
        return;
    case 'h':
    case 'H':
        Out += repeat(Letter, std::min(Count, 2));
        return;
    case 'm':
        // In the run-time's own date formats "m" is the month.
        Out += repeat(DateContext ? 'M' : 'm', DateContext ? std::min(Count, 4) : std::min(Count, 2));
        return;
    case 'n':
        Out += repeat('m', std::min(Count, 2));
        return;
    case 's':
        Out += repeat('s', std::min(Count, 2));
        return;
    case 't':
        Out += QStringLiteral("AP");
        return;
    default:
        // Any other letter is text: quoted, so Qt does not read it.
        Out += QChar('\'') + repeat(Letter, Count) + QChar('\'');
        return;
    }
}

// A pattern in the desktop's picture letters (or, with RunTimeDate, a date
// format of the run-time, where "m" is the month) as Qt's pattern.
QString QtPattern(const AnsiString& Pattern, bool RunTimeDate) {
    QString out;
    for (std::size_t i = 0; i < Pattern.size();) {
        char c = Pattern[i];
        if (c == '\'') {
            // Quoted text, '' for a quote, as in Qt.
            std::size_t end = i + 1;
            while (end < Pattern.size() &&
                   !(Pattern[end] == '\'' && (end + 1 >= Pattern.size() || Pattern[end + 1] != '\'')))
                end += Pattern[end] == '\'' ? 2 : 1;
            out += QtString(Pattern.substr(i, std::min(end + 1, Pattern.size()) - i));
            i = end + 1;
            continue;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) {
            std::size_t run = i;
            while (run < Pattern.size() && Pattern[run] == c)
                ++run;
            AppendRun(out, c, int(run - i), RunTimeDate);
            i = run;
            continue;
        }
        out += QtString(AnsiString(1, c));
        ++i;
    }
    return out;
}

QDateTimeEdit* EditOf(const TDateTimePicker* Picker) {
    return static_cast<QDateTimeEdit*>(Picker->Widget());
}
} // namespace

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner), FDateTime(Now()) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, DefaultPickerWidth, DefaultPickerHeight);
}

QWidget* TDateTimePicker::CreateWidget() {
    auto* edit = new QDateTimeEdit();
    QObject::connect(edit, &QDateTimeEdit::dateTimeChanged, [this](const QDateTime&) {
        if (FSyncing) return;
        CallAtEventBoundary(this, [this] { WidgetChanged(); });
    });
    return edit;
}

void TDateTimePicker::WidgetCreated() {
    UpdateWidget();
}

static QString DisplayPattern(TDateTimeKind Kind, TDTDateFormat DateFormat, const AnsiString& Format) {
    if (!Format.empty()) return QtPattern(Format, false);
    if (Kind == TDateTimeKind::dtkTime) return QtPattern(FormatSettings.LongTimeFormat, false);
    if (DateFormat == TDTDateFormat::dfLong) return QLocale().dateFormat(QLocale::LongFormat);
    return QtPattern(FormatSettings.ShortDateFormat, true);
}

void TDateTimePicker::UpdateWidget() {
    if (!HandleAllocated()) return;
    FSyncing = true;
    TScopeGuard end([this] { FSyncing = false; });
    QDateTimeEdit* edit = EditOf(this);
    edit->setCalendarPopup(FKind == TDateTimeKind::dtkDate);
    edit->setDisplayFormat(DisplayPattern(FKind, FDateFormat, FFormat));
    edit->setDateTime(ToQt(FDateTime));
    ApplyControlColors(edit, this, true);
}

void TDateTimePicker::WidgetChanged() {
    QDateTime picked = EditOf(this)->dateTime();
    TDateTime value = FromQt(picked);
    // The part the picker does not show stays as it was.
    double day = std::floor(FDateTime), time = FDateTime - day;
    if (FKind == TDateTimeKind::dtkDate)
        FDateTime = std::floor(value) + time;
    else
        FDateTime = day + (value - std::floor(value));
    Change();
}

void TDateTimePicker::Change() {
    if (OnChange) OnChange(this);
}

void TDateTimePicker::SetDateTime(TDateTime Value) {
    FDateTime = Value;
    UpdateWidget();
}

TDateTime TDateTimePicker::Date() const {
    return std::floor(FDateTime);
}

void TDateTimePicker::SetDate(TDateTime Value) {
    SetDateTime(std::floor(Value) + (FDateTime - std::floor(FDateTime)));
}

TDateTime TDateTimePicker::Time() const {
    return FDateTime - std::floor(FDateTime);
}

void TDateTimePicker::SetTime(TDateTime Value) {
    SetDateTime(std::floor(FDateTime) + (Value - std::floor(Value)));
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
    FKind = Value;
    UpdateWidget();
}

void TDateTimePicker::SetFormat(const AnsiString& Value) {
    FFormat = Value;
    UpdateWidget();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat Value) {
    FDateFormat = Value;
    UpdateWidget();
}

AnsiString TDateTimePicker::DisplayText() const {
    EnsureQtApplication();
    return FromQtString(QLocale().toString(ToQt(FDateTime), DisplayPattern(FKind, FDateFormat, FFormat)));
}

void TDateTimePicker::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    }
    TWinControl::Dispatch(Message);
    FollowControlColors(this, Message.Msg, true);
}
