// List styles and their levels: marker fonts and pictures, comparing and
// likeness, list identifiers, the marker pattern formatter and the HTML
// list tags and indents.
#include "richtext/engine/style/RVListInfo.h"

#include "platform/rtl/Random.h"
#include "richtext/engine/text/RVFuncs.h"

namespace {

// From the random seam, so that tests draw the same identifiers every run.
int32_t DrawListId() {
    return int32_t(RandomInRange(1, 0x7FFFFFFE));
}

} // namespace

void RVSeedListIds(uint32_t Seed) {
    SetRandomSource(Seed ? std::make_unique<TSeededRandomSource>(Seed) : nullptr);
}

AnsiString FormatMarkerPattern(const AnsiString& Pattern, const std::vector<AnsiString>& Args) {
    AnsiString out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < Pattern.size(); ++i) {
        char c = Pattern[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 < Pattern.size() && Pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::size_t arg = next;
        std::size_t j = i + 1;
        if (j + 1 < Pattern.size() && Pattern[j] >= '0' && Pattern[j] <= '8' && Pattern[j + 1] == ':') {
            arg = std::size_t(Pattern[j] - '0');
            j += 2;
        }
        if (j >= Pattern.size() || (Pattern[j] != 's' && Pattern[j] != 'S')) return Pattern;
        if (arg < Args.size()) out += Args[arg];
        next = arg + 1;
        i = j;
    }
    return out;
}

// ---------------------------------------------------------------- TRVMarkerFont

TRVMarkerFont::TRVMarkerFont() {
    SetName("Arial");
    SetSize(8);
}

void TRVMarkerFont::Assign(TPersistent* Source) {
    TFont::Assign(Source);
    if (auto* marker = dynamic_cast<TRVMarkerFont*>(Source)) Charset = marker->Charset;
}

bool TRVMarkerFont::IsDefault() const {
    return Size() == 8 && Color() == clWindowText && Charset == 1 && Style() == 0 &&
           SameText(Name(), "Arial");
}

bool TRVMarkerFont::SameAs(const TRVMarkerFont& V) const {
    return Height() == V.Height() && Style() == V.Style() && Color() == V.Color() && Charset == V.Charset &&
           SameText(Name(), V.Name());
}

// ---------------------------------------------------------------- TRVListLevel

TRVListLevel::TRVListLevel(TCollection* Collection) : TCollectionItem(Collection) {}

TBitmap& TRVListLevel::Picture() {
    if (!FPicture) FPicture = std::make_unique<TBitmap>();
    return *FPicture;
}

void TRVListLevel::SetPicture(const TBitmap* Value) {
    if (!Value || Value->Empty()) {
        FPicture.reset();
        return;
    }
    Picture().Assign(const_cast<TBitmap*>(Value));
    FPicture->Transparent = true;
}

TRVMarkerFont& TRVListLevel::Font() {
    if (!FFont) FFont = std::make_unique<TRVMarkerFont>();
    return *FFont;
}

void TRVListLevel::SetFont(const TFont* Value) {
    if (!Value) {
        FFont.reset();
        return;
    }
    Font().Assign(const_cast<TFont*>(Value));
}

bool TRVListLevel::UsesFont() const {
    return ListType == rvlstBullet || HasTextNumbering() || ListType == rvlstUnicodeBullet;
}

void TRVListLevel::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TRVListLevel*>(Source)) {
        ListType = src->ListType;
        StartFrom = src->StartFrom;
        ImageList = src->ImageList;
        ImageIndex = src->ImageIndex;
        FormatString = src->FormatString;
        FormatStringW = src->FormatStringW;
        LeftIndent = src->LeftIndent;
        FirstIndent = src->FirstIndent;
        MarkerIndent = src->MarkerIndent;
        MarkerAlignment = src->MarkerAlignment;
        SetPicture(src->FPicture.get());
        SetFont(src->FFont.get());
        Options = src->Options;
        return;
    }
    TCollectionItem::Assign(Source);
}

AnsiString TRVListLevel::DisplayName() const {
    static const char* const names[] = {
        "bullet",   "pic",      "image-list",         "1,2,3",         "a,b,c", "A,B,C",
        "i,ii,iii", "I,II,III", "image-list counter", "unicode bullet"};
    return Format("%s %d/%d/%d", {names[ListType], LeftIndent, MarkerIndent, FirstIndent});
}

