// Text styles: construction, copying, comparing, likeness, and the text
// style collection with its fallback and matching.
#include "richtext/engine/style/RVFontInfo.h"

#include "richtext/engine/style/RVStyle.h"

namespace {

bool Has(TRVFontInfoProperties Set, TRVFontInfoProperty P) {
    return Set & RVFontProp(P);
}

template <class T> void CopyBit(T& Target, T Source, T Bit) {
    Target = T((Target & ~Bit) | (Source & Bit));
}

} // namespace

TCustomRVFontInfo::TCustomRVFontInfo(TCollection* Collection) : TCustomRVInfo(Collection) {
    StyleName = "Font Style";
}

void TCustomRVFontInfo::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCustomRVFontInfo*>(Source)) {
        Charset = src->Charset;
        FontName = src->FontName;
        Size = src->Size;
        Style = src->Style;
        VShift = src->VShift;
        Color = src->Color;
        BackColor = src->BackColor;
        HoverBackColor = src->HoverBackColor;
        HoverColor = src->HoverColor;
        HoverEffects = src->HoverEffects;
        StyleEx = src->StyleEx;
        Jump = src->Jump;
        JumpCursor = src->JumpCursor;
        CharScale = src->CharScale;
        CharSpacing = src->CharSpacing;
        BiDiMode = src->BiDiMode;
        SubSuperScriptType = src->SubSuperScriptType;
        Protection = src->Protection;
        Options = src->Options;
        UnderlineType = src->UnderlineType;
        UnderlineColor = src->UnderlineColor;
        HoverUnderlineColor = src->HoverUnderlineColor;
        TCustomRVInfo::Assign(Source);
        return;
    }
    if (auto* font = dynamic_cast<TFont*>(Source)) {
        FontName = font->Name();
        Size = font->Size();
        Color = font->Color();
        Style = font->Style();
        return;
    }
    TCustomRVInfo::Assign(Source);
}

void TCustomRVFontInfo::AssignTo(TPersistent* Dest) {
    if (auto* font = dynamic_cast<TFont*>(Dest)) {
        font->SetName(FontName);
        font->SetSize(Size);
        font->SetColor(Color);
        font->SetStyle(Style);
        return;
    }
    TCustomRVInfo::AssignTo(Dest);
}

void TCustomRVFontInfo::ReadSingleSymbols(bool Value) {
    if (Value) Protection |= rvprStyleProtect | rvprDoNotAutoSwitch;
}

void TCustomRVFontInfo::CopyProperties(const TCustomRVFontInfo& Source, TRVFontInfoProperties Props) {
    auto has = [&](TRVFontInfoProperty P) { return Has(Props, P); };
    if (has(rvfiFontName)) FontName = Source.FontName;
    if (has(rvfiSize)) Size = Source.Size;
    if (has(rvfiCharset)) Charset = Source.Charset;
    if (has(rvfiBold)) CopyBit<TFontStyles>(Style, Source.Style, fsBold);
    if (has(rvfiItalic)) CopyBit<TFontStyles>(Style, Source.Style, fsItalic);
    if (has(rvfiUnderline)) CopyBit<TFontStyles>(Style, Source.Style, fsUnderline);
    if (has(rvfiStrikeout)) CopyBit<TFontStyles>(Style, Source.Style, fsStrikeOut);
    if (has(rvfiOverline)) CopyBit<TRVFontStyles>(StyleEx, Source.StyleEx, rvfsOverline);
    if (has(rvfiAllCaps)) CopyBit<TRVFontStyles>(StyleEx, Source.StyleEx, rvfsAllCaps);
    if (has(rvfiSubSuperScriptType)) SubSuperScriptType = Source.SubSuperScriptType;
    if (has(rvfiVShift)) VShift = Source.VShift;
    if (has(rvfiColor)) Color = Source.Color;
    if (has(rvfiBackColor)) BackColor = Source.BackColor;
    if (has(rvfiJump)) Jump = Source.Jump;
    if (has(rvfiHoverBackColor)) HoverBackColor = Source.HoverBackColor;
    if (has(rvfiHoverColor)) HoverColor = Source.HoverColor;
    if (has(rvfiHoverUnderline)) CopyBit<TRVHoverEffects>(HoverEffects, Source.HoverEffects, rvheUnderline);
    if (has(rvfiJumpCursor)) JumpCursor = Source.JumpCursor;
    if (has(rvfiProtection)) Protection = Source.Protection;
    if (has(rvfiCharScale)) CharScale = Source.CharScale;
    if (has(rvfiBiDiMode)) BiDiMode = Source.BiDiMode;
    if (has(rvfiCharSpacing)) CharSpacing = Source.CharSpacing;
    if (has(rvfiHTMLCode)) CopyBit<TRVTextOptions>(Options, Source.Options, rvteoHTMLCode);
    if (has(rvfiRTFCode)) CopyBit<TRVTextOptions>(Options, Source.Options, rvteoRTFCode);
    if (has(rvfiUnderlineType)) UnderlineType = Source.UnderlineType;
    if (has(rvfiUnderlineColor)) UnderlineColor = Source.UnderlineColor;
    if (has(rvfiHoverUnderlineColor)) HoverUnderlineColor = Source.HoverUnderlineColor;
}

