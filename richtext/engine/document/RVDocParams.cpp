// Document parameters: defaults, copying, which values are stored, unit
// conversions, and their RVF lines.
#include "richtext/engine/document/RVDocParams.h"

#include <cmath>

#include "richtext/engine/text/RVFuncs.h"

namespace {

constexpr double DefPageWidth = 8.2677165354;
constexpr double DefPageHeight = 11.692913386;
constexpr double DefLeftRight = 1.25;
constexpr double DefTopBottom = 1;
constexpr double DefHeaderFooter = 0.5;

bool Stored(double Value, double Default) {
    return std::fabs(Value - Default) > TRVDocParameters::StoredDifference;
}

// Files never depend on the locale: the decimal separator is always ".".
AnsiString RvfFloat(double Value) {
    AnsiString text = FloatToStr(Value);
    std::size_t sep = text.find(FormatSettings.DecimalSeparator);
    if (sep != AnsiString::npos) text[sep] = '.';
    return text;
}

} // namespace

double UnitsPerInch(TRVUnits Units) {
    switch (Units) {
    case rvuCentimeters:
        return 2.54;
    case rvuMillimeters:
        return 25.4;
    case rvuPicas:
        return 6;
    case rvuPoints:
        return 72;
    case rvuPixels:
        return RVPixelsPerInchOverride != 0 ? RVPixelsPerInchOverride : RVScreenPixelsPerInch;
    default:
        return 1;
    }
}

void TRVDocParameters::Reset() {
    PageWidth = DefPageWidth;
    PageHeight = DefPageHeight;
    Units = rvuInches;
    Orientation = poPortrait;
    LeftMargin = RightMargin = DefLeftRight;
    TopMargin = BottomMargin = DefTopBottom;
    HeaderY = FooterY = DefHeaderFooter;
    ZoomPercent = 100;
    ZoomMode = rvzmCustom;
    MirrorMargins = false;
}

void TRVDocParameters::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TRVDocParameters*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    PageWidth = src->PageWidth;
    PageHeight = src->PageHeight;
    Units = src->Units;
    Orientation = src->Orientation;
    LeftMargin = src->LeftMargin;
    RightMargin = src->RightMargin;
    TopMargin = src->TopMargin;
    BottomMargin = src->BottomMargin;
    HeaderY = src->HeaderY;
    FooterY = src->FooterY;
    ZoomPercent = src->ZoomPercent;
    ZoomMode = src->ZoomMode;
    MirrorMargins = src->MirrorMargins;
}

int TRVDocParameters::GetRVFLineCount() const {
    return (Units != rvuInches) + (Orientation != poPortrait) + Stored(PageHeight, DefPageHeight) +
           Stored(PageWidth, DefPageWidth) + Stored(LeftMargin, DefLeftRight) +
           Stored(RightMargin, DefLeftRight) + Stored(TopMargin, DefTopBottom) +
           Stored(BottomMargin, DefTopBottom) + Stored(HeaderY, DefHeaderFooter) +
           Stored(FooterY, DefHeaderFooter) + (ZoomPercent != 100) + (ZoomMode != rvzmCustom) + MirrorMargins;
}

bool TRVDocParameters::HeaderYStored() const {
    return Stored(HeaderY, DefHeaderFooter);
}

bool TRVDocParameters::FooterYStored() const {
    return Stored(FooterY, DefHeaderFooter);
}

int TRVDocParameters::ToTwips(double Value) const {
    return int(Round(Value * 1440 / UnitsPerInch(Units)));
}

double TRVDocParameters::FromTwips(int Twips) const {
    return UnitsPerInch(Units) * Twips / 1440;
}

void TRVDocParameters::WriteDocParametersRvf(TStream& Stream) const {
    if (Units != rvuInches) WriteTextLine(Stream, "Units=" + IntToStr(Units));
    if (Orientation != poPortrait) WriteTextLine(Stream, "Orientation=" + IntToStr(Orientation));
    const std::pair<const char*, std::pair<double, double>> lengths[] = {
        {"PageHeight", {PageHeight, DefPageHeight}}, {"PageWidth", {PageWidth, DefPageWidth}},
        {"LeftMargin", {LeftMargin, DefLeftRight}},  {"RightMargin", {RightMargin, DefLeftRight}},
        {"TopMargin", {TopMargin, DefTopBottom}},    {"BottomMargin", {BottomMargin, DefTopBottom}},
        {"HeaderY", {HeaderY, DefHeaderFooter}},     {"FooterY", {FooterY, DefHeaderFooter}}};
    for (const auto& [name, value] : lengths)
        if (Stored(value.first, value.second))
            WriteTextLine(Stream, AnsiString(name) + "=" + RvfFloat(value.first));
    if (ZoomPercent != 100) WriteTextLine(Stream, "ZoomPercent=" + IntToStr(ZoomPercent));
    if (ZoomMode != rvzmCustom) WriteTextLine(Stream, "ZoomMode=" + IntToStr(ZoomMode));
    if (MirrorMargins) WriteTextLine(Stream, "MirrorMargins=1");
}

void TRVDocParameters::ReadDocParameterRvf(const AnsiString& Line) {
    std::size_t eq = Line.find('=');
    if (eq == AnsiString::npos) return;
    AnsiString name = Line.substr(0, eq), value = Line.substr(eq + 1);
    auto length = [&]() {
        AnsiString local = value;
        std::size_t dot = local.find('.');
        if (dot != AnsiString::npos) local[dot] = FormatSettings.DecimalSeparator;
        return StrToFloat(local);
    };
    if (name == "Units")
        Units = TRVUnits(StrToInt(value));
    else if (name == "Orientation")
        Orientation = TPrinterOrientation(StrToInt(value));
    else if (name == "ZoomPercent")
        ZoomPercent = StrToInt(value);
    else if (name == "ZoomMode")
        ZoomMode = TRVZoomMode(StrToInt(value));
    else if (name == "PageWidth")
        PageWidth = length();
    else if (name == "PageHeight")
        PageHeight = length();
    else if (name == "LeftMargin")
        LeftMargin = length();
    else if (name == "RightMargin")
        RightMargin = length();
    else if (name == "TopMargin")
        TopMargin = length();
    else if (name == "BottomMargin")
        BottomMargin = length();
    else if (name == "HeaderY")
        HeaderY = length();
    else if (name == "FooterY")
        FooterY = length();
    else if (name == "MirrorMargins")
        MirrorMargins = value != "0";
}