bool TRVListLevel::SameFonts(const TRVListLevel& V) const {
    bool mineDefault = !FFont || FFont->IsDefault();
    bool theirsDefault = !V.FFont || V.FFont->IsDefault();
    if (mineDefault && theirsDefault) return true;
    return FFont && V.FFont && FFont->SameAs(*V.FFont);
}

bool TRVListLevel::SamePictures(const TRVListLevel& V) const {
    if (!HasPicture() || !V.HasPicture()) return HasPicture() == V.HasPicture();
    if (FPicture->Width() != V.FPicture->Width() || FPicture->Height() != V.FPicture->Height()) return false;
    for (int y = 0; y < FPicture->Height(); ++y)
        for (int x = 0; x < FPicture->Width(); ++x)
            if (FPicture->Pixel(x, y) != V.FPicture->Pixel(x, y)) return false;
    return true;
}

bool TRVListLevel::SameAs(const TRVListLevel& V) const {
    return ListType == V.ListType && (!HasNumbering() || StartFrom == V.StartFrom) &&
           ImageList == V.ImageList && ImageIndex == V.ImageIndex && FormatString == V.FormatString &&
           FormatStringW == V.FormatStringW && LeftIndent == V.LeftIndent && FirstIndent == V.FirstIndent &&
           MarkerIndent == V.MarkerIndent && MarkerAlignment == V.MarkerAlignment && SameFonts(V) &&
           Options == V.Options && SamePictures(V);
}

int TRVListLevel::Likeness(const TRVListLevel& V) const {
    int score = ListType == V.ListType ? 5000 : 0;
    for (bool equal :
         {StartFrom == V.StartFrom, ImageList == V.ImageList, ImageIndex == V.ImageIndex,
          FormatString == V.FormatString, FormatStringW == V.FormatStringW, LeftIndent == V.LeftIndent,
          MarkerIndent == V.MarkerIndent, MarkerAlignment == V.MarkerAlignment, Options == V.Options})
        if (equal) score += 100;
    if (FirstIndent == V.FirstIndent) score += 200;
    if (SameFonts(V)) score += 100;
    if (SamePictures(V)) score += 100;
    return score;
}

void TRVListLevel::HTMLOpenTag(TStream& Stream, bool UseCss) const {
    AnsiString style;
    if (UseCss) {
        int previous = 0;
        if (auto* levels = dynamic_cast<TRVListLevelCollection*>(Collection()); levels && Index() > 0)
            previous = levels->GetItem(Index() - 1)->LeftIndent;
        AnsiString css = MarkerIndent < LeftIndent
                             ? Format("text-indent: %dpx; margin-left: %dpx; list-style-position: outside;",
                                      {FirstIndent, LeftIndent - previous})
                             : Format("text-indent: %dpx; margin-left: %dpx; list-style-position: inside;",
                                      {MarkerIndent - LeftIndent, LeftIndent - previous});
        style = " style=\"" + css + "\"";
    }
    if (HasNumbering()) {
        AnsiString type;
        switch (ListType) {
        case rvlstLowerAlpha:
            type = " type=\"a\"";
            break;
        case rvlstUpperAlpha:
            type = " type=\"A\"";
            break;
        case rvlstLowerRoman:
            type = " type=\"i\"";
            break;
        case rvlstUpperRoman:
            type = " type=\"I\"";
            break;
        default:
            break;
        }
        WriteText(Stream, "<ol" + type + style + ">");
    } else {
        WriteText(Stream, "<ul" + style + ">");
    }
}

void TRVListLevel::HTMLCloseTag(TStream& Stream) const {
    WriteText(Stream, HasNumbering() ? "</ol>" : "</ul>");
}

AnsiString TRVListLevel::GetIndentCSS() const {
    int m = MarkerIndent, l = LeftIndent;
    if (m < l) return Format("text-indent: %dpx; padding-left: %dpx; margin-left: %dpx;", {m - l, l - m, m});
    return Format("text-indent: %dpx; margin-left: %dpx;", {m - l, l});
}

AnsiString TRVListLevel::FormatMarker(const std::vector<AnsiString>& Counters) const {
    if (!HasTextNumbering()) return FormatMarkerPattern(FormatString, {});
    return FormatMarkerPattern(FormatString, Counters);
}

