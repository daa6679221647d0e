// Paragraph styles: indents, spacing, alignment, line spacing, border,
// background, tabs and options, with copying, comparing, matching and
// likeness, and their CSS.
#pragma once

#include <memory>

#include "richtext/engine/style/RVBorders.h"
#include "richtext/engine/style/RVInfos.h"

class TCustomRVParaInfo : public TCustomRVInfo {
public:
    explicit TCustomRVParaInfo(TCollection* Collection);

    int32_t FirstIndent = 0;
    int32_t LeftIndent = 0;
    int32_t RightIndent = 0;
    int32_t SpaceBefore = 0;
    int32_t SpaceAfter = 0;
    TRVAlignment Alignment = rvaLeft;
    int32_t LineSpacing = 100;
    TRVLineSpacingType LineSpacingType = rvlsPercent;
    TRVParaOptions Options = 0;
    TRVBiDiMode BiDiMode = rvbdUnspecified;

    TRVBorder& Border() { return FBorder; }
    const TRVBorder& Border() const { return FBorder; }
    void SetBorder(TRVBorder& Value) { FBorder.Assign(&Value); }
    TRVBackgroundRect& Background() { return FBackground; }
    const TRVBackgroundRect& Background() const { return FBackground; }
    void SetBackground(TRVBackgroundRect& Value) { FBackground.Assign(&Value); }
    TRVTabInfos& Tabs() { return FTabs; }
    const TRVTabInfos& Tabs() const { return FTabs; }
    void SetTabs(TRVTabInfos& Value) { FTabs.Assign(&Value); }

    void Assign(TPersistent* Source) override;
    // Line spacing other than single.
    bool HasLineSpacing() const;
    void CopyProperties(const TCustomRVParaInfo& Source, TRVParaInfoProperties Props);
    bool SameAs(const TCustomRVInfo& Value, bool SkipReferences, bool SkipIds) const override;
    virtual bool SameExcept(const TCustomRVParaInfo& Value, TRVParaInfoProperties Ignored) const;
    int Likeness(const TCustomRVInfo& Value) const override;

    void WriteCss(TStream& Stream, const TCustomRVParaInfo* Parent, bool SkipLeftIndents,
                  bool OmitLeftAlignment, bool Multiline) const;

private:
    TRVBorder FBorder;
    TRVBackgroundRect FBackground;
    TRVTabInfos FTabs;
};

class TParaInfo : public TCustomRVParaInfo {
public:
    explicit TParaInfo(TCollection* Collection);

    int32_t NextParaNo = -1;
    int32_t DefStyleNo = -1;
    TRVParaInfoProperties1 ModifiedProperties1 = 0;
    TRVParaInfoProperties2 ModifiedProperties2 = 0;

    void Assign(TPersistent* Source) override;
    bool SameAs(const TCustomRVInfo& Value, bool SkipReferences, bool SkipIds) const override;
    bool SameAsMapped(TCustomRVInfo& Value, const TRVIntegerList& Mapping) const override;
    bool SameExcept(const TCustomRVParaInfo& Value, TRVParaInfoProperties Ignored) const override;
};

class TParaInfos : public TCustomRVInfos {
public:
    explicit TParaInfos(TPersistent* Owner, TItemFactory ItemFactory = nullptr);
    ~TParaInfos() override;

    TParaInfo* Add() { return static_cast<TParaInfo*>(TCollection::Add()); }
    // An index out of range gives the red-framed fallback style.
    TParaInfo* GetItem(int Index);
    TParaInfo* operator[](int Index) { return GetItem(Index); }
    void SetItem(int Index, TParaInfo* Value);
    int FindMatchingStyle(int BaseStyle, const TParaInfo& Style, TRVParaInfoProperties Mask);
    int FindStyleWithAlignment(int BaseStyle, TRVAlignment Alignment);

private:
    std::unique_ptr<TParaInfo> FFallbackItem;
};
