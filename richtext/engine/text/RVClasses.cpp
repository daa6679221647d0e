// The engine's lists and the memory stream, and the two
// similarity scores.
#include "richtext/engine/text/RVClasses.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "platform/canvas/Graphics.h"
#include "platform/rtl/ScopeGuard.h"

namespace {

[[noreturn]] void RaiseIndexError(int Index) {
    throw EListError(Format("List index out of bounds (%d)", {Index}));
}

[[noreturn]] void RaiseCapacityError(int Value) {
    throw EListError(Format("List capacity out of bounds (%d)", {Value}));
}

const char* const kOutOfMemory = "Out of memory while expanding memory stream";

} // namespace

// ---------------------------------------------------------------- TRVList

TRVList::~TRVList() {
    TRVList::Clear();
}

void TRVList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) RaiseIndexError(Index);
}

void TRVList::SetCount(int Value) {
    if (Value < 0) throw EListError(Format("List count out of bounds (%d)", {Value}));
    while (Count() > Value) {
        std::unique_ptr<TObject> dropped(FItems.back());
        FItems.pop_back();
    }
    FItems.resize(std::size_t(Value), nullptr);
}

void TRVList::SetCapacity(int Value) {
    if (Value < Count()) RaiseCapacityError(Value);
    FItems.reserve(std::size_t(Value));
}

TObject* TRVList::Get(int Index) const {
    CheckIndex(Index);
    return FItems[std::size_t(Index)];
}

void TRVList::Put(int Index, TObject* Item) {
    CheckIndex(Index);
    FItems[std::size_t(Index)] = Item;
}

int TRVList::Add(TObject* Item) {
    FItems.push_back(Item);
    return Count() - 1;
}

void TRVList::Insert(int Index, TObject* Item) {
    if (Index < 0 || Index > Count()) RaiseIndexError(Index);
    FItems.insert(FItems.begin() + Index, Item);
}

int TRVList::IndexOf(const TObject* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TRVList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FItems[std::size_t(Index1)], FItems[std::size_t(Index2)]);
}

void TRVList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    TObject* item = FItems[std::size_t(CurIndex)];
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, item);
}

void TRVList::Sort(const TCompare& Compare) {
    std::stable_sort(FItems.begin(), FItems.end(), [&](TObject* A, TObject* B) { return Compare(A, B) < 0; });
}

void TRVList::Clear() {
    // Every object is freed even when a destructor raises; the first error
    // comes out once the list is empty.
    std::vector<TObject*> items;
    items.swap(FItems);
    TFirstError errors;
    for (TObject* item : items)
        errors.Run([item] { delete item; });
    errors.RaiseIfAny();
}

void TRVList::Delete(int Index) {
    CheckIndex(Index);
    std::unique_ptr<TObject> item(FItems[std::size_t(Index)]);
    FItems.erase(FItems.begin() + Index);
}

void TRVList::DeleteNoFree(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
}

int TRVList::BinarySearch(const void* Key, const TKeyCompare& Compare) const {
    int lo = 0, hi = Count() - 1;
    while (hi >= lo) {
        int mid = lo + (hi - lo) / 2;
        int r = Compare(FItems[std::size_t(mid)], Key);
        if (r < 0)
            lo = mid + 1;
        else if (r > 0)
            hi = mid - 1;
        else
            return mid;
    }
    return -1;
}

// ---------------------------------------------------------------- TRVIntegerList

std::unique_ptr<TRVIntegerList> TRVIntegerList::CreateFilled(int Count, int32_t Value) {
    auto list = std::make_unique<TRVIntegerList>();
    list->Fill(Value, Count);
    return list;
}

std::unique_ptr<TRVIntegerList> TRVIntegerList::CreateCopy(const TRVIntegerList& Source) {
    auto list = std::make_unique<TRVIntegerList>();
    list->Assign(Source);
    return list;
}

