// Colours, geometry, fonts, brushes, pens, bitmaps and the canvas interface
// that controls and the rich-text layout draw through. The Qt canvas is in
// QtCanvas.h; the fixed-metrics and recording canvases of the tests are in
// platform/testing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/rtl/Classes.h"

struct TTypeInfo;
struct TClassInfo;

// What documents drawn through the canvas share with the controls that show
// them: the cursor number, the mouse button and keys held, and where text
// sits vertically in its box.
using TCursor = int;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = unsigned;
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// 0x00BBGGRR for RGB, 0xFF0000nn for system colour nn.
using TColor = uint32_t;
// The type of published colour properties.
const TTypeInfo* TypeInfoColor();

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

// System colours resolve through a table of the standard desktop colours, so
// that rendering is the same on every desktop, until SetSysColor changes one;
// clNone and clDefault resolve to black.
TColor ColorToRGB(TColor Color);
// System colour Index (clSystemColor | Index) becomes the RGB colour Color;
// the GUI layer's SetSysColors also tells the controls. An index outside the
// table is ignored.
void SetSysColor(int Index, TColor Color);
constexpr TColor RGB(int R, int G, int B) {
    return TColor(R & 0xFF) | TColor(G & 0xFF) << 8 | TColor(B & 0xFF) << 16;
}
constexpr int GetRValue(TColor C) {
    return int(C & 0xFF);
}
constexpr int GetGValue(TColor C) {
    return int((C >> 8) & 0xFF);
}
constexpr int GetBValue(TColor C) {
    return int((C >> 16) & 0xFF);
}

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and bottom edges lie outside, as everywhere in the system.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(const TPoint& P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};
inline TRect Rect(int L, int T, int R, int B) {
    return TRect{L, T, R, B};
}
inline TRect Bounds(int L, int T, int W, int H) {
    return TRect{L, T, L + W, T + H};
}
inline TPoint Point(int X, int Y) {
    return TPoint{X, Y};
}
bool PtInRect(const TRect& R, const TPoint& P);
bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B);
void InflateRect(TRect& R, int DX, int DY);
void OffsetRect(TRect& R, int DX, int DY);

// Base of the canvas tools: one change callback, set by whoever holds it.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    void Changed();
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// The screen's resolution: every font and canvas has it unless it belongs
// to a device of another one.
constexpr int ScreenPixelsPerInch = 96;
constexpr int PointsPerInch = 72;

// Sized in points or in pixels of the device whose resolution it carries;
// a font assigned from one of another resolution keeps its size in points.
class TFont : public TGraphicsObject {
public:
    TFont();
    void Assign(TPersistent* Source) override;

    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value);
    // Points; negative values are pixel heights, as Height is.
    int Size() const;
    void SetSize(int Value);
    // Pixels of the character cell; negative means character height.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Escapement of the text line, tenths of a degree counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);
    // Pixel size of the character height, as drawing uses it.
    int PixelSize() const;
    // The resolution Size converts through. Changing it keeps Height, as a
    // canvas does when its device changes resolution.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);

    // Tahoma 8 points, the desktop's message font.
    static constexpr int DefaultHeight = -11;
    // The published properties: Color, Height, Name and Style.
    static const TClassInfo* ClassInfo();

private:
    AnsiString FName = "Tahoma";
    int FHeight = DefaultHeight;
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    int FOrientation = 0;
    int FPixelsPerInch = ScreenPixelsPerInch;
};

class TBitmap;

enum class TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
    TBrush();
    ~TBrush() override;
    void Assign(TPersistent* Source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern brush: the bitmap is tiled; nullptr clears the pattern.
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* Value);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = TBrushStyle::bsSolid;
    std::unique_ptr<TBitmap> FBitmap;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

class TPen : public TGraphicsObject {
public:
    void Assign(TPersistent* Source) override;
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = TPenStyle::psSolid;
};

// DrawText flags.
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// DrawEdge.
constexpr unsigned BDR_RAISEDOUTER = 0x1;
constexpr unsigned BDR_SUNKENOUTER = 0x2;
constexpr unsigned BDR_RAISEDINNER = 0x4;
constexpr unsigned BDR_SUNKENINNER = 0x8;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x1;
constexpr unsigned BF_TOP = 0x2;
constexpr unsigned BF_RIGHT = 0x4;
constexpr unsigned BF_BOTTOM = 0x8;
constexpr unsigned BF_RECT = 0xF;
// Fills what lies inside the edges with clBtnFace.
constexpr unsigned BF_MIDDLE = 0x800;
constexpr unsigned BF_ADJUST = 0x2000;

