// String lists: adding, finding, sorting and the text of a list.
#include "platform/rtl/StringLists.h"

#include <algorithm>

void TStrings::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EStringListError(Format("List index out of bounds (%d)", {Index}));
}

const AnsiString& TStrings::Strings(int Index) const {
    CheckIndex(Index);
    return FItems[std::size_t(Index)].S;
}

void TStrings::SetString(int Index, const AnsiString& S) {
    CheckIndex(Index);
    FItems[std::size_t(Index)].S = S;
}

TObject* TStrings::Objects(int Index) const {
    CheckIndex(Index);
    return FItems[std::size_t(Index)].Object;
}

void TStrings::SetObject(int Index, TObject* Object) {
    CheckIndex(Index);
    FItems[std::size_t(Index)].Object = Object;
}

int TStrings::AddObject(const AnsiString& S, TObject* Object) {
    FItems.push_back({S, Object});
    return Count() - 1;
}

void TStrings::Insert(int Index, const AnsiString& S, TObject* Object) {
    if (Index < 0 || Index > Count())
        throw EStringListError(Format("List index out of bounds (%d)", {Index}));
    FItems.insert(FItems.begin() + Index, TItem{S, Object});
}

void TStrings::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
}

void TStrings::Clear() {
    FItems.clear();
}

int TStrings::IndexOf(const AnsiString& S) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(FItems[std::size_t(i)].S, S)) return i;
    return -1;
}

AnsiString TStrings::Names(int Index) const {
    const AnsiString& s = Strings(Index);
    std::size_t eq = s.find('=');
    return eq == AnsiString::npos ? AnsiString() : s.substr(0, eq);
}

int TStrings::IndexOfName(const AnsiString& Name) const {
    for (int i = 0; i < Count(); ++i) {
        const AnsiString& s = FItems[std::size_t(i)].S;
        std::size_t eq = s.find('=');
        if (eq != AnsiString::npos && SameText(s.substr(0, eq), Name)) return i;
    }
    return -1;
}

AnsiString TStrings::ValueFromIndex(int Index) const {
    const AnsiString& s = Strings(Index);
    std::size_t eq = s.find('=');
    return eq == AnsiString::npos ? AnsiString() : s.substr(eq + 1);
}

AnsiString TStrings::Values(const AnsiString& Name) const {
    int i = IndexOfName(Name);
    return i < 0 ? AnsiString() : ValueFromIndex(i);
}

AnsiString TStrings::Text() const {
    AnsiString out;
    for (const TItem& item : FItems)
        out += item.S + "\r\n";
    return out;
}

void TStrings::SetText(const AnsiString& Value) {
    TUpdateBracket bracket(*this);
    Clear();
    std::size_t start = 0;
    while (start < Value.size()) {
        std::size_t end = Value.find_first_of("\r\n", start);
        if (end == AnsiString::npos) end = Value.size();
        Add(Value.substr(start, end - start));
        if (end < Value.size() && Value[end] == '\r' && end + 1 < Value.size() && Value[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

AnsiString TStrings::CommaText() const {
    AnsiString out;
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (i) out += ',';
        const AnsiString& s = FItems[i].S;
        bool quote = s.empty() || s.find_first_of(" \",") != AnsiString::npos ||
                     std::any_of(s.begin(), s.end(), [](char c) { return (unsigned char)c < 32; });
        if (!quote) {
            out += s;
            continue;
        }
        out += '"';
        for (char c : s) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

void TStrings::SetCommaText(const AnsiString& Value) {
    TUpdateBracket bracket(*this);
    Clear();
    std::size_t p = 0;
    auto skipBlanks = [&] {
        while (p < Value.size() && (unsigned char)Value[p] <= ' ')
            ++p;
    };
    skipBlanks();
    while (p < Value.size()) {
        AnsiString item;
        if (Value[p] == '"') {
            ++p;
            while (p < Value.size()) {
                if (Value[p] == '"') {
                    if (p + 1 < Value.size() && Value[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += Value[p++];
            }
        } else {
            while (p < Value.size() && (unsigned char)Value[p] > ' ' && Value[p] != ',')
                item += Value[p++];
        }
        Add(item);
        skipBlanks();
        if (p < Value.size() && Value[p] == ',') {
            ++p;
            skipBlanks();
            if (p >= Value.size()) Add(""); // a trailing comma ends with an empty item
        }
    }
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TStrings*>(Source)) {
        if (other == this) return;
        TUpdateBracket bracket(*this);
        Clear();
        AddStrings(*other);
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::AddStrings(const TStrings& Other) {
    std::vector<TItem> copy = Other.FItems;
    for (const TItem& item : copy)
        AddObject(item.S, item.Object);
}

int TStringList::Compare(const AnsiString& A, const AnsiString& B) const {
    if (CaseSensitive) return A < B ? -1 : A == B ? 0 : 1;
    return AnsiCompareText(A, B);
}

bool TStringList::Find(const AnsiString& S, int& Index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = Compare(FItems[std::size_t(mid)].S, S);
        if (c < 0)
            lo = mid + 1;
        else {
            hi = mid - 1;
            if (c == 0) found = true;
        }
    }
    Index = lo;
    return found;
}

int TStringList::AddObject(const AnsiString& S, TObject* Object) {
    if (!FSorted) return TStrings::AddObject(S, Object);
    int index;
    Find(S, index);
    FItems.insert(FItems.begin() + index, TItem{S, Object});
    return index;
}

int TStringList::IndexOf(const AnsiString& S) const {
    if (!FSorted) {
        for (int i = 0; i < Count(); ++i)
            if (Compare(FItems[std::size_t(i)].S, S) == 0) return i;
        return -1;
    }
    int index;
    return Find(S, index) ? index : -1;
}

void TStringList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const TItem& a, const TItem& b) { return Compare(a.S, b.S) < 0; });
}

void TStringList::SetSorted(bool Value) {
    if (Value && !FSorted) Sort();
    FSorted = Value;
}