void TRVIntegerList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) RaiseIndexError(Index);
}

void TRVIntegerList::SetCount(int Value) {
    if (Value < 0) throw EListError(Format("List count out of bounds (%d)", {Value}));
    FItems.resize(std::size_t(Value), 0);
}

void TRVIntegerList::SetCapacity(int Value) {
    if (Value < Count()) RaiseCapacityError(Value);
    FItems.reserve(std::size_t(Value));
}

int32_t TRVIntegerList::GetItem(int Index) const {
    CheckIndex(Index);
    return FItems[std::size_t(Index)];
}

void TRVIntegerList::SetItem(int Index, int32_t Value) {
    CheckIndex(Index);
    FItems[std::size_t(Index)] = Value;
}

int TRVIntegerList::Add(int32_t Value) {
    FItems.push_back(Value);
    return Count() - 1;
}

void TRVIntegerList::Insert(int Index, int32_t Value) {
    if (Index < 0 || Index > Count()) RaiseIndexError(Index);
    FItems.insert(FItems.begin() + Index, Value);
}

void TRVIntegerList::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
}

int TRVIntegerList::IndexOf(int32_t Value) const {
    auto it = std::find(FItems.begin(), FItems.end(), Value);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TRVIntegerList::Assign(const TRVIntegerList& Source) {
    if (&Source == this) return;
    FItems.clear();
    FItems.reserve(Source.FItems.size());
    FItems.insert(FItems.end(), Source.FItems.begin(), Source.FItems.end());
}

int TRVIntegerList::AddUnique(int32_t Value) {
    int index = IndexOf(Value);
    return index >= 0 ? index : Add(Value);
}

void TRVIntegerList::Fill(int32_t Value, int Count) {
    FItems.clear();
    if (Count <= 0) return;
    FItems.assign(std::size_t(Count), Value);
}

void TRVIntegerList::Sort() {
    std::sort(FItems.begin(), FItems.end());
}

void TRVColorList::AddUniqueColor(uint32_t Color) {
    if (Color != clNone) AddUnique(int32_t(Color));
}

// ---------------------------------------------------------------- TRVMemoryStream

TRVMemoryStream::~TRVMemoryStream() {
    Clear();
}

std::unique_ptr<uint8_t[]> TRVMemoryStream::ReallocBlock(int64_t& NewCapacity) {
    // A request equal to Size is taken exactly, so a caller can trim the
    // block to its data.
    if (NewCapacity > 0 && NewCapacity != FSize) {
        if (NewCapacity > std::numeric_limits<int64_t>::max() - (GrowthStep - 1))
            throw EStreamError(kOutOfMemory);
        NewCapacity = (NewCapacity + (GrowthStep - 1)) & ~(GrowthStep - 1);
    }
    if (NewCapacity == FCapacity) return std::move(FMemory);
    if (NewCapacity == 0) return nullptr;
    if (uint64_t(NewCapacity) > std::numeric_limits<std::size_t>::max()) throw EStreamError(kOutOfMemory);
    // Only the data moves; what lies past it is never read before it is
    // written or zeroed.
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[std::size_t(NewCapacity)]);
    if (!block) throw EStreamError(kOutOfMemory);
    if (FMemory && FSize > 0)
        std::memcpy(block.get(), FMemory.get(), std::size_t(std::min(FSize, NewCapacity)));
    return block;
}

int64_t TRVMemoryStream::GrownCapacity(int64_t Needed) const {
    // Growing by half of what is held keeps the copies of a long run of
    // writes linear in its length.
    int64_t grown = FCapacity + FCapacity / 2;
    return grown > Needed ? grown : Needed;
}

void TRVMemoryStream::SetCapacity(int64_t NewCapacity) {
    if (NewCapacity < 0) NewCapacity = 0;
    std::unique_ptr<uint8_t[]> block = ReallocBlock(NewCapacity);
    FMemory = std::move(block);
    FCapacity = FMemory ? NewCapacity : 0;
    // Data past a shrunken block is gone; Size follows only when the caller
    // sets it, but it must never point past the block.
    if (FSize > FCapacity) FSize = FCapacity;
}