// Text as shown: a single '&' marks the accelerator and is left out, "&&"
// shows one '&'.
AnsiString StripHotkey(const AnsiString& Text);

// The metrics of the canvas's font, in device pixels.
struct TTextMetric {
    int tmHeight = 0; // ascent + descent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0; // room for accents inside the height
    int tmExternalLeading = 0; // room the font asks for between lines
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    friend bool operator==(const TTextMetric&, const TTextMetric&) = default;
};

// The surface every control paints on. Coordinates are logical: the origin
// and the clip set by the layer (painting a child at its offset) apply to
// every call. Font, Brush and Pen are read by each call, as a device context
// reads its selected objects.
//
// Text is CP1251 (AnsiString) or UTF-16 (WideString). Every character has an
// integer advance; the width of a text is the sum of its advances, and
// drawing places each character at exactly the sum of the advances before
// it, so pieces measured apart line up with the whole drawn at once.
class TCanvas : public TPersistent {
public:
    explicit TCanvas(int PixelsPerInch = ScreenPixelsPerInch);
    ~TCanvas() override;

    TFont* Font() const { return FFont.get(); }
    TBrush* Brush() const { return FBrush.get(); }
    TPen* Pen() const { return FPen.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPoint PenPos() const { return FPenPos; }

    void MoveTo(int X, int Y);
    void LineTo(int X, int Y); // leaves out the end point
    void Polyline(const std::vector<TPoint>& Points);
    void FillRect(const TRect& R);              // brush only
    void FrameRect(const TRect& R);             // one-pixel frame in the brush colour
    void Rectangle(int L, int T, int R, int B); // pen outline, brush fill
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void Ellipse(int L, int T, int R, int B);
    // A rectangle with corners rounded by an ellipse EllipseWidth wide and
    // EllipseHeight high; pen outline, brush fill.
    void RoundRect(int L, int T, int R, int B, int EllipseWidth, int EllipseHeight);
    // The text's top-left cell corner at X, Y; the pen moves to its end.
    void TextOut(int X, int Y, const AnsiString& Text);
    void TextOut(int X, int Y, const WideString& Text);
    void TextRect(const TRect& R, int X, int Y, const AnsiString& Text);
    void TextRect(const TRect& R, int X, int Y, const WideString& Text);
    // Returns the text height; with DT_CALCRECT only measures into R.
    int DrawText(const AnsiString& Text, TRect& R, unsigned Format);
    // Width: the sum of the advances; height: the font's tmHeight.
    TSize TextExtent(const AnsiString& Text);
    TSize TextExtent(const WideString& Text);
    int TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
    int TextWidth(const WideString& Text) { return TextExtent(Text).cx; }
    int TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }
    int TextHeight(const WideString& Text) { return TextExtent(Text).cy; }
    // The advance of every character (of every UTF-16 unit; the second unit
    // of a surrogate pair advances 0), character extra included.
    std::vector<int> CharAdvances(const AnsiString& Text);
    std::vector<int> CharAdvances(const WideString& Text);
    // The same into Advances (Text.size() values) without allocating;
    // answers their sum, the width of the text.
    int CharAdvances(std::u16string_view Text, int* Advances);
    // How many characters fit into MaxWidth (Fit), and for every character
    // of the text the width up to and including it (Extents, when given).
    // Answers the extent of the whole text.
    TSize TextExtentEx(const AnsiString& Text, int MaxWidth, int& Fit, std::vector<int>* Extents = nullptr);
    TSize TextExtentEx(const WideString& Text, int MaxWidth, int& Fit, std::vector<int>* Extents = nullptr);
    TTextMetric TextMetrics();
    // Extra pixels after every character, in measuring and drawing alike.
    int TextCharacterExtra() const { return FCharacterExtra; }
    void SetTextCharacterExtra(int Value) { FCharacterExtra = Value; }
    // The device's resolution. The canvas's font takes it; setting it keeps
    // the font's size in points.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);
    void Draw(int X, int Y, TBitmap* Bitmap);
    void StretchDraw(const TRect& Dest, TBitmap* Bitmap);
    // Copies Source's part of Bitmap to Dest; pixels equal to Transparent
    // (when not clNone) leave the destination unchanged.
    void DrawBitmapPart(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Transparent = clNone);
    void DrawFocusRect(const TRect& R);
    void DrawEdge(TRect& R, unsigned Edge, unsigned Flags);
    virtual TColor Pixel(int X, int Y);
    virtual void SetPixel(int X, int Y, TColor Color);

