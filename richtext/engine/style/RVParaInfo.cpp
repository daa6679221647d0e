// Paragraph styles: construction, copying, comparing, likeness, and the
// paragraph style collection with its fallback and matching.
#include "richtext/engine/style/RVParaInfo.h"

#include "richtext/engine/style/RVStyle.h"

namespace {

bool Has(TRVParaInfoProperties Set, TRVParaInfoProperty P) {
    return Set & RVParaProp(P);
}

// The option that each option property stands for.
const std::pair<TRVParaInfoProperty, TRVParaOption> kOptionProps[] = {
    {rvpiNoWrap, rvpaoNoWrap},
    {rvpiReadOnly, rvpaoReadOnly},
    {rvpiStyleProtect, rvpaoStyleProtect},
    {rvpiDoNotWantReturns, rvpaoDoNotWantReturns},
    {rvpiKeepLinesTogether, rvpaoKeepLinesTogether},
    {rvpiKeepWithNext, rvpaoKeepWithNext},
};

} // namespace

TCustomRVParaInfo::TCustomRVParaInfo(TCollection* Collection) : TCustomRVInfo(Collection), FTabs(this) {
    StyleName = "Paragraph Style";
}

void TCustomRVParaInfo::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCustomRVParaInfo*>(Source)) {
        FirstIndent = src->FirstIndent;
        LeftIndent = src->LeftIndent;
        RightIndent = src->RightIndent;
        Alignment = src->Alignment;
        SpaceBefore = src->SpaceBefore;
        SpaceAfter = src->SpaceAfter;
        LineSpacing = src->LineSpacing;
        LineSpacingType = src->LineSpacingType;
        FBackground.Assign(&src->FBackground);
        FBorder.Assign(&src->FBorder);
        FTabs.Assign(&src->FTabs);
        Options = src->Options;
        BiDiMode = src->BiDiMode;
    }
    TCustomRVInfo::Assign(Source);
}

bool TCustomRVParaInfo::HasLineSpacing() const {
    return (LineSpacingType == rvlsPercent && LineSpacing != 100) ||
           (LineSpacingType == rvlsSpaceBetween && LineSpacing > 0);
}

void TCustomRVParaInfo::CopyProperties(const TCustomRVParaInfo& Source, TRVParaInfoProperties Props) {
    auto has = [&](TRVParaInfoProperty P) { return Has(Props, P); };
    if (has(rvpiFirstIndent)) FirstIndent = Source.FirstIndent;
    if (has(rvpiLeftIndent)) LeftIndent = Source.LeftIndent;
    if (has(rvpiRightIndent)) RightIndent = Source.RightIndent;
    if (has(rvpiSpaceBefore)) SpaceBefore = Source.SpaceBefore;
    if (has(rvpiSpaceAfter)) SpaceAfter = Source.SpaceAfter;
    if (has(rvpiAlignment)) Alignment = Source.Alignment;
    if (has(rvpiLineSpacing)) LineSpacing = Source.LineSpacing;
    if (has(rvpiLineSpacingType)) LineSpacingType = Source.LineSpacingType;
    FBackground.CopyProperties(Source.FBackground, Props);
    FBorder.CopyProperties(Source.FBorder, Props);
    for (auto [prop, option] : kOptionProps)
        if (has(prop)) Options = TRVParaOptions((Options & ~option) | (Source.Options & option));
    if (has(rvpiTabs)) FTabs.Assign(const_cast<TRVTabInfos*>(&Source.FTabs));
    if (has(rvpiBiDiMode)) BiDiMode = Source.BiDiMode;
}

bool TCustomRVParaInfo::SameAs(const TCustomRVInfo& AValue, bool SkipReferences, bool SkipIds) const {
    auto* v = dynamic_cast<const TCustomRVParaInfo*>(&AValue);
    if (!v) return false;
    return Alignment == v->Alignment && FirstIndent == v->FirstIndent && LeftIndent == v->LeftIndent &&
           RightIndent == v->RightIndent && SpaceBefore == v->SpaceBefore && SpaceAfter == v->SpaceAfter &&
           LineSpacing == v->LineSpacing && LineSpacingType == v->LineSpacingType && Options == v->Options &&
           BiDiMode == v->BiDiMode && FBackground.IsEqual(v->FBackground) && FTabs.IsEqual(v->FTabs) &&
           FBorder.IsEqual(v->FBorder) && TCustomRVInfo::SameAs(AValue, SkipReferences, SkipIds);
}