void TRVMemoryStream::Clear() {
    SetCapacity(0);
    FSize = 0;
    FPosition = 0;
}

int64_t TRVMemoryStream::Read(void* Buffer, int64_t Count) {
    if (FPosition < 0 || Count < 0) return 0;
    int64_t available = FSize - FPosition;
    if (available <= 0) return 0;
    int64_t n = std::min(Count, available);
    std::memcpy(Buffer, FMemory.get() + FPosition, std::size_t(n));
    FPosition += n;
    return n;
}

int64_t TRVMemoryStream::Write(const void* Buffer, int64_t Count) {
    uint8_t* target = WriteInPlace(Count);
    if (!target) return 0;
    std::memcpy(target, Buffer, std::size_t(Count));
    return Count;
}

uint8_t* TRVMemoryStream::WriteInPlace(int64_t Count) {
    if (FPosition < 0 || Count < 0) return nullptr;
    if (Count > std::numeric_limits<int64_t>::max() - FPosition) return nullptr;
    int64_t newEnd = FPosition + Count;
    if (newEnd <= 0) return nullptr;
    if (newEnd > FSize) {
        if (newEnd > FCapacity) SetCapacity(GrownCapacity(newEnd));
        // A gap between the old end and the position reads as zeros.
        if (FPosition > FSize) std::memset(FMemory.get() + FSize, 0, std::size_t(FPosition - FSize));
        FSize = newEnd;
    }
    uint8_t* target = FMemory.get() + FPosition;
    FPosition = newEnd;
    return target;
}

int64_t TRVMemoryStream::Seek(int64_t Offset, int Origin) {
    switch (Origin) {
    case soBeginning:
        FPosition = Offset;
        break;
    case soCurrent:
        FPosition += Offset;
        break;
    case soEnd:
        FPosition = FSize + Offset;
        break;
    default:
        break;
    }
    return FPosition;
}

void TRVMemoryStream::SetSize(int64_t NewSize) {
    if (NewSize < 0) NewSize = 0;
    int64_t oldPosition = FPosition;
    int64_t oldSize = FSize;
    // A smaller size keeps the block: a stream cut and written again does
    // not move its data back and forth. Size 0 lets it go.
    if (NewSize == 0)
        SetCapacity(0);
    else if (NewSize > FCapacity)
        SetCapacity(GrownCapacity(NewSize));
    if (NewSize > oldSize) std::memset(FMemory.get() + oldSize, 0, std::size_t(NewSize - oldSize));
    FSize = NewSize;
    if (NewSize < oldPosition) Seek(0, soEnd);
}

// ---------------------------------------------------------------- similarity

int NumberSimilarity(int A, int B, int Weight) {
    double ratio =
        A != 0 ? 1.0 - std::abs(double(A) - double(B)) / std::abs(double(A)) : 1.0 - std::abs(double(B));
    return int(Round(ratio * Weight));
}

int ColorSimilarity(uint32_t Color1, uint32_t Color2, int Weight, int Bonus) {
    bool none1 = Color1 == clNone, none2 = Color2 == clNone;
    if (none1 && none2) return 3 * Weight + Bonus;
    if (none1 || none2) return 0;
    TColor c1 = ColorToRGB(Color1), c2 = ColorToRGB(Color2);
    int score = 0, bright1 = 0, bright2 = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int v1 = int((c1 >> shift) & 0xFF), v2 = int((c2 >> shift) & 0xFF);
        if (v1 > 64) ++bright1;
        if (v2 > 64) ++bright2;
        score -= std::abs(v1 - v2) * Weight / 255;
    }
    if ((bright1 == 0) == (bright2 == 0)) score += Bonus;
    return score;
}
