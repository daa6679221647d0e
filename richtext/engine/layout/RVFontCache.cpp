// The font measurement cache: measuring a text style once per formatting
// run, its sub- and superscript metrics, and putting its font on the canvas.
#include "richtext/engine/layout/RVFontCache.h"

#include "richtext/engine/layout/CRVFData_p.h"

TRVFontInfoCache::TRVFontInfoCache(TCustomRVData* AData, TRVStyle* AStyle, TCanvas* ACanvas,
                                   bool AUseResolutionOverride)
    : Canvas(ACanvas), Style(AStyle), UseResolutionOverride(AUseResolutionOverride), Data(AData),
      FItems(std::size_t(AStyle ? AStyle->TextStyles().Count() : 0)) {}

TRVFontInfoCache::~TRVFontInfoCache() = default;

std::unique_ptr<TRVFontInfoCacheItem>& TRVFontInfoCache::Slot(int StyleNo) {
    // Styles out of range measure as the fallback style, in a slot of its own.
    return StyleNo >= 0 && StyleNo < int(FItems.size()) ? FItems[std::size_t(StyleNo)] : FFallback;
}

std::unique_ptr<TRVFontInfoCacheItem> TRVFontInfoCache::Measure(int StyleNo) {
    auto item = std::make_unique<TRVFontInfoCacheItem>();
    TCanvas& canvas = *Canvas;
    item->Canvas = Canvas;
    item->TextStyle = Style->TextStyles().GetItem(StyleNo);
    item->BiDiMode = DefBiDiMode;
    item->CodePage = item->TextStyle->GetCodePage(Style->DefCodePage);
    Style->ApplyStyle(canvas, StyleNo, DefBiDiMode, UseResolutionOverride, nullptr, true);
    TRVSubSuperScriptType kind = item->TextStyle->SubSuperScriptType;
    if (kind != rvsssNormal) {
        // Without outline metrics: the rules of raster fonts.
        double height = std::abs(double(canvas.Font()->Height()));
        item->SubSuperScriptHeight = int(std::abs(Round(height * 2 / 3)));
        item->VerticalOffset = kind == rvsssSubscript ? -int(std::abs(Round(height * 0.25)))
                                                      : int(std::abs(Round(height * 0.45)));
        int subSuperHeight = item->SubSuperScriptHeight;
        Style->ApplyStyle(canvas, StyleNo, DefBiDiMode, UseResolutionOverride, &subSuperHeight, false);
    }
    item->TextMetric = canvas.TextMetrics();
    item->VerticalOffset +=
        rvlayout::StyleLength(rvlayout::MulDiv64(item->TextMetric.tmHeight, item->TextStyle->VShift, 100));
    TSize hyphen = canvas.TextExtent(WideString(u"-"));
    item->HyphenWidth = hyphen.cx;
    item->HyphenHeight = hyphen.cy;
    item->Font.Assign(canvas.Font());
    item->CharacterExtra = canvas.TextCharacterExtra();
    LastStyleNo = StyleNo;
    return item;
}

TRVFontInfoCacheItem* TRVFontInfoCacheFast::GetItem(int StyleNo) {
    std::unique_ptr<TRVFontInfoCacheItem>& slot = Slot(StyleNo);
    if (!slot) return (slot = Measure(StyleNo)).get();
    TRVFontInfoCacheItem* item = slot.get();
    if (LastStyleNo != StyleNo) {
        Canvas->Font()->Assign(&item->Font);
        Canvas->SetTextCharacterExtra(item->CharacterExtra);
        LastStyleNo = StyleNo;
    }
    if (item->BiDiMode != DefBiDiMode) {
        item->BiDiMode = DefBiDiMode;
        item->TextStyle->ApplyBiDiMode(*Canvas, DefBiDiMode);
        item->CharacterExtra = Canvas->TextCharacterExtra();
    }
    return item;
}

TRVFontInfoCacheItem* TRVFontInfoCacheLowResource::GetItem(int StyleNo) {
    std::unique_ptr<TRVFontInfoCacheItem>& slot = Slot(StyleNo);
    if (!slot) return (slot = Measure(StyleNo)).get();
    TRVFontInfoCacheItem* item = slot.get();
    if (LastStyleNo != StyleNo || item->BiDiMode != DefBiDiMode) {
        item->BiDiMode = DefBiDiMode;
        int subSuperHeight = item->SubSuperScriptHeight;
        Style->ApplyStyle(*Canvas, StyleNo, DefBiDiMode, UseResolutionOverride,
                          item->TextStyle->SubSuperScriptType != rvsssNormal ? &subSuperHeight : nullptr,
                          false);
        LastStyleNo = StyleNo;
    }
    return item;
}
