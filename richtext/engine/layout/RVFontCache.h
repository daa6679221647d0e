// The font measurement cache of a formatting run: the metrics of each text
// style on the formatting canvas, measured once, and the style put on the
// canvas when the formatter moves to text of another style.
#pragma once

#include <memory>
#include <vector>

#include "richtext/engine/style/RVStyle.h"

class TCustomRVData;

// One measured text style.
class TRVFontInfoCacheItem {
public:
    // The direction the canvas was last prepared for.
    TRVBiDiMode BiDiMode = rvbdUnspecified;
    // The canvas with the style's font when the entry was handed out.
    TCanvas* Canvas = nullptr;
    TTextMetric TextMetric;
    int32_t SubSuperScriptHeight = 0;
    TFontInfo* TextStyle = nullptr;
    // Baseline shift: the sub- or superscript offset plus VShift per cent
    // of the font's height.
    int32_t VerticalOffset = 0;
    int32_t HyphenHeight = 0;
    int32_t HyphenWidth = 0;
    // The code page of the style's 8-bit text.
    unsigned CodePage = 0;
    // The font and character spacing the style gives the canvas.
    TFont Font;
    int32_t CharacterExtra = 0;
};

class TRVFontInfoCache {
public:
    TRVFontInfoCache(TCustomRVData* AData, TRVStyle* AStyle, TCanvas* ACanvas, bool AUseResolutionOverride);
    virtual ~TRVFontInfoCache();
    TRVFontInfoCache(const TRVFontInfoCache&) = delete;
    TRVFontInfoCache& operator=(const TRVFontInfoCache&) = delete;

    TCanvas* Canvas;
    TRVStyle* Style;
    bool UseResolutionOverride;
    TCustomRVData* Data;
    // The direction of the paragraph being measured; set before each lookup.
    TRVBiDiMode DefBiDiMode = rvbdUnspecified;
    // The style whose font is on the canvas now; -1: none or unknown.
    int32_t LastStyleNo = -1;

    // The entry of StyleNo with its font on Canvas.
    virtual TRVFontInfoCacheItem* GetItem(int StyleNo) = 0;

protected:
    // A new entry measured on Canvas (the style's font is on it after).
    std::unique_ptr<TRVFontInfoCacheItem> Measure(int StyleNo);
    // Slot StyleNo, made room for.
    std::unique_ptr<TRVFontInfoCacheItem>& Slot(int StyleNo);

private:
    std::vector<std::unique_ptr<TRVFontInfoCacheItem>> FItems;
    std::unique_ptr<TRVFontInfoCacheItem> FFallback;
};

// Keeps each style's prepared font and only puts it on the canvas when the
// style changes: no style is applied twice in a run.
class TRVFontInfoCacheFast : public TRVFontInfoCache {
public:
    using TRVFontInfoCache::TRVFontInfoCache;
    TRVFontInfoCacheItem* GetItem(int StyleNo) override;
};

// Applies the style to the canvas again whenever the style changes.
class TRVFontInfoCacheLowResource : public TRVFontInfoCache {
public:
    using TRVFontInfoCache::TRVFontInfoCache;
    TRVFontInfoCacheItem* GetItem(int StyleNo) override;
};