// ---------------------------------------------------------------- collections

TRVListLevelCollection::TRVListLevelCollection(TPersistent* Owner)
    : TOwnedCollection(Owner, [](TCollection* C) -> TCollectionItem* { return new TRVListLevel(C); }) {}

void TRVListLevelCollection::Assign(TPersistent* Source) {
    if (auto* levels = dynamic_cast<TRVListLevelCollection*>(Source)) {
        if (levels == this) return;
        Clear();
        for (int i = 0; i < levels->Count(); ++i)
            Add()->Assign(levels->GetItem(i));
        return;
    }
    TOwnedCollection::Assign(Source);
}

bool TRVListLevelCollection::SameAs(const TRVListLevelCollection& V) const {
    if (Count() != V.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (!GetItem(i)->SameAs(*V.GetItem(i))) return false;
    return true;
}

TRVListInfo::TRVListInfo(TCollection* Collection) : TCustomRVInfo(Collection), FLevels(this) {
    StyleName = "List Style";
}

int32_t TRVListInfo::ListID() const {
    while (FListID == 0)
        FListID = DrawListId();
    return FListID;
}

TRVListLevel* TRVListInfo::GetLevelInfo(int Level) const {
    if (FLevels.Count() == 0) return nullptr;
    return FLevels.GetItem(std::clamp(Level, 0, FLevels.Count() - 1));
}

bool TRVListInfo::HasCounter() const {
    for (int i = 0; i < FLevels.Count(); ++i)
        if (FLevels.GetItem(i)->HasNumbering()) return true;
    return false;
}

bool TRVListInfo::HasTextCounter() const {
    for (int i = 0; i < FLevels.Count(); ++i)
        if (FLevels.GetItem(i)->HasTextNumbering()) return true;
    return false;
}

void TRVListInfo::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TRVListInfo*>(Source)) {
        FLevels.Assign(&src->FLevels);
        OneLevelPreview = src->OneLevelPreview;
        if (auto* infos = dynamic_cast<TRVListInfos*>(Collection()); infos && infos->CopyIds)
            FListID = src->ListID();
    }
    TCustomRVInfo::Assign(Source);
}

bool TRVListInfo::SameAs(const TCustomRVInfo& Value, bool SkipReferences, bool SkipIds) const {
    auto* v = dynamic_cast<const TRVListInfo*>(&Value);
    if (!v) return false;
    return OneLevelPreview == v->OneLevelPreview && FLevels.Count() == v->FLevels.Count() &&
           (SkipIds || ListID() == v->ListID()) && FLevels.SameAs(v->FLevels) &&
           TCustomRVInfo::SameAs(Value, SkipReferences, SkipIds);
}

bool TRVListInfo::SameAsMapped(TCustomRVInfo& Value, const TRVIntegerList&) const {
    return SameAs(Value, true, false);
}

int TRVListInfo::Likeness(const TCustomRVInfo& Value) const {
    auto* v = dynamic_cast<const TRVListInfo*>(&Value);
    if (!v) return 0;
    int score = (ListID() == v->ListID() ? 50 : 0) + (OneLevelPreview == v->OneLevelPreview ? 100 : 0);
    int n = std::min(FLevels.Count(), v->FLevels.Count());
    for (int i = 0; i < n; ++i)
        score += FLevels.GetItem(i)->Likeness(*v->FLevels.GetItem(i));
    score -= 100 * (std::max(FLevels.Count(), v->FLevels.Count()) - n);
    return score;
}

TRVListInfos::TRVListInfos(TPersistent* Owner, TItemFactory ItemFactory)
    : TCustomRVInfos(
          Owner, ItemFactory ? std::move(ItemFactory) : [](TCollection* C) -> TCollectionItem* {
              return new TRVListInfo(C);
          }) {}

void TRVListInfos::RemoveImageList(TComponent* ImageList) {
    for (int i = 0; i < Count(); ++i) {
        TRVListLevelCollection& levels = GetItem(i)->Levels();
        for (int j = 0; j < levels.Count(); ++j)
            if (levels.GetItem(j)->ImageList == ImageList) levels.GetItem(j)->ImageList = nullptr;
    }
}
