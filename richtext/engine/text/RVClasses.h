// The engine's containers: the owning object list, the integer and colour
// lists and the growable memory stream, with the
// two similarity scores used when looking for the closest existing style.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Streams.h"

// Pointer slots with checked indexes; every non-nil slot holds an object the
// list owns.
class TRVList : public TObject {
public:
    using TCompare = std::function<int(TObject* Item1, TObject* Item2)>;
    using TKeyCompare = std::function<int(TObject* Item, const void* Key)>;

    TRVList() = default;
    ~TRVList() override;

    int Count() const { return int(FItems.size()); }
    // Growing fills nil slots; shrinking frees the objects dropped.
    void SetCount(int Value);
    int Capacity() const { return int(FItems.capacity()); }
    void SetCapacity(int Value);

    TObject* Get(int Index) const;
    // Replaces the slot only: the old object is the caller's.
    void Put(int Index, TObject* Item);
    TObject* operator[](int Index) const { return Get(Index); }
    int Add(TObject* Item);
    void Insert(int Index, TObject* Item);
    int IndexOf(const TObject* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    void Sort(const TCompare& Compare);

    // Frees each object in index order, then empties the list.
    virtual void Clear();
    // Frees the object, then removes the slot.
    void Delete(int Index);
    // Removes the slot; the caller takes the object over.
    void DeleteNoFree(int Index);
    // Search of a list sorted by Compare; -1 when absent.
    int BinarySearch(const void* Key, const TKeyCompare& Compare) const;

protected:
    void CheckIndex(int Index) const;

private:
    std::vector<TObject*> FItems;
};

// Signed 32-bit values in insertion order, duplicates allowed.
class TRVIntegerList : public TObject {
public:
    TRVIntegerList() = default;
    static std::unique_ptr<TRVIntegerList> CreateFilled(int Count, int32_t Value);
    static std::unique_ptr<TRVIntegerList> CreateCopy(const TRVIntegerList& Source);

    int Count() const { return int(FItems.size()); }
    void SetCount(int Value); // growing fills zeros
    int Capacity() const { return int(FItems.capacity()); }
    void SetCapacity(int Value);

    int32_t GetItem(int Index) const;
    void SetItem(int Index, int32_t Value);
    int32_t operator[](int Index) const { return GetItem(Index); }
    int Add(int32_t Value);
    void Insert(int Index, int32_t Value);
    void Delete(int Index);
    int IndexOf(int32_t Value) const;
    void Clear() { FItems.clear(); }
    void Assign(const TRVIntegerList& Source);
    // Index of the first equal value, appending it when there is none.
    int AddUnique(int32_t Value);
    // Empties the list, then Count copies of Value.
    void Fill(int32_t Value, int Count);
    void Sort();
    const std::vector<int32_t>& Values() const { return FItems; }

protected:
    void CheckIndex(int Index) const;

private:
    std::vector<int32_t> FItems;
};

// Colours of a colour table; the no-colour value is never added.
class TRVColorList : public TRVIntegerList {
public:
    void AddUniqueColor(uint32_t Color);
};

// A growable block of memory whose capacity is a multiple of 256 KB and
// grows by half of itself at least, so that writing n bytes copies O(n).
// Bytes it grows over read as zeros, so nothing of the heap reaches a
// stream's output.
class TRVMemoryStream : public TStream {
public:
    static constexpr int64_t GrowthStep = 0x40000;

    TRVMemoryStream() = default;
    ~TRVMemoryStream() override;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, int Origin) override;
    void SetSize(int64_t NewSize) override;
    int64_t Size() override { return FSize; }

    // Makes room for Count bytes at the position as Write does and moves the
    // position past them, for the caller to fill: a writer that produces
    // its bytes in place saves a copy. Nil where Write would write nothing.
    uint8_t* WriteInPlace(int64_t Count);

    void SetCapacity(int64_t NewCapacity);
    int64_t Capacity() const { return FCapacity; }
    void Clear();
    // The Size bytes of data (nil when the stream holds no block).
    uint8_t* Memory() const { return FMemory.get(); }

protected:
    // The block for a requested capacity, which it may round up.
    virtual std::unique_ptr<uint8_t[]> ReallocBlock(int64_t& NewCapacity);

private:
    // The capacity to ask for when Needed bytes must fit.
    int64_t GrownCapacity(int64_t Needed) const;
    int64_t FCapacity = 0;
    std::unique_ptr<uint8_t[]> FMemory;
    int64_t FSize = 0;
    int64_t FPosition = 0;
};

// Closeness of B to A scaled to Weight; negative when B is further from A
// than A is from zero.
int NumberSimilarity(int A, int B, int Weight);
// Closeness of two colours; equal colours score Bonus, two "no colour"
// values 3 x Weight + Bonus, one of each 0.
int ColorSimilarity(uint32_t Color1, uint32_t Color2, int Weight, int Bonus);
