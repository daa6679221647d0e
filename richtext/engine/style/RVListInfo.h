// List styles: the levels of bulleted and numbered lists, their marker
// fonts and pictures, comparing and likeness, the marker pattern formatter
// and the list tags and indents of HTML.
#pragma once

#include <memory>
#include <vector>

#include "platform/canvas/Graphics.h"
#include "richtext/engine/style/RVInfos.h"

enum TRVListType : uint8_t {
    rvlstBullet,
    rvlstPicture,
    rvlstImageList,
    rvlstDecimal,
    rvlstLowerAlpha,
    rvlstUpperAlpha,
    rvlstLowerRoman,
    rvlstUpperRoman,
    rvlstImageListCounter,
    rvlstUnicodeBullet,
};
enum TRVMarkerAlignment : uint8_t { rvmaLeft, rvmaRight, rvmaCenter };
using TRVListLevelOptions = uint8_t;
enum TRVListLevelOption : uint8_t { rvloContinuous = 1, rvloLevelReset = 2, rvloLegalStyleNumbering = 4 };

// The font of list markers: 8-point Arial by default.
class TRVMarkerFont : public TFont {
public:
    TRVMarkerFont();
    void Assign(TPersistent* Source) override;
    uint8_t Charset = 1;
    bool IsDefault() const;
    bool SameAs(const TRVMarkerFont& Value) const;
};

class TRVListLevel : public TCollectionItem {
public:
    explicit TRVListLevel(TCollection* Collection);

    TRVListType ListType = rvlstBullet;
    int32_t StartFrom = 1;
    // The image list component of image-list markers (not owned).
    TComponent* ImageList = nullptr;
    int32_t ImageIndex = 0;
    AnsiString FormatString = "\xB7";
    WideString FormatStringW;
    int32_t LeftIndent = 0;
    int32_t FirstIndent = 10;
    int32_t MarkerIndent = 0;
    TRVMarkerAlignment MarkerAlignment = rvmaLeft;
    TRVListLevelOptions Options = rvloContinuous | rvloLevelReset;

    // Created when first asked for.
    TBitmap& Picture();
    // Nil or an empty picture frees the level's own.
    void SetPicture(const TBitmap* Value);
    bool HasOwnPicture() const { return FPicture != nullptr; }
    TRVMarkerFont& Font();
    void SetFont(const TFont* Value);
    bool HasOwnFont() const { return FFont != nullptr; }

    bool HasNumbering() const { return ListType >= rvlstDecimal && ListType <= rvlstImageListCounter; }
    bool HasTextNumbering() const { return ListType >= rvlstDecimal && ListType <= rvlstUpperRoman; }
    bool UsesFont() const;
    bool HasPicture() const { return FPicture && !FPicture->Empty(); }

    void Assign(TPersistent* Source) override;
    AnsiString DisplayName() const override;
    bool SameAs(const TRVListLevel& Value) const;
    int Likeness(const TRVListLevel& Value) const;

    // <ol ...> or <ul ...>, with the indents as CSS when UseCss.
    void HTMLOpenTag(TStream& Stream, bool UseCss) const;
    void HTMLCloseTag(TStream& Stream) const;
    AnsiString GetIndentCSS() const;
    // The marker text of this level with the counter texts of levels 0..8;
    // a bullet level shows its pattern with empty placeholders.
    AnsiString FormatMarker(const std::vector<AnsiString>& Counters) const;

private:
    bool SameFonts(const TRVListLevel& Value) const;
    bool SamePictures(const TRVListLevel& Value) const;
    std::unique_ptr<TBitmap> FPicture;
    std::unique_ptr<TRVMarkerFont> FFont;
};

class TRVListLevelCollection : public TOwnedCollection {
public:
    explicit TRVListLevelCollection(TPersistent* Owner);
    TRVListLevel* Add() { return static_cast<TRVListLevel*>(TCollection::Add()); }
    TRVListLevel* GetItem(int Index) const { return static_cast<TRVListLevel*>(Items(Index)); }
    TRVListLevel* operator[](int Index) const { return GetItem(Index); }
    void Assign(TPersistent* Source) override;
    bool SameAs(const TRVListLevelCollection& Value) const;
};

class TRVListInfo : public TCustomRVInfo {
public:
    explicit TRVListInfo(TCollection* Collection);

    bool OneLevelPreview = false;
    TRVListLevelCollection& Levels() { return FLevels; }
    const TRVListLevelCollection& Levels() const { return FLevels; }
    void SetLevels(TRVListLevelCollection& Value) { FLevels.Assign(&Value); }
    // Identifies the list across documents; drawn when first asked for.
    int32_t ListID() const;
    void SetListID(int32_t Value) { FListID = Value; }

    // The level a marker of Level uses: clamped to the last level; nil when
    // the style has no levels (a list without a level).
    TRVListLevel* GetLevelInfo(int Level) const;
    bool HasCounter() const;
    bool HasTextCounter() const;

    void Assign(TPersistent* Source) override;
    bool SameAs(const TCustomRVInfo& Value, bool SkipReferences, bool SkipIds) const override;
    bool SameAsMapped(TCustomRVInfo& Value, const TRVIntegerList& Mapping) const override;
    int Likeness(const TCustomRVInfo& Value) const override;

private:
    TRVListLevelCollection FLevels;
    mutable int32_t FListID = 0;
};

class TRVListInfos : public TCustomRVInfos {
public:
    explicit TRVListInfos(TPersistent* Owner, TItemFactory ItemFactory = nullptr);
    TRVListInfo* Add() { return static_cast<TRVListInfo*>(TCollection::Add()); }
    TRVListInfo* GetItem(int Index) const { return static_cast<TRVListInfo*>(Items(Index)); }
    TRVListInfo* operator[](int Index) const { return GetItem(Index); }
    // Levels that show this image list forget it.
    void RemoveImageList(TComponent* ImageList);
    // Set while read list styles are copied in, so they keep their ids.
    bool CopyIds = false;
};

// Fixes the identifiers drawn for lists from here on (tests); 0 seeds from
// the clock again.
void RVSeedListIds(uint32_t Seed);
// Formats a marker pattern whose placeholders are %s and %n:s (n = 0..8),
// with "%%" for a percent sign. A pattern with anything else gives its own
// text back.
AnsiString FormatMarkerPattern(const AnsiString& Pattern, const std::vector<AnsiString>& Args);