    // Origin and clip, kept by the canvas for every kind of surface.
    // Origin moves are logical lengths; the origin itself is in device pixels.
    void MoveOrigin(int DX, int DY);
    TPoint Origin() const { return FOrigin; }
    // Logical lengths of Window units become Viewport device pixels, so that
    // a page laid out at a printer's resolution draws into a small rectangle
    // (text, lines and pictures alike). A size without two positive values
    // drops the scale. Kept by SaveState and RestoreState.
    void SetScale(TSize Window, TSize Viewport);
    void ResetScale() { FScale = {}; }
    bool Scaled() const { return FScale.Window != FScale.Viewport; }
    // A logical point in device pixels (origin and scale applied).
    TPoint ToDevice(int X, int Y) const;
    void IntersectClipRect(const TRect& R);
    void ResetClip();
    std::optional<TRect> ClipRect() const;
    void SaveState();
    void RestoreState();

protected:
    // Primitives in logical coordinates; the state above is applied by them.
    virtual void DoLine(TPoint A, TPoint B) = 0;
    virtual void DoFillRect(const TRect& R) = 0;
    virtual void DoRectangle(const TRect& R) = 0;
    virtual void DoEllipse(const TRect& R) = 0;
    // A canvas that cannot round corners draws the plain rectangle.
    virtual void DoRoundRect(const TRect& R, int EllipseWidth, int EllipseHeight) {
        (void)EllipseWidth;
        (void)EllipseHeight;
        DoRectangle(R);
    }
    // Draws Text with the top of its cell at Y; character i starts at X plus
    // the sum of Advances before it. Clip, when given, is logical.
    virtual void DoText(int X, int Y, std::u16string_view Text, const int* Advances, const TRect* Clip) = 0;
    // The advance of every UTF-16 unit of Text, without the character extra.
    virtual void DoCharAdvances(std::u16string_view Text, int* Advances) = 0;
    virtual TTextMetric DoTextMetrics() = 0;
    virtual void DoDrawBitmap(const TRect& Dest, TBitmap* Bitmap, const TRect& Source,
                              TColor Transparent) = 0;
    virtual void DoFocusRect(const TRect& R) = 0;

    struct TScale {
        TSize Window{1, 1};
        TSize Viewport{1, 1};
    };
    // In device pixels, or none.
    std::optional<TRect> FClip;
    TPoint FOrigin;
    TScale FScale;

private:
    // Advances into Out (Text.size() values), extra included; answers the sum.
    int Advances(std::u16string_view Text, int* Out);
    // Draws Text and answers its width.
    int DrawTextAt(int X, int Y, std::u16string_view Text, const TRect* Clip);

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    TPoint FPenPos;
    int FPixelsPerInch;
    int FCharacterExtra = 0;
    struct TState {
        TPoint Origin;
        std::optional<TRect> Clip;
        TScale Scale;
    };
    std::vector<TState> FStates;
};

enum class TTransparentMode { tmAuto, tmFixed };

// A 32-bit bitmap. Its canvas is a Qt canvas on the bitmap's image.
class TBitmap : public TGraphicsObject {
public:
    TBitmap();
    TBitmap(int Width, int Height);
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    int Width() const;
    int Height() const;
    void SetSize(int Width, int Height);
    void SetWidth(int Value) { SetSize(Value, Height()); }
    void SetHeight(int Value) { SetSize(Width(), Value); }
    bool Empty() const { return Width() == 0 || Height() == 0; }
    TCanvas* Canvas();
    TColor Pixel(int X, int Y) const;
    void SetPixel(int X, int Y, TColor Color);
    bool Transparent = false;
    TTransparentMode TransparentMode = TTransparentMode::tmAuto;
    TColor TransparentColorValue = clNone;
    // tmAuto: the bottom-left pixel.
    TColor TransparentColor() const;
    // Loads or saves BMP or PNG files; raises EInvalidGraphic on failure.
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName) const;

    // The layer's own image (a QImage); for the Qt side only. Ends the
    // canvas's run of primitives, so the caller may paint on it.
    void* Image() const;
    // Row Y of the pixels, Width() values of 0xAARRGGBB (bytes blue, green,
    // red, alpha); for byte-wise work such as blending. Ends the canvas's
    // run of primitives; nil outside the bitmap.
    uint32_t* ScanLine(int Y);

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