bool TCustomRVFontInfo::SameAs(const TCustomRVInfo& AValue, bool SkipReferences, bool SkipIds) const {
    auto* value = dynamic_cast<const TCustomRVFontInfo*>(&AValue);
    if (!value) return false;
    const TCustomRVFontInfo& v = *value;
    if (Size != v.Size || Charset != v.Charset || Style != v.Style || StyleEx != v.StyleEx ||
        !SameText(FontName, v.FontName) || VShift != v.VShift || Color != v.Color ||
        BackColor != v.BackColor || Jump != v.Jump)
        return false;
    if (Jump &&
        (HoverColor != v.HoverColor || HoverEffects != v.HoverEffects || HoverBackColor != v.HoverBackColor ||
         HoverUnderlineColor != v.HoverUnderlineColor || JumpCursor != v.JumpCursor))
        return false;
    if (Protection != v.Protection || Options != v.Options || CharScale != v.CharScale ||
        CharSpacing != v.CharSpacing || BiDiMode != v.BiDiMode ||
        SubSuperScriptType != v.SubSuperScriptType || UnderlineType != v.UnderlineType ||
        UnderlineColor != v.UnderlineColor)
        return false;
    return TCustomRVInfo::SameAs(AValue, SkipReferences, SkipIds);
}

bool TCustomRVFontInfo::SameExcept(const TCustomRVFontInfo& v, TRVFontInfoProperties Ignored) const {
    auto cmp = [&](TRVFontInfoProperty P, bool Equal) { return Has(Ignored, P) || Equal; };
    auto bit = [](unsigned A, unsigned B, unsigned Bit) { return (A & Bit) == (B & Bit); };
    bool same = cmp(rvfiSize, Size == v.Size) && cmp(rvfiCharset, Charset == v.Charset) &&
                cmp(rvfiBold, bit(Style, v.Style, fsBold)) &&
                cmp(rvfiItalic, bit(Style, v.Style, fsItalic)) &&
                cmp(rvfiUnderline, bit(Style, v.Style, fsUnderline)) &&
                cmp(rvfiStrikeout, bit(Style, v.Style, fsStrikeOut)) &&
                cmp(rvfiOverline, bit(StyleEx, v.StyleEx, rvfsOverline)) &&
                cmp(rvfiAllCaps, bit(StyleEx, v.StyleEx, rvfsAllCaps)) &&
                cmp(rvfiFontName, SameText(FontName, v.FontName)) && cmp(rvfiVShift, VShift == v.VShift) &&
                cmp(rvfiColor, Color == v.Color) && cmp(rvfiBackColor, BackColor == v.BackColor) &&
                cmp(rvfiJump, Jump == v.Jump);
    if (same && Jump)
        same = cmp(rvfiHoverColor, HoverColor == v.HoverColor) &&
               cmp(rvfiHoverBackColor, HoverBackColor == v.HoverBackColor) &&
               cmp(rvfiHoverUnderline, bit(HoverEffects, v.HoverEffects, rvheUnderline)) &&
               cmp(rvfiJumpCursor, JumpCursor == v.JumpCursor);
    return same && cmp(rvfiProtection, Protection == v.Protection) &&
           cmp(rvfiRTFCode, bit(Options, v.Options, rvteoRTFCode)) &&
           cmp(rvfiHTMLCode, bit(Options, v.Options, rvteoHTMLCode)) &&
           cmp(rvfiCharScale, CharScale == v.CharScale) &&
           cmp(rvfiCharSpacing, CharSpacing == v.CharSpacing) && cmp(rvfiBiDiMode, BiDiMode == v.BiDiMode) &&
           cmp(rvfiSubSuperScriptType, SubSuperScriptType == v.SubSuperScriptType) &&
           cmp(rvfiUnderlineType, UnderlineType == v.UnderlineType) &&
           cmp(rvfiUnderlineColor, UnderlineColor == v.UnderlineColor) &&
           cmp(rvfiHoverUnderlineColor, HoverUnderlineColor == v.HoverUnderlineColor) &&
           cmp(rvfiBaseStyleNo, BaseStyleNo == v.BaseStyleNo) &&
           (!CompareStyleNames || StyleName == v.StyleName);
}

