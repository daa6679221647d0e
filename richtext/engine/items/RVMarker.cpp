// List markers: levels, counters and texts, queries, copying, styles in
// use, the marker list's numbering and the marker-list state.
#include "richtext/engine/items/RVMarker.h"

#include <algorithm>

#include "richtext/engine/items/RVStyleUsage.h"
#include "richtext/engine/style/RVStyle.h"

// ---------------------------------------------------------------- helpers

TRVListLevel* GetListLevelInfo(TRVStyle* RVStyle, int ListNo, int Level) {
    // A list style that is not there shows no marker (the checker names it).
    if (ListNo < 0 || !RVStyle || ListNo >= RVStyle->ListStyles().Count()) return nullptr;
    return RVStyle->ListStyles().GetItem(ListNo)->GetLevelInfo(Level);
}

AnsiString GetMarkerCounterText(int Number, TRVListType ListType) {
    switch (ListType) {
    case rvlstDecimal:
    case rvlstImageListCounter:
        return IntToStr(Number);
    case rvlstLowerAlpha:
        return AnsiLowerCase(IntToLetters(Number));
    case rvlstUpperAlpha:
        return IntToLetters(Number);
    case rvlstLowerRoman:
        return AnsiLowerCase(IntToRoman(Number));
    case rvlstUpperRoman:
        return IntToRoman(Number);
    default:
        return AnsiString();
    }
}

bool FindParentMarker(TRVMarkerList& List, int Index, const TRVMarkerItemInfo& Marker, int& ParentIndex,
                      TRVMarkerList*& ParentList) {
    TRVMarkerList* list = &List;
    int from = Index - 1;
    while (list) {
        for (int i = std::min(from, list->Count() - 1); i >= 0; --i) {
            TRVMarkerItemInfo* m = list->Items(i);
            if (m->ListNo == Marker.ListNo && m->Level < Marker.Level) {
                ParentIndex = i;
                ParentList = list;
                return true;
            }
        }
        list = list->PrevMarkerList;
        from = list ? list->Count() - 1 : -1;
    }
    ParentIndex = -1;
    ParentList = nullptr;
    return false;
}

// ---------------------------------------------------------------- marker item

TRVMarkerItemInfo::TRVMarkerItemInfo(TCustomRVData* RVData) : TRVRectItemInfo(RVData) {
    StyleNo = rvsListMarker;
    SetContinuesParagraph(false);
}

TRVMarkerItemInfo::TRVMarkerItemInfo(TCustomRVData* RVData, int AListNo, int ALevel, int AStartFrom,
                                     bool AReset)
    : TRVMarkerItemInfo(RVData) {
    ListNo = AListNo;
    Level = ALevel;
    StartFrom = AStartFrom;
    Reset = AReset;
}

TRVListLevel* TRVMarkerItemInfo::GetLevelInfo(TRVStyle* RVStyle) const {
    return GetListLevelInfo(RVStyle, ListNo, Level);
}

TRVListLevel* TRVMarkerItemInfo::GetLevelInfoAt(TRVStyle* RVStyle, int ALevel) const {
    return GetListLevelInfo(RVStyle, ListNo, ALevel);
}

void TRVMarkerItemInfo::CalcDisplayString(TRVStyle* RVStyle, TRVMarkerList& List, int Index) {
    TRVListLevel* own = GetLevelInfo(RVStyle);
    DisplayString.clear();
    if (!own) return;
    if (own->ListType == rvlstBullet) {
        DisplayString = FormatMarkerPattern(own->FormatString, std::vector<AnsiString>(20));
        return;
    }
    if (!own->HasTextNumbering()) return;
    // Placeholders of levels deeper than the marker's own show nothing.
    std::vector<AnsiString> args(std::size_t(std::clamp(Level, 0, 255)) + 1);
    bool legal = own->Options & rvloLegalStyleNumbering;
    const TRVMarkerItemInfo* current = this;
    TRVListLevel* currentLevel = own;
    TRVMarkerList* list = &List;
    int index = Index, l = int(args.size()) - 1;
    for (;;) {
        TRVListType type = currentLevel ? currentLevel->ListType : rvlstDecimal;
        if (l < Level && legal && type >= rvlstLowerAlpha && type <= rvlstUpperRoman) type = rvlstDecimal;
        args[std::size_t(l)] = GetMarkerCounterText(current->Counter, type);
        if (l == 0) break;
        int parentIndex;
        TRVMarkerList* parentList;
        bool found = FindParentMarker(*list, index, *current, parentIndex, parentList);
        int k = found ? std::min(parentList->Items(parentIndex)->Level, l - 1) : -1;
        for (int between = k + 1; between < l; ++between)
            if (TRVListLevel* level = GetLevelInfoAt(RVStyle, between))
                args[std::size_t(between)] = GetMarkerCounterText(level->StartFrom, level->ListType);
        if (!found || k < 0) break;
        current = parentList->Items(parentIndex);
        currentLevel = current->GetLevelInfo(RVStyle);
        list = parentList;
        index = parentIndex;
        l = k;
    }
    DisplayString = FormatMarkerPattern(own->FormatString, args);
}