bool TCustomRVParaInfo::SameExcept(const TCustomRVParaInfo& v, TRVParaInfoProperties Ignored) const {
    auto cmp = [&](TRVParaInfoProperty P, bool Equal) { return Has(Ignored, P) || Equal; };
    bool same = cmp(rvpiAlignment, Alignment == v.Alignment) &&
                cmp(rvpiFirstIndent, FirstIndent == v.FirstIndent) &&
                cmp(rvpiLeftIndent, LeftIndent == v.LeftIndent) &&
                cmp(rvpiRightIndent, RightIndent == v.RightIndent) &&
                cmp(rvpiSpaceBefore, SpaceBefore == v.SpaceBefore) &&
                cmp(rvpiSpaceAfter, SpaceAfter == v.SpaceAfter) &&
                cmp(rvpiLineSpacing, LineSpacing == v.LineSpacing) &&
                cmp(rvpiLineSpacingType, LineSpacingType == v.LineSpacingType) &&
                cmp(rvpiBiDiMode, BiDiMode == v.BiDiMode) && cmp(rvpiTabs, FTabs.IsEqual(v.FTabs)) &&
                FBackground.IsEqualEx(v.FBackground, Ignored) && FBorder.IsEqualEx(v.FBorder, Ignored) &&
                (!CompareStyleNames || StyleName == v.StyleName);
    for (auto [prop, option] : kOptionProps)
        same = same && cmp(prop, (Options & option) == (v.Options & option));
    return same;
}

int TCustomRVParaInfo::Likeness(const TCustomRVInfo& AValue) const {
    auto* value = dynamic_cast<const TCustomRVParaInfo*>(&AValue);
    if (!value) return 0;
    const TCustomRVParaInfo& v = *value;
    int score = NumberSimilarity(FirstIndent, v.FirstIndent, 1000) +
                NumberSimilarity(LeftIndent, v.LeftIndent, 1000) +
                NumberSimilarity(RightIndent, v.RightIndent, 1000) +
                NumberSimilarity(SpaceBefore, v.SpaceBefore, 1000) +
                NumberSimilarity(SpaceAfter, v.SpaceAfter, 1000);
    score += FBackground.Likeness(v.FBackground) + FTabs.Likeness(v.FTabs) + FBorder.Likeness(v.FBorder);
    if (Alignment == v.Alignment) score += 50000;
    if (BiDiMode == v.BiDiMode) score += 10000;
    const std::pair<TRVParaOption, int> weights[] = {
        {rvpaoNoWrap, 1000},           {rvpaoReadOnly, 100000},
        {rvpaoStyleProtect, 1000},     {rvpaoDoNotWantReturns, 10000},
        {rvpaoKeepLinesTogether, 500}, {rvpaoKeepWithNext, 500}};
    for (auto [option, weight] : weights)
        if ((Options & option) == (v.Options & option)) score += weight;
    if (LineSpacingType == v.LineSpacingType)
        score += NumberSimilarity(LineSpacing, v.LineSpacing, 5000);
    else if (HasLineSpacing() != v.HasLineSpacing())
        score -= 20000;
    return score;
}

// ---------------------------------------------------------------- TParaInfo

TParaInfo::TParaInfo(TCollection* Collection) : TCustomRVParaInfo(Collection) {}

void TParaInfo::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TParaInfo*>(Source)) {
        NextParaNo = src->NextParaNo;
        DefStyleNo = src->DefStyleNo;
        ModifiedProperties1 = src->ModifiedProperties1;
        ModifiedProperties2 = src->ModifiedProperties2;
    }
    TCustomRVParaInfo::Assign(Source);
}