int TCustomRVFontInfo::Likeness(const TCustomRVInfo& AValue) const {
    auto* value = dynamic_cast<const TCustomRVFontInfo*>(&AValue);
    if (!value) return 0;
    const TCustomRVFontInfo& v = *value;
    int score =
        NumberSimilarity(v.Size, Size, 10000) + NumberSimilarity(v.VShift, VShift, 1000) +
        NumberSimilarity(v.CharScale, CharScale, 300) + NumberSimilarity(v.CharSpacing, CharSpacing, 1000) +
        ColorSimilarity(v.Color, Color, 3333, 3000) + ColorSimilarity(v.BackColor, BackColor, 10000, 50000);
    if (BiDiMode == v.BiDiMode) score += 10000;
    if (SubSuperScriptType == v.SubSuperScriptType) score += 50000;
    if (SameText(FontName, v.FontName)) score += 10000;
    for (unsigned bit : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
        if ((Style & bit) == (v.Style & bit)) score += 50000;
    for (unsigned bit : {rvfsOverline, rvfsAllCaps})
        if ((StyleEx & bit) == (v.StyleEx & bit)) score += 50000;
    if ((Style == 0 && StyleEx == 0) == (v.Style == 0 && v.StyleEx == 0)) score += 50000;
    if (Jump && v.Jump) {
        if ((HoverEffects & rvheUnderline) == (v.HoverEffects & rvheUnderline)) score += 10000;
        if (JumpCursor == v.JumpCursor) score += 5000;
        score += ColorSimilarity(v.HoverColor, HoverColor, 3333, 3000) / 2;
        score += ColorSimilarity(v.HoverBackColor, HoverBackColor, 10000, 50000) / 2;
    }
    if (Protection != v.Protection) score -= 100000;
    for (unsigned bit : {rvteoHTMLCode, rvteoRTFCode})
        if ((Options & bit) == (v.Options & bit)) score += 50000;
    if (Charset == v.Charset)
        score += 50000;
    else if (Charset == 1 || v.Charset == 1)
        score += 12500;
    return score;
}

int TCustomRVFontInfo::ResolutionOverride(bool UseResolutionOverride) const {
    if (!UseResolutionOverride) return 0;
    auto* infos = dynamic_cast<TFontInfos*>(Collection());
    return infos ? infos->ResolutionOverride : 0;
}

// ---------------------------------------------------------------- TFontInfo

TFontInfo::TFontInfo(TCollection* Collection) : TCustomRVFontInfo(Collection) {}

void TFontInfo::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TFontInfo*>(Source)) {
        NextStyleNo = src->NextStyleNo;
        Unicode = src->Unicode;
        ModifiedProperties = src->ModifiedProperties;
    }
    TCustomRVFontInfo::Assign(Source);
}

