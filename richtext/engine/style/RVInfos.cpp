// The style base, the style collections' name list, and merging one style
// collection into another (append, merge equal styles, map to the closest).
#include "richtext/engine/style/RVInfos.h"

#include "platform/rtl/StringLists.h"
#include "richtext/engine/style/RVStyle.h"

bool CompareStyleNames = false;
bool ResetStandardOnMerge = true;

TCustomRVInfo::TCustomRVInfo(TCollection* Collection) : TCollectionItem(Collection) {}

void TCustomRVInfo::Assign(TPersistent* Source) {
    if (auto* info = dynamic_cast<TCustomRVInfo*>(Source)) {
        StyleName = info->StyleName;
        BaseStyleNo = info->BaseStyleNo;
        Standard = info->Standard;
        StyleTemplateId = info->StyleTemplateId;
        return;
    }
    TCollectionItem::Assign(Source);
}

bool TCustomRVInfo::SameAs(const TCustomRVInfo& Value, bool, bool) const {
    return !CompareStyleNames || StyleName == Value.StyleName;
}

bool TCustomRVInfo::SameAsMapped(TCustomRVInfo& Value, const TRVIntegerList&) const {
    return SameAs(Value, true, false);
}

int TCustomRVInfo::Likeness(const TCustomRVInfo&) const {
    return 0;
}

TRVStyle* TCustomRVInfo::GetRVStyle() const {
    auto* owned = dynamic_cast<TOwnedCollection*>(Collection());
    return owned ? dynamic_cast<TRVStyle*>(owned->GetOwner()) : nullptr;
}

TCustomRVInfos::TCustomRVInfos(TPersistent* Owner, TItemFactory ItemFactory)
    : TOwnedCollection(Owner, std::move(ItemFactory)) {}

void TCustomRVInfos::AssignTo(TPersistent* Dest) {
    if (auto* strings = dynamic_cast<TStrings*>(Dest)) {
        strings->Clear();
        for (int i = 0; i < Count(); ++i)
            strings->Add(InfoItems(i)->StyleName);
        return;
    }
    TOwnedCollection::AssignTo(Dest);
}

void TCustomRVInfos::MergeStyles(TCustomRVInfos& Source, TRVStyleMergeMode Mode, TRVIntegerList& Mapping,
                                 const TRVIntegerList* TextMapping) {
    Mapping.Clear();
    Mapping.SetCapacity(Source.Count());
    int oldCount = Count();
    switch (Mode) {
    case rvsmmAppend:
        for (int i = 0; i < Source.Count(); ++i) {
            Mapping.Add(Count());
            AddInfo()->Assign(Source.InfoItems(i));
        }
        break;
    case rvsmmMerge: {
        bool lists = dynamic_cast<TRVListInfos*>(this) != nullptr;
        TRVIntegerList taken;
        for (int i = 0; i < Source.Count(); ++i) {
            TCustomRVInfo* s = Source.InfoItems(i);
            auto fits = [&](int Index) {
                return InfoItems(Index)->SameAsMapped(*s, Mapping) && taken.IndexOf(Index) < 0;
            };
            int chosen = -1;
            if (i < Count() && fits(i)) chosen = i;
            for (int j = 0; chosen < 0 && j < Count(); ++j)
                if (fits(j)) chosen = j;
            if (chosen < 0) {
                chosen = Count();
                TCustomRVInfo* added = AddInfo();
                added->Assign(s);
                if (lists)
                    static_cast<TRVListInfo*>(added)->SetListID(static_cast<TRVListInfo*>(s)->ListID());
            }
            Mapping.Add(chosen);
            if (lists && static_cast<TRVListInfo*>(s)->HasCounter()) taken.Add(chosen);
        }
        break;
    }
    case rvsmmMap:
        MergeByMapping(Source, Mapping);
        break;
    }
    TranslateAddedReferences(oldCount, Mapping, TextMapping);
}

void TCustomRVInfos::MergeByMapping(TCustomRVInfos& Source, TRVIntegerList& Mapping) {
    for (int i = 0; i < Source.Count(); ++i) {
        TCustomRVInfo* s = Source.InfoItems(i);
        std::vector<int> candidates;
        if (auto* text = dynamic_cast<TFontInfo*>(s)) {
            // Narrowed in passes: same hyperlink and Unicode kind first.
            auto pick = [&](bool SameJump, bool SameUnicode) {
                for (int j = 0; j < Count(); ++j) {
                    auto* t = static_cast<TFontInfo*>(InfoItems(j));
                    if ((!SameJump || t->Jump == text->Jump) && (!SameUnicode || t->Unicode == text->Unicode))
                        candidates.push_back(j);
                }
            };
            pick(true, true);
            if (candidates.empty()) pick(true, false);
            if (candidates.empty()) pick(false, true);
        }
        if (candidates.empty())
            for (int j = 0; j < Count(); ++j)
                candidates.push_back(j);
        int best = -1, bestScore = 0;
        for (int j : candidates) {
            int score = s->Likeness(*InfoItems(j));
            if (best < 0 || score > bestScore) {
                best = j;
                bestScore = score;
            }
        }
        Mapping.Add(best);
    }
}

void TCustomRVInfos::TranslateAddedReferences(int OldCount, const TRVIntegerList& Mapping,
                                              const TRVIntegerList* TextMapping) {
    for (int i = OldCount; i < Count(); ++i) {
        TCustomRVInfo* info = InfoItems(i);
        if (ResetStandardOnMerge) info->Standard = false;
        if (info->BaseStyleNo >= 0) info->BaseStyleNo = Mapping.GetItem(info->BaseStyleNo);
        if (auto* text = dynamic_cast<TFontInfo*>(info)) {
            if (text->NextStyleNo >= 0) text->NextStyleNo = Mapping.GetItem(text->NextStyleNo);
        } else if (auto* para = dynamic_cast<TParaInfo*>(info)) {
            if (para->NextParaNo >= 0) para->NextParaNo = Mapping.GetItem(para->NextParaNo);
            if (TextMapping && para->DefStyleNo >= 0)
                para->DefStyleNo = TextMapping->GetItem(para->DefStyleNo);
        }
    }
}