bool TParaInfo::SameAs(const TCustomRVInfo& Value, bool SkipReferences, bool SkipIds) const {
    if (!TCustomRVParaInfo::SameAs(Value, SkipReferences, SkipIds)) return false;
    if (auto* v = dynamic_cast<const TParaInfo*>(&Value))
        return ModifiedProperties1 == v->ModifiedProperties1 &&
               ModifiedProperties2 == v->ModifiedProperties2 && StyleTemplateId == v->StyleTemplateId &&
               (SkipReferences || (NextParaNo == v->NextParaNo && DefStyleNo == v->DefStyleNo));
    return true;
}

bool TParaInfo::SameAsMapped(TCustomRVInfo& Value, const TRVIntegerList& Mapping) const {
    if (!SameAs(Value, true, false)) return false;
    auto* v = dynamic_cast<TParaInfo*>(&Value);
    if (!v || v->NextParaNo < 0) return true;
    if (v->NextParaNo < Mapping.Count()) return Mapping.GetItem(v->NextParaNo) == NextParaNo;
    v->NextParaNo = -1;
    return true;
}

bool TParaInfo::SameExcept(const TCustomRVParaInfo& Value, TRVParaInfoProperties Ignored) const {
    if (!TCustomRVParaInfo::SameExcept(Value, Ignored)) return false;
    if (auto* v = dynamic_cast<const TParaInfo*>(&Value))
        return (Has(Ignored, rvpiNextParaNo) || NextParaNo == v->NextParaNo) &&
               (Has(Ignored, rvpiDefStyleNo) || DefStyleNo == v->DefStyleNo) &&
               StyleTemplateId == v->StyleTemplateId && ModifiedProperties1 == v->ModifiedProperties1 &&
               ModifiedProperties2 == v->ModifiedProperties2;
    return true;
}

// ---------------------------------------------------------------- TParaInfos

TParaInfos::TParaInfos(TPersistent* Owner, TItemFactory ItemFactory)
    : TCustomRVInfos(
          Owner, ItemFactory ? std::move(ItemFactory) : [](TCollection* C) -> TCollectionItem* {
              return new TParaInfo(C);
          }) {}

TParaInfos::~TParaInfos() = default;

TParaInfo* TParaInfos::GetItem(int Index) {
    if (Index >= 0 && Index < Count()) return static_cast<TParaInfo*>(Items(Index));
    if (!FFallbackItem) {
        auto* rvStyle = dynamic_cast<TRVStyle*>(GetOwner());
        if (!rvStyle) throw EConvertError("Invalid class typecast");
        FFallbackItem.reset(rvStyle->NewParaStyleClass(nullptr));
        if (Count() > 0) FFallbackItem->Assign(Items(0));
        FFallbackItem->SpaceBefore = FFallbackItem->SpaceAfter = 1;
        FFallbackItem->LeftIndent = FFallbackItem->RightIndent = 1;
        TRVBorder& border = FFallbackItem->Border();
        border.Color = clRed;
        border.Style = rvbSingle;
        border.Width = 2;
        border.BorderOffsets().SetAll(1);
    }
    return FFallbackItem.get();
}

void TParaInfos::SetItem(int Index, TParaInfo* Value) {
    Items(Index)->Assign(Value);
}

int TParaInfos::FindMatchingStyle(int BaseStyle, const TParaInfo& Style, TRVParaInfoProperties Mask) {
    TRVParaInfoProperties ignored = AllParaStyleProperties & ~Mask;
    if (BaseStyle >= 0 && BaseStyle < Count() && Style.SameExcept(*GetItem(BaseStyle), ignored))
        return BaseStyle;
    for (int i = 0; i < Count(); ++i)
        if (i != BaseStyle && Style.SameExcept(*GetItem(i), ignored)) return i;
    return -1;
}

int TParaInfos::FindStyleWithAlignment(int BaseStyle, TRVAlignment Alignment) {
    TParaInfo* base = GetItem(BaseStyle);
    if (BaseStyle >= 0 && BaseStyle < Count() && base->Alignment == Alignment) return BaseStyle;
    for (int i = 0; i < Count(); ++i) {
        TParaInfo* item = GetItem(i);
        if (i != BaseStyle && item->Alignment == Alignment &&
            base->SameExcept(*item, RVParaProp(rvpiAlignment)))
            return i;
    }
    return -1;
}