int TRVMarkerItemInfo::GetIndexInList(const TRVMarkerList* List) const {
    if (!List) return -1;
    if (FIndexInList >= 0 && FIndexInList < List->Count() && List->Items(FIndexInList) == this)
        return FIndexInList;
    FIndexInList = List->IndexOf(this);
    return FIndexInList;
}

bool TRVMarkerItemInfo::GetBoolValue(TRVItemBoolQuery Query) const {
    if (Query == iqPaintChangesFont || Query == iqTextInOutputEncoding) return true;
    return TRVRectItemInfo::GetBoolValue(Query);
}

bool TRVMarkerItemInfo::GetBoolValueEx(TRVItemBoolQueryEx Query, TRVStyle* RVStyle) const {
    switch (Query) {
    case iqxPrintViaBitmap: {
        TRVListLevel* level = RVStyle ? GetLevelInfo(RVStyle) : nullptr;
        if (!level) return false;
        return level->ListType == rvlstImageList || level->ListType == rvlstImageListCounter ||
               (level->ListType == rvlstPicture && level->HasPicture());
    }
    case iqxDeviceSized:
        return true;
    default:
        return TRVRectItemInfo::GetBoolValueEx(Query, RVStyle);
    }
}

int TRVMarkerItemInfo::GetImageWidth(TRVStyle* RVStyle) const {
    TRVListLevel* level = RVStyle ? GetLevelInfo(RVStyle) : nullptr;
    return level && level->ListType == rvlstPicture && level->HasPicture() ? level->Picture().Width() : 0;
}

int TRVMarkerItemInfo::GetImageHeight(TRVStyle* RVStyle) const {
    TRVListLevel* level = RVStyle ? GetLevelInfo(RVStyle) : nullptr;
    return level && level->ListType == rvlstPicture && level->HasPicture() ? level->Picture().Height() : 0;
}

void TRVMarkerItemInfo::AssignProperties(const TCustomRVItemInfo& Source) {
    if (auto* src = dynamic_cast<const TRVMarkerItemInfo*>(&Source)) {
        ListNo = src->ListNo;
        Level = src->Level;
        StartFrom = src->StartFrom;
        Reset = src->Reset;
        NoHtmlSize = src->NoHtmlSize;
    }
    TRVRectItemInfo::AssignProperties(Source);
}

void TRVMarkerItemInfo::MarkUsedStyles(TRVStyleUsageInfo& Usage) const {
    TRVRectItemInfo::MarkUsedStyles(Usage);
    if (ListNo >= 0) TRVStyleUsageInfo::Mark(Usage.ListStyles, ListNo);
}

void TRVMarkerItemInfo::RenumberStyles(const TRVStyleUsageInfo& Usage) {
    TRVRectItemInfo::RenumberStyles(Usage);
    if (ListNo >= 0) ListNo = TRVStyleUsageInfo::Renumbered(Usage.ListStyles, ListNo);
}

bool TRVMarkerItemInfo::SetExtraIntProperty(int Code, int Value) {
    if (Code != rvepNoHtmlSize) return TRVRectItemInfo::SetExtraIntProperty(Code, Value);
    NoHtmlSize = Value != 0;
    return true;
}

bool TRVMarkerItemInfo::GetExtraIntProperty(int Code, int& Value) const {
    if (Code != rvepNoHtmlSize) return TRVRectItemInfo::GetExtraIntProperty(Code, Value);
    Value = NoHtmlSize;
    return true;
}

// ---------------------------------------------------------------- marker list

int TRVMarkerList::IndexOf(const TRVMarkerItemInfo* Marker) const {
    auto it = std::find(FItems.begin(), FItems.end(), Marker);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

int TRVMarkerList::InsertAfter(TRVMarkerItemInfo* Marker, TRVMarkerItemInfo* Previous) {
    int index = Previous ? Previous->GetIndexInList(this) + 1 : 0;
    FItems.insert(FItems.begin() + index, Marker);
    Marker->FIndexInList = index;
    return index;
}

void TRVMarkerList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
    FItems.erase(FItems.begin() + Index);
}

void TRVMarkerList::Clear() {
    FItems.clear();
    FOwned.clear();
}

void TRVMarkerList::Append(TRVMarkerItemInfo* Marker) {
    FItems.push_back(Marker);
    Marker->FIndexInList = Count() - 1;
}

void TRVMarkerList::RecalcAllCounters(TRVStyle* RVStyle) {
    std::vector<int32_t> done;
    for (int i = 0; i < Count(); ++i) {
        int32_t listNo = Items(i)->ListNo;
        if (listNo == -1 || std::find(done.begin(), done.end(), listNo) != done.end()) continue;
        done.push_back(listNo);
        RecalcCounters(i, RVStyle);
    }
}

