// Colours, rectangle helpers, and the font, brush and pen that a canvas
// reads, with the published properties of colours and fonts.
#include "platform/canvas/Graphics.h"

#include <algorithm>
#include <atomic>

#include "platform/rtl/TypInfo.h"

namespace {
// System colours are clSystemColor plus an index below this.
constexpr unsigned SystemColorCount = 31;
constexpr TColor SpecialColorMask = 0xFF000000;
constexpr TColor SystemColorIndexMask = 0xFF;

// The system colours as RRGGBB, the standard desktop ones at first. Painting
// on other threads reads them while the GUI thread may change one.
std::atomic<uint32_t> gSystemColors[SystemColorCount] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x3399FF, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x434E54, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0};
} // namespace

TColor ColorToRGB(TColor Color) {
    if ((Color & SpecialColorMask) == clSystemColor) {
        unsigned index = Color & SystemColorIndexMask;
        if (index >= SystemColorCount) return clBlack;
        uint32_t rgb = gSystemColors[index].load(std::memory_order_relaxed);
        return RGB(int(rgb >> 16), int(rgb >> 8), int(rgb));
    }
    if (Color & SpecialColorMask) return clBlack; // clNone, clDefault and other specials
    return Color;
}

void SetSysColor(int Index, TColor Color) {
    if (Index < 0 || unsigned(Index) >= SystemColorCount) return;
    const TColor rgb = ColorToRGB(Color);
    gSystemColors[Index].store(uint32_t(GetRValue(rgb)) << 16 | uint32_t(GetGValue(rgb)) << 8 |
                                   uint32_t(GetBValue(rgb)),
                               std::memory_order_relaxed);
}

bool PtInRect(const TRect& R, const TPoint& P) {
    return R.Contains(P);
}

bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B) {
    Dest = TRect{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                 std::min(A.Bottom, B.Bottom)};
    if (Dest.IsEmpty()) {
        Dest = TRect{};
        return false;
    }
    return true;
}

void InflateRect(TRect& R, int DX, int DY) {
    R.Left -= DX;
    R.Right += DX;
    R.Top -= DY;
    R.Bottom += DY;
}

void OffsetRect(TRect& R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
}

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// TFont

TFont::TFont() = default;

void TFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        FName = f->FName;
        // Scaled straight from the other resolution: through whole points
        // an 8-point font would come out 3 % small at 600 dpi.
        FHeight = f->FPixelsPerInch == FPixelsPerInch ? f->FHeight
                                                      : MulDiv(f->FHeight, FPixelsPerInch, f->FPixelsPerInch);
        FStyle = f->FStyle;
        FColor = f->FColor;
        FOrientation = f->FOrientation;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetName(const AnsiString& Value) {
    if (Value.empty() || Value == FName) return;
    FName = Value;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(FHeight, PointsPerInch, FPixelsPerInch);
}

void TFont::SetSize(int Value) {
    SetHeight(-MulDiv(Value, FPixelsPerInch, PointsPerInch));
}

void TFont::SetPixelsPerInch(int Value) {
    if (Value > 0) FPixelsPerInch = Value;
}

void TFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TFont::SetOrientation(int Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    Changed();
}

int TFont::PixelSize() const {
    // A positive height is the whole cell; its character height is about
    // four fifths of it.
    constexpr int CharacterPart = 4, CellParts = 5;
    if (FHeight < 0) return -FHeight;
    if (FHeight == 0) return -DefaultHeight;
    return std::max(1, FHeight * CharacterPart / CellParts);
}

// TBrush

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        SetBitmap(b->Bitmap());
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor && FStyle != TBrushStyle::bsClear) return;
    FColor = Value;
    if (FStyle == TBrushStyle::bsClear) FStyle = TBrushStyle::bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
    if (Value == FBitmap.get()) return;
    if (Value && !Value->Empty()) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(Value);
        FBitmap = std::move(copy);
    } else {
        FBitmap.reset();
    }
    Changed();
}

// TPen

void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value) {
    if (Value < 1) Value = 1;
    if (Value == FWidth) return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

const TTypeInfo* TypeInfoColor() {
    static const TTypeInfo* t = [] {
        TTypeInfo* c = NewTypeInfo(tkInteger, "TColor");
        c->OrdType = otULong;
        c->MinValue = 0;
        c->MaxValue = -1;
        c->UnitName = "Graphics";
        return c;
    }();
    return t;
}

const TClassInfo* TFont::ClassInfo() {
    static const TTypeInfo* styles = MakeSetTypeInfo(
        "TFontStyles",
        MakeEnumTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, "Graphics"));
    static const TClassInfo* info =
        TClassInfoBuilder<TFont>("TFont", TPersistentClassInfo(), "Graphics")
            .Property("Color", TypeInfoColor(), &TFont::Color, &TFont::SetColor)
            .Property("Height", TypeInfoInteger(), &TFont::Height, &TFont::SetHeight)
            .Property("Name", TypeInfoAnsiString(), &TFont::Name, &TFont::SetName)
            .Property(
                "Style", styles,
                [](TFont& F) -> TPropValue {
                    TSetValue bits{};
                    bits[0] = uint8_t(F.Style());
                    return bits;
                },
                [](TFont& F, const TPropValue& V) { F.SetStyle(std::get<TSetValue>(V)[0]); })
            .Register();
    return info;
}