bool TFontInfo::SameAs(const TCustomRVInfo& Value, bool SkipReferences, bool SkipIds) const {
    if (!TCustomRVFontInfo::SameAs(Value, SkipReferences, SkipIds)) return false;
    if (auto* v = dynamic_cast<const TFontInfo*>(&Value))
        return Unicode == v->Unicode && ModifiedProperties == v->ModifiedProperties &&
               StyleTemplateId == v->StyleTemplateId && (SkipReferences || NextStyleNo == v->NextStyleNo);
    return true;
}

bool TFontInfo::SameAsMapped(TCustomRVInfo& Value, const TRVIntegerList& Mapping) const {
    if (!SameAs(Value, true, false)) return false;
    auto* v = dynamic_cast<TFontInfo*>(&Value);
    if (!v || v->NextStyleNo < 0) return true;
    if (v->NextStyleNo < Mapping.Count()) return Mapping.GetItem(v->NextStyleNo) == NextStyleNo;
    v->NextStyleNo = -1;
    return true;
}

bool TFontInfo::SameExcept(const TCustomRVFontInfo& Value, TRVFontInfoProperties Ignored) const {
    if (!TCustomRVFontInfo::SameExcept(Value, Ignored)) return false;
    if (auto* v = dynamic_cast<const TFontInfo*>(&Value))
        return (Has(Ignored, rvfiUnicode) || Unicode == v->Unicode) &&
               (Has(Ignored, rvfiNextStyleNo) || NextStyleNo == v->NextStyleNo) &&
               StyleTemplateId == v->StyleTemplateId && ModifiedProperties == v->ModifiedProperties;
    return true;
}

// ---------------------------------------------------------------- TFontInfos

TFontInfos::TFontInfos(TPersistent* Owner, TItemFactory ItemFactory)
    : TCustomRVInfos(
          Owner, ItemFactory ? std::move(ItemFactory) : [](TCollection* C) -> TCollectionItem* {
              return new TFontInfo(C);
          }) {}

TFontInfos::~TFontInfos() = default;

TFontInfo* TFontInfos::GetItem(int Index) {
    if (Index >= 0 && Index < Count()) return static_cast<TFontInfo*>(Items(Index));
    if (!FFallbackItem) {
        auto* rvStyle = dynamic_cast<TRVStyle*>(GetOwner());
        if (!rvStyle) throw EConvertError("Invalid class typecast");
        FFallbackItem.reset(rvStyle->NewTextStyleClass(nullptr));
        if (Count() > 0) FFallbackItem->Assign(Items(0));
        FFallbackItem->BackColor = clRed;
        FFallbackItem->Color = clWhite;
    }
    return FFallbackItem.get();
}

void TFontInfos::SetItem(int Index, TFontInfo* Value) {
    Items(Index)->Assign(Value);
}

int TFontInfos::FindMatchingStyle(int BaseStyle, const TFontInfo& Style, TRVFontInfoProperties Mask) {
    TRVFontInfoProperties ignored = AllTextStyleProperties & ~Mask;
    if (BaseStyle >= 0 && BaseStyle < Count() && Style.SameExcept(*GetItem(BaseStyle), ignored))
        return BaseStyle;
    for (int i = 0; i < Count(); ++i)
        if (i != BaseStyle && Style.SameExcept(*GetItem(i), ignored)) return i;
    return -1;
}

int TFontInfos::FindStyleWithCharset(int BaseStyle, uint8_t Charset) {
    TFontInfo* base = GetItem(BaseStyle);
    if (BaseStyle >= 0 && BaseStyle < Count() && base->Charset == Charset && !base->Unicode) return BaseStyle;
    for (int i = 0; i < Count(); ++i) {
        TFontInfo* item = GetItem(i);
        if (i != BaseStyle && item->Charset == Charset && !item->Unicode &&
            base->SameExcept(*item, RVFontProp(rvfiCharset) | RVFontProp(rvfiUnicode)))
            return i;
    }
    return -1;
}