void TRVMarkerList::RecalcCounters(int Index, TRVStyle* RVStyle) {
    if (Index < 0 || Index >= Count() || Items(Index)->ListNo == -1) return;
    int listNo = Items(Index)->ListNo;
    for (int i = Index; i < Count(); ++i) {
        TRVMarkerItemInfo* m = Items(i);
        if (m->ListNo != listNo) continue;
        if (m->Reset) {
            m->Counter = m->StartFrom;
        } else {
            TRVListLevel* level = m->GetLevelInfo(RVStyle);
            int start = level ? level->StartFrom : 1;
            bool levelReset = level && (level->Options & rvloLevelReset);
            m->Counter = start;
            for (int j = i - 1; j >= 0; --j) {
                TRVMarkerItemInfo* p = Items(j);
                if (p->ListNo != listNo) continue;
                if (p->Level == m->Level) {
                    m->Counter = p->Counter + 1;
                    break;
                }
                if (p->Level < m->Level) {
                    if (!levelReset) continue;
                    m->Counter = start;
                    break;
                }
                // A deeper marker stands for an unseen one of this level.
                m->Counter = start + 1;
            }
        }
        m->CalcDisplayString(RVStyle, *this, i);
    }
}

namespace {

void PutInt(std::string& Out, int32_t V) {
    for (int i = 0; i < 4; ++i)
        Out += char(uint32_t(V) >> (8 * i));
}

int32_t GetInt(const uint8_t* P) {
    return int32_t(uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24);
}

constexpr int MarkerStateRecord = 17;

std::string StateBytes(const TRVMarkerList& List, int Count) {
    Count = std::clamp(Count, 0, List.Count());
    std::string out;
    out.reserve(std::size_t(8 + Count * MarkerStateRecord));
    PutInt(out, 0);
    PutInt(out, Count);
    for (int i = 0; i < Count; ++i) {
        const TRVMarkerItemInfo* m = List.Items(i);
        PutInt(out, m->ListNo);
        PutInt(out, m->Level);
        out += char(m->Reset ? 1 : 0);
        PutInt(out, m->StartFrom);
        PutInt(out, m->Counter);
    }
    return out;
}

} // namespace

void TRVMarkerList::SaveState(TStream& Stream, int ACount, bool WithLength) const {
    std::string bytes = StateBytes(*this, ACount);
    if (WithLength) {
        std::string length;
        PutInt(length, int32_t(bytes.size()));
        Stream.WriteBuffer(length.data(), 4);
    }
    Stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

void TRVMarkerList::SaveStateHex(TStream& Stream, int ACount) const {
    static const char hex[] = "0123456789ABCDEF";
    std::string bytes = StateBytes(*this, ACount), text;
    text.reserve(bytes.size() * 2 + 2);
    for (unsigned char c : bytes) {
        text += hex[c >> 4];
        text += hex[c & 15];
    }
    text += "\r\n";
    Stream.WriteBuffer(text.data(), int64_t(text.size()));
}

void TRVMarkerList::LoadState(TStream& Stream, TCustomRVData* RVData, bool WithLength) {
    Clear();
    int64_t available = Stream.Size() - Stream.Position();
    uint8_t word[4];
    int64_t declared = -1;
    if (WithLength) {
        Stream.ReadBuffer(word, 4);
        declared = GetInt(word);
        available -= 4;
    }
    uint8_t head[8];
    Stream.ReadBuffer(head, 8);
    int32_t count = GetInt(head + 4);
    // The count must fit the bytes there are (and the length, when given).
    if (count < 0 || int64_t(count) * MarkerStateRecord > available - 8 ||
        (declared >= 0 && declared != int64_t(count) * MarkerStateRecord + 8))
        throw EReadError("Invalid marker list state");
    std::vector<uint8_t> records(std::size_t(count) * MarkerStateRecord);
    Stream.ReadBuffer(records.data(), int64_t(records.size()));
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* r = records.data() + std::size_t(i) * MarkerStateRecord;
        auto marker =
            std::make_unique<TRVMarkerItemInfo>(RVData, GetInt(r), GetInt(r + 4), GetInt(r + 9), r[8] != 0);
        marker->Counter = GetInt(r + 13);
        FItems.push_back(marker.get());
        marker->FIndexInList = i;
        FOwned.push_back(std::move(marker));
    }
}

void TRVMarkerList::LoadStateFromBytes(const AnsiString& Bytes, TCustomRVData* RVData) {
    TRVMemoryStream stream;
    stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    stream.SetPosition(0);
    LoadState(stream, RVData, false);
}

void TRVMarkerList::LoadStateFromHex(const AnsiString& Hex, TCustomRVData* RVData) {
    auto digit = [](char C) {
        if (C >= '0' && C <= '9') return C - '0';
        if (C >= 'A' && C <= 'F') return C - 'A' + 10;
        if (C >= 'a' && C <= 'f') return C - 'a' + 10;
        return -1;
    };
    if (Hex.size() % 2) {
        Clear();
        throw EReadError("Invalid marker list state");
    }
    AnsiString bytes;
    bytes.reserve(Hex.size() / 2);
    for (std::size_t i = 0; i < Hex.size(); i += 2) {
        int hi = digit(Hex[i]), lo = digit(Hex[i + 1]);
        if (hi < 0 || lo < 0) {
            Clear();
            throw EReadError("Invalid marker list state");
        }
        bytes += char(hi * 16 + lo);
    }
    LoadStateFromBytes(bytes, RVData);
}
