// Run-time basics: 8-bit strings in code page 1251, exceptions, number and
// date conversions and the format settings they follow.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

// The system's text: CP1251 bytes. Unicode text is UTF-16.
using AnsiString = std::string;
using WideString = std::u16string;

// "Текст"_cp turns a UTF-8 source literal into CP1251 bytes.
AnsiString operator""_cp(const char* Text, std::size_t Length);

// Code page conversions never fail: a character CP1251 lacks becomes "?",
// and an invalid UTF-8 sequence becomes "?" too.
AnsiString Utf8ToAnsi(std::string_view Utf8);
std::string AnsiToUtf8(std::string_view Ansi);
WideString AnsiToWide(std::string_view Ansi);
AnsiString WideToAnsi(std::u16string_view Wide);
WideString Utf8ToWide(std::string_view Utf8);
std::string WideToUtf8(std::u16string_view Wide);
char16_t Cp1251ToUnicode(unsigned char Ch);
// -1 when CP1251 has no byte for the character.
int UnicodeToCp1251(char32_t Ch);

// Base of every error the system raises. Message holds CP1251 text; what()
// returns the same bytes.
class Exception : public std::exception {
public:
    explicit Exception(AnsiString Msg) : Message(std::move(Msg)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    AnsiString Message;
    int HelpContext = 0;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A value outside the range it must keep to.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

// Locale-dependent formats, read once at start-up.
struct TFormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = ' ';
    char DateSeparator = '.';
    char TimeSeparator = ':';
    AnsiString ShortDateFormat = "dd.mm.yyyy";
    AnsiString LongTimeFormat = "hh:nn:ss";
    AnsiString ShortTimeFormat = "hh:nn";
};
extern TFormatSettings FormatSettings;
// Fills FormatSettings from the user's locale (LC_NUMERIC, LC_TIME).
void LoadLocaleFormatSettings();

// Numbers.
AnsiString IntToStr(int64_t Value);
AnsiString IntToHex(uint64_t Value, int Digits); // upper case
int StrToInt(const AnsiString& S);               // raises EConvertError
int StrToIntDef(const AnsiString& S, int Default);
bool TryStrToInt(const AnsiString& S, int& Value);
bool TryStrToInt64(const AnsiString& S, int64_t& Value);
// General format, 15 significant digits, the settings' decimal separator.
AnsiString FloatToStr(double Value);
AnsiString FloatToStr(double Value, const TFormatSettings& Settings);
double StrToFloat(const AnsiString& S); // raises EConvertError
bool TryStrToFloat(const AnsiString& S, double& Value);
bool TryStrToFloat(const AnsiString& S, double& Value, const TFormatSettings& Settings);
// Fixed format with Digits decimals.
AnsiString FloatToStrF(double Value, int Digits);
// Fixed, or with thousand separators (ffNumber), with Digits decimals; the
// general form with Precision digits for the other formats and for values
// with more integer digits than Precision.
enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
AnsiString FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);
// A number pattern: "0" a digit always shown, "#" a digit shown when
// needed, "." the decimal separator, "," in the integer part thousand
// separators, quoted text as it is; up to three sections split by ";" for
// positive, negative and zero values.
AnsiString FormatFloat(const AnsiString& Pattern, double Value);
int64_t Round(double Value); // half to even
int64_t Trunc(double Value);
// Value * Numerator / Denominator rounded half away from zero; -1 on overflow
// or a zero denominator.
int MulDiv(int Value, int Numerator, int Denominator);

// Format with the run-time's specifiers: %[index:][-][width][.prec]type with
// type one of d u x s f e g n m p; "%%" is a percent sign. A pattern from a
// document is never handed to printf.
class FormatArg {
public:
    FormatArg(int V) : Value(int64_t(V)), Is32Bit(true) {}
    FormatArg(unsigned V) : Value(int64_t(V)), Is32Bit(true) {}
    FormatArg(long V) : Value(int64_t(V)) {}
    FormatArg(long long V) : Value(int64_t(V)) {}
    FormatArg(unsigned long V) : Value(int64_t(V)) {}
    FormatArg(double V) : Value(V) {}
    FormatArg(const char* V) : Value(AnsiString(V ? V : "")) {}
    FormatArg(const AnsiString& V) : Value(V) {}
    FormatArg(const void* V) : Value(V) {}
    std::variant<int64_t, double, AnsiString, const void*> Value;
    // A 32-bit integer shows as 8 hexadecimal digits when negative, as the
    // integer type the run-time stands in for does.
    bool Is32Bit = false;
};
AnsiString Format(const AnsiString& Pattern, std::initializer_list<FormatArg> Args);
AnsiString Format(const AnsiString& Pattern, std::initializer_list<FormatArg> Args,
                  const TFormatSettings& Settings);

// Strings (byte-wise; CP1251 letters are handled by the case helpers).
AnsiString Trim(const AnsiString& S);
AnsiString TrimLeft(const AnsiString& S);
AnsiString TrimRight(const AnsiString& S);
AnsiString AnsiUpperCase(const AnsiString& S); // CP1251 letters included
AnsiString AnsiLowerCase(const AnsiString& S);
char AnsiUpperChar(char C);
char AnsiLowerChar(char C);
int AnsiCompareText(const AnsiString& A, const AnsiString& B); // case-insensitive
bool SameText(const AnsiString& A, const AnsiString& B);
AnsiString StringOfChar(char C, int Count);

// Files and paths ('/' separated).
AnsiString ExtractFilePath(const AnsiString& FileName); // keeps the trailing '/'
AnsiString ExtractFileName(const AnsiString& FileName);
AnsiString ExtractFileExt(const AnsiString& FileName);
AnsiString ChangeFileExt(const AnsiString& FileName, const AnsiString& Ext);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& Path);
bool FileExists(const AnsiString& FileName);
bool DirectoryExists(const AnsiString& Path);
bool DeleteFile(const AnsiString& FileName);

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;
TDateTime EncodeDate(int Year, int Month, int Day); // raises EConvertError
TDateTime EncodeTime(int Hour, int Min, int Sec, int MSec);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
void DecodeTime(TDateTime Time, int& Hour, int& Min, int& Sec, int& MSec);
bool IsLeapYear(int Year);
TDateTime Now();
TDateTime Date();
// Patterns: d dd m mm yy yyyy h hh n nn s ss z zzz, "/" and ":" are the
// settings' separators, quoted text is copied.
AnsiString FormatDateTime(const AnsiString& Pattern, TDateTime Value);
AnsiString FormatDateTime(const AnsiString& Pattern, TDateTime Value, const TFormatSettings& Settings);
AnsiString DateToStr(TDateTime Value);
AnsiString TimeToStr(TDateTime Value);
AnsiString DateTimeToStr(TDateTime Value);
TDateTime StrToDate(const AnsiString& S); // raises EConvertError
bool TryStrToDate(const AnsiString& S, TDateTime& Value);
bool TryStrToDate(const AnsiString& S, TDateTime& Value, const TFormatSettings& Settings);
// Unix seconds (UTC) to and from TDateTime.
TDateTime UnixToDateTime(int64_t Seconds);
int64_t DateTimeToUnix(TDateTime Value);
