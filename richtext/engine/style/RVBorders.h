// The parts a paragraph style owns: side values and flags, the border, the
// background rectangle and the sorted tab stops.
#pragma once

#include "platform/canvas/Graphics.h"
#include "platform/rtl/Collections.h"
#include "richtext/engine/style/RVStyleTypes.h"
#include "richtext/engine/text/RVFuncs.h"

class TRVRect : public TPersistent {
public:
    int32_t Left = 0;
    int32_t Right = 0;
    int32_t Top = 0;
    int32_t Bottom = 0;

    void Assign(TPersistent* Source) override;
    TRVRect& CopySides(const TRVRect& Source, bool WithLeft, bool WithTop, bool WithRight, bool WithBottom);
    void SetAll(int Value);
    bool IsEqual(const TRVRect& Value) const;
    bool IsEqualEx(const TRVRect& Value, bool IgnoreLeft, bool IgnoreTop, bool IgnoreRight,
                   bool IgnoreBottom) const;
    int Likeness(const TRVRect& Value, int Weight) const;
    TRect AsRect() const { return TRect{Left, Top, Right, Bottom}; }
    // Each side of R raised to at least this one's.
    void RaiseRect(TRect& R) const;
    void ExpandRect(TRect& R) const;
    void ExpandRectToDevice(TRect& R, const TRVScreenDeviceResolution& Resolution) const;
};

void ScaleRect(TRect& R, int MulX, int DivX, int MulY, int DivY);

class TRVBooleanRect : public TPersistent {
public:
    explicit TRVBooleanRect(bool Value = true) { SetAll(Value); }
    bool Left = true;
    bool Right = true;
    bool Top = true;
    bool Bottom = true;

    void Assign(TPersistent* Source) override;
    void SetAll(bool Value);
    void SetValues(bool ALeft, bool ATop, bool ARight, bool ABottom);
    void CopySides(const TRVBooleanRect& Source, bool WithLeft, bool WithTop, bool WithRight,
                   bool WithBottom);
    bool IsEqual(const TRVBooleanRect& Value) const;
    bool IsEqualToValues(bool ALeft, bool ATop, bool ARight, bool ABottom) const;
    bool IsAll(bool Value) const;
    bool IsEqualEx(const TRVBooleanRect& Value, bool IgnoreLeft, bool IgnoreTop, bool IgnoreRight,
                   bool IgnoreBottom) const;
};

class TRVBorder : public TPersistent {
public:
    int32_t Width = 1;
    int32_t InternalWidth = 1;
    TColor Color = clWindowText;
    TRVBorderStyle Style = rvbNone;

    TRVBooleanRect& VisibleBorders() { return FVisibleBorders; }
    const TRVBooleanRect& VisibleBorders() const { return FVisibleBorders; }
    void SetVisibleBorders(const TRVBooleanRect& Value) {
        FVisibleBorders.CopySides(Value, true, true, true, true);
    }
    TRVRect& BorderOffsets() { return FBorderOffsets; }
    const TRVRect& BorderOffsets() const { return FBorderOffsets; }
    void SetBorderOffsets(const TRVRect& Value) { FBorderOffsets.CopySides(Value, true, true, true, true); }

    void Assign(TPersistent* Source) override;
    bool IsEqual(const TRVBorder& Value) const;
    // Ignored and Props are paragraph property sets; only the border's own
    // members count.
    bool IsEqualEx(const TRVBorder& Value, TRVParaInfoProperties Ignored) const;
    void CopyProperties(const TRVBorder& Source, TRVParaInfoProperties Props);
    int GetTotalWidth() const;
    // Not rvbNone and a colour to draw with.
    bool IsVisible() const { return Style != rvbNone && Color != clNone; }
    // Draws around the paragraph rectangle Rect of a device canvas.
    void Draw(const TRect& Rect, TCanvas& Canvas, const TRVScreenDeviceResolution& Resolution,
              TRVColorMode ColorMode) const;
    // Draws around the paragraph rectangle Rect on the screen.
    void DrawUnscaled(const TRect& Rect, TCanvas& Canvas) const;
    int Likeness(const TRVBorder& Value) const;

private:
    void DoDraw(TRect R, TCanvas& Canvas, int LineWidth, int Step, int Internal,
                TRVColorMode ColorMode) const;
    TRVBooleanRect FVisibleBorders;
    TRVRect FBorderOffsets;
};

class TRVBackgroundRect : public TPersistent {
public:
    TColor Color = clNone;
    TRVRect& BorderOffsets() { return FBorderOffsets; }
    const TRVRect& BorderOffsets() const { return FBorderOffsets; }
    void SetBorderOffsets(const TRVRect& Value) { FBorderOffsets.CopySides(Value, true, true, true, true); }

    void Assign(TPersistent* Source) override;
    void ExpandRectUnscaled(TRect& R) const { FBorderOffsets.ExpandRect(R); }
    void ExpandRect(TRect& R, const TRVScreenDeviceResolution& Resolution) const {
        FBorderOffsets.ExpandRectToDevice(R, Resolution);
    }
    void Draw(const TRect& Rect, TCanvas& Canvas, TRVColorMode ColorMode) const;
    bool IsEqual(const TRVBackgroundRect& Value) const;
    bool IsEqualEx(const TRVBackgroundRect& Value, TRVParaInfoProperties Ignored) const;
    void CopyProperties(const TRVBackgroundRect& Source, TRVParaInfoProperties Props);
    int Likeness(const TRVBackgroundRect& Value) const;

private:
    TRVRect FBorderOffsets;
};

class TRVTabInfo : public TCollectionItem {
public:
    explicit TRVTabInfo(TCollection* Collection) : TCollectionItem(Collection) {}
    TRVTabAlign Align = rvtaLeft;
    AnsiString Leader;
    int32_t Position() const { return FPosition; }
    // Keeps the owning list sorted by position.
    void SetPosition(int32_t Value);

    void Assign(TPersistent* Source) override;
    bool IsEqual(const TRVTabInfo& Value) const;
    int Likeness(const TRVTabInfo& Value) const;
    AnsiString DisplayName() const override;

private:
    int32_t FPosition = 0;
};

class TRVTabInfos : public TOwnedCollection {
public:
    explicit TRVTabInfos(TPersistent* Owner);
    TRVTabInfo* Add() { return static_cast<TRVTabInfo*>(TCollection::Add()); }
    // A bad index raises the list error.
    TRVTabInfo* GetItem(int Index) const { return static_cast<TRVTabInfo*>(Items(Index)); }
    TRVTabInfo* operator[](int Index) const { return GetItem(Index); }
    void Assign(TPersistent* Source) override;
    bool IsEqual(const TRVTabInfos& Value) const;
    int Likeness(const TRVTabInfos& Value) const;
    void SortTabs();
};
