// Text styles: their properties, copying, comparing, matching and
// likeness, how they go onto a canvas, and their CSS, RTF and HTML forms.
#pragma once

#include <memory>

#include "platform/canvas/Graphics.h"
#include "richtext/engine/style/RVInfos.h"
#include "richtext/engine/text/RVFuncs.h"
#include "richtext/engine/text/RVUni.h"

inline constexpr TCursor crJump = 101;
inline constexpr TCursor crRVFlipArrow = 106;

// The states in which a piece of text is drawn.
using TRVTextDrawStates = uint8_t;
enum TRVTextDrawState : uint8_t {
    rvtsSelected = 1 << 0,
    rvtsHover = 1 << 1,
    rvtsItemStart = 1 << 2,
    rvtsItemEnd = 1 << 3,
    rvtsDrawItemStart = 1 << 4,
    rvtsDrawItemEnd = 1 << 5,
    rvtsControlFocused = 1 << 6,
    rvtsSpecialCharacters = 1 << 7,
};

class TCustomRVFontInfo : public TCustomRVInfo {
public:
    explicit TCustomRVFontInfo(TCollection* Collection);

    uint8_t Charset = 1;
    AnsiString FontName = "Arial";
    int32_t Size = 10;
    TFontStyles Style = 0;
    int32_t VShift = 0;
    TColor Color = clWindowText;
    TColor BackColor = clNone;
    TColor HoverBackColor = clNone;
    TColor HoverColor = clNone;
    TRVHoverEffects HoverEffects = 0;
    TRVFontStyles StyleEx = 0;
    bool Jump = false;
    TCursor JumpCursor = crJump;
    int32_t CharScale = 100;
    int32_t CharSpacing = 0;
    TRVBiDiMode BiDiMode = rvbdUnspecified;
    TRVSubSuperScriptType SubSuperScriptType = rvsssNormal;
    TRVProtectOptions Protection = 0;
    TRVTextOptions Options = 0;
    TRVUnderlineType UnderlineType = rvutNormal;
    TColor UnderlineColor = clNone;
    TColor HoverUnderlineColor = clNone;

    void Assign(TPersistent* Source) override;
    void AssignTo(TPersistent* Dest) override;
    // Copies from Source exactly the properties in Props.
    void CopyProperties(const TCustomRVFontInfo& Source, TRVFontInfoProperties Props);
    bool SameAs(const TCustomRVInfo& Value, bool SkipReferences, bool SkipIds) const override;
    // Compares every property not in Ignored.
    virtual bool SameExcept(const TCustomRVFontInfo& Value, TRVFontInfoProperties Ignored) const;
    int Likeness(const TCustomRVInfo& Value) const override;
    // Older style sheets stored a "SingleSymbols" flag; reading it true
    // protects the style.
    void ReadSingleSymbols(bool Value);

    // ---- on a canvas
    int GetSubSuperScriptHeight(TCanvas& Canvas) const;
    void ApplyToCanvas(TCanvas& Canvas, TRVBiDiMode DefBiDiMode, bool UseResolutionOverride,
                       const int* SubSuperHeight, bool IgnoreSubSuperScript) const;
    void ApplyBiDiMode(TCanvas& Canvas, TRVBiDiMode DefBiDiMode) const;
    void ApplyColor(TCanvas& Canvas, const TRVStyle& RVStyle, TRVTextDrawStates DrawState, bool Printing,
                    TRVColorMode ColorMode) const;
    TColor GetUnderlineColor(TCanvas& Canvas, TRVTextDrawStates DrawState) const;
    // S is item text: raw UTF-16 when ItemOptions says so, else 8-bit text
    // in this style's code page; it reaches the canvas as UTF-16.
    void Draw(const AnsiString& S, TRVItemOptions ItemOptions, TCanvas& Canvas, int StyleNo, int SpaceBefore,
              int Left, int Top, int Width, int Height, TRVStyle& RVStyle, TRVTextDrawStates DrawState,
              bool Printing, bool PreviewCorrection, TRVColorMode ColorMode, TRVBiDiMode DefBiDiMode) const;
    // Whether the text of this style is raw UTF-16.
    virtual bool IsUnicode() const { return false; }
    // The code page of 8-bit text in this style: DefCodePage for the
    // default character set, else that of Charset (0: the program's).
    unsigned GetCodePage(unsigned DefCodePage) const;

    // ---- CSS and RTF
    // The declarations of this style, only what differs from Parent when
    // one is given.
    void WriteCss(TStream& Stream, const TCustomRVFontInfo* Parent, bool UTF8, bool Multiline) const;
    // DefaultLanguage is written for the default charset (the document's
    // code page).
    void WriteRtf(TStream& Stream, int StyleNo, const TRVColorList& ColorTable, const TRVIntegerList& FontMap,
                  double TwipsPerPixel, int DefaultLanguage = 0) const;

protected:
    int ResolutionOverride(bool UseResolutionOverride) const;
};

class TFontInfo : public TCustomRVFontInfo {
public:
    explicit TFontInfo(TCollection* Collection);

    int32_t NextStyleNo = -1;
    bool Unicode = false;
    TRVFontInfoProperties ModifiedProperties = 0;

    void Assign(TPersistent* Source) override;
    bool SameAs(const TCustomRVInfo& Value, bool SkipReferences, bool SkipIds) const override;
    bool SameAsMapped(TCustomRVInfo& Value, const TRVIntegerList& Mapping) const override;
    bool SameExcept(const TCustomRVFontInfo& Value, TRVFontInfoProperties Ignored) const override;
    bool IsUnicode() const override { return Unicode; }
};

class TFontInfos : public TCustomRVInfos {
public:
    explicit TFontInfos(TPersistent* Owner, TItemFactory ItemFactory = nullptr);
    ~TFontInfos() override;

    TFontInfo* Add() { return static_cast<TFontInfo*>(TCollection::Add()); }
    // An index out of range gives the white-on-red fallback style.
    TFontInfo* GetItem(int Index);
    TFontInfo* operator[](int Index) { return GetItem(Index); }
    void SetItem(int Index, TFontInfo* Value);
    int FindMatchingStyle(int BaseStyle, const TFontInfo& Style, TRVFontInfoProperties Mask);
    int FindStyleWithCharset(int BaseStyle, uint8_t Charset);

    // A resolution that font application may use instead of the canvas's.
    int32_t ResolutionOverride = 0;

private:
    std::unique_ptr<TFontInfo> FFallbackItem;
};

// One underline from Left to Right centred on Y in the pattern of its type.
void DrawUnderlineLine(TCanvas& Canvas, TRVUnderlineType UnderlineType, TColor Color, int Left, int Right,
                       int Y, int Thickness);

// HTML font tags of a text style, relative to BaseStyle when Relative.
AnsiString HtmlFontOpenTags(const TCustomRVFontInfo& TextStyle, const TCustomRVFontInfo& BaseStyle,
                            bool Relative, TRVHtmlSaveOptions Options);
AnsiString HtmlFontCloseTags(const TCustomRVFontInfo& TextStyle, const TCustomRVFontInfo& BaseStyle,
                             bool Relative);
// The same for the font of a list marker; the face only when CompareName.
AnsiString MarkerFontOpenTags(const TFont& Font, const TCustomRVFontInfo& BaseStyle, bool CompareName,
                              TRVHtmlSaveOptions Options);
AnsiString MarkerFontCloseTags(const TFont& Font, const TCustomRVFontInfo& BaseStyle, bool CompareName);
