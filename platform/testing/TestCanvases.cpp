// The fixed-metrics canvas's measuring and the recording canvas's log.
#include "platform/testing/TestCanvases.h"

namespace {
// Colours are logged as six hexadecimal digits, BBGGRR; clNone, which no
// drawing should use, as "clNone".
constexpr int ColorDigits = 6;

AnsiString Hex(TColor Color) {
    return Color == clNone ? AnsiString("clNone") : IntToHex(Color, ColorDigits);
}
} // namespace

void TFixedMetricsCanvas::DoCharAdvances(std::u16string_view Text, int* Advances) {
    for (std::size_t i = 0; i < Text.size(); ++i)
        Advances[i] =
            i > 0 && Text[i] >= 0xDC00 && Text[i] <= 0xDFFF && Text[i - 1] >= 0xD800 && Text[i - 1] <= 0xDBFF
                ? 0
                : CharWidth;
}

TTextMetric TFixedMetricsCanvas::DoTextMetrics() {
    TTextMetric m;
    m.tmAscent = Ascent;
    m.tmDescent = Descent;
    m.tmHeight = Ascent + Descent;
    m.tmInternalLeading = InternalLeading;
    m.tmExternalLeading = ExternalLeading;
    m.tmAveCharWidth = CharWidth;
    m.tmMaxCharWidth = CharWidth;
    return m;
}

std::vector<AnsiString> TRecordingCanvas::Calls(const AnsiString& Prefix) const {
    std::vector<AnsiString> out;
    for (auto& line : Log)
        if (line.compare(0, Prefix.size(), Prefix) == 0) out.push_back(line);
    return out;
}

std::vector<AnsiString> TRecordingCanvas::DrawnWithNone() const {
    std::vector<AnsiString> out;
    for (auto& line : Log)
        if (line.find("=clNone") != AnsiString::npos) out.push_back(line);
    return out;
}

AnsiString TRecordingCanvas::At(int X, int Y) const {
    TPoint device = ToDevice(X, Y);
    return IntToStr(device.X) + "," + IntToStr(device.Y);
}

void TRecordingCanvas::DoLine(TPoint A, TPoint B) {
    Log.push_back("Line " + At(A.X, A.Y) + "-" + At(B.X, B.Y) + " pen=" + Hex(Pen()->Color()));
}

void TRecordingCanvas::DoFillRect(const TRect& R) {
    Log.push_back("Fill " + At(R.Left, R.Top) + "-" + At(R.Right, R.Bottom) +
                  " brush=" + Hex(Brush()->Color()));
}

void TRecordingCanvas::DoRectangle(const TRect& R) {
    Log.push_back("Rectangle " + At(R.Left, R.Top) + "-" + At(R.Right, R.Bottom) +
                  " pen=" + Hex(Pen()->Color()) +
                  (Brush()->Style() == TBrushStyle::bsClear ? AnsiString(" brush=clear")
                                                            : " brush=" + Hex(Brush()->Color())));
}

void TRecordingCanvas::DoEllipse(const TRect& R) {
    Log.push_back("Ellipse " + At(R.Left, R.Top) + "-" + At(R.Right, R.Bottom));
}

void TRecordingCanvas::DoText(int X, int Y, std::u16string_view Text, const int*, const TRect*) {
    AnsiString style;
    if (Font()->Style() & fsBold) style += "b";
    if (Font()->Style() & fsItalic) style += "i";
    Log.push_back("Text " + At(X, Y) + " '" + WideToAnsi(Text) + "' font=" + Font()->Name() + "," +
                  IntToStr(Font()->Height()) + "," + style + " color=" + Hex(Font()->Color()) +
                  (Font()->Orientation() ? " angle=" + IntToStr(Font()->Orientation()) : AnsiString()));
}

void TRecordingCanvas::DoDrawBitmap(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor) {
    Log.push_back("Bitmap " + At(Dest.Left, Dest.Top) + "-" + At(Dest.Right, Dest.Bottom) + " from " +
                  IntToStr(Source.Left) + "," + IntToStr(Source.Top) + "-" + IntToStr(Source.Right) + "," +
                  IntToStr(Source.Bottom) + " of " + IntToStr(Bitmap->Width()) + "x" +
                  IntToStr(Bitmap->Height()));
}

void TRecordingCanvas::DoFocusRect(const TRect& R) {
    Log.push_back("Focus " + At(R.Left, R.Top) + "-" + At(R.Right, R.Bottom));
}
