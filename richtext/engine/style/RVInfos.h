// The base of every style (text, paragraph, list) and of the three style
// collections, with the merging of one collection into another.
#pragma once

#include "platform/rtl/Collections.h"
#include "richtext/engine/style/RVStyleTypes.h"
#include "richtext/engine/text/RVClasses.h"

class TRVStyle;

// When true, every equality comparison of styles also requires equal
// StyleName.
extern bool CompareStyleNames;
// Styles that merging adds get Standard = false.
extern bool ResetStandardOnMerge;

class TCustomRVInfo : public TCollectionItem {
public:
    explicit TCustomRVInfo(TCollection* Collection);

    int32_t BaseStyleNo = -1;
    AnsiString StyleName;
    bool Standard = true;
    TRVStyleTemplateId StyleTemplateId = -1;

    void Assign(TPersistent* Source) override;
    AnsiString DisplayName() const override { return StyleName; }

    // Equality with Value; SkipReferences leaves out indexes of other
    // styles, SkipIds list identifiers.
    virtual bool SameAs(const TCustomRVInfo& Value, bool SkipReferences, bool SkipIds) const;
    // Equality with a style of another collection whose numbering Mapping
    // translates into this one; may clear a reference of Value that Mapping
    // does not reach yet.
    virtual bool SameAsMapped(TCustomRVInfo& Value, const TRVIntegerList& Mapping) const;
    // Higher for more similar styles.
    virtual int Likeness(const TCustomRVInfo& Value) const;

    // The style sheet owning the collection, or nil.
    TRVStyle* GetRVStyle() const;
};

class TCustomRVInfos : public TOwnedCollection {
public:
    TCustomRVInfos(TPersistent* Owner, TItemFactory ItemFactory);

    TCustomRVInfo* InfoItems(int Index) const { return static_cast<TCustomRVInfo*>(Items(Index)); }
    // Into a string list: the StyleName of every style.
    void AssignTo(TPersistent* Dest) override;
    // Adds or maps the styles of Source into this collection; Mapping gets,
    // for each source style, the index standing for it here. TextMapping
    // (optional) translates paragraph styles' default text styles.
    void MergeStyles(TCustomRVInfos& Source, TRVStyleMergeMode Mode, TRVIntegerList& Mapping,
                     const TRVIntegerList* TextMapping);

protected:
    // Items of the kind of this collection made for merging.
    TCustomRVInfo* AddInfo() { return static_cast<TCustomRVInfo*>(Add()); }

private:
    void MergeByMapping(TCustomRVInfos& Source, TRVIntegerList& Mapping);
    void TranslateAddedReferences(int OldCount, const TRVIntegerList& Mapping,
                                  const TRVIntegerList* TextMapping);
};
