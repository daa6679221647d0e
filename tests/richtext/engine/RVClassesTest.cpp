// The engine's lists, the memory stream and the similarity scores.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/canvas/Graphics.h"
#include "richtext/engine/text/RVClasses.h"

namespace {

// Counts its own destruction, so tests see which objects a list freed.
struct TCounted : TObject {
    TCounted(int V, int* Freed) : Value(V), FFreed(Freed) {}
    ~TCounted() override {
        if (FFreed) ++*FFreed;
    }
    int Value;
    int* FFreed;
};

int ValueOf(TObject* Item) {
    return static_cast<TCounted*>(Item)->Value;
}

TEST(RVListTest, ClearDeleteAndDeleteNoFreeOwnership) {
    int freed = 0;
    auto list = std::make_unique<TRVList>();
    for (int i = 0; i < 4; ++i)
        list->Add(new TCounted(i, &freed));
    list->Add(nullptr);
    list->Delete(0);
    EXPECT_EQ(freed, 1);
    std::unique_ptr<TObject> taken(list->Get(0));
    list->DeleteNoFree(0);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(list->Count(), 3);
    EXPECT_THROW(list->Delete(3), EListError);
    EXPECT_EQ(freed, 1);
    list.reset();
    EXPECT_EQ(freed, 3);
    taken.reset();
    EXPECT_EQ(freed, 4);
}

TEST(RVListTest, BadIndexesRaiseTheListError) {
    TRVList list;
    list.Add(nullptr);
    try {
        list.Get(5);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
    EXPECT_THROW(list.Put(-1, nullptr), EListError);
    EXPECT_THROW(list.Insert(2, nullptr), EListError);
    try {
        list.SetCapacity(0);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List capacity out of bounds (0)");
    }
    list.SetCount(3);
    EXPECT_EQ(list.Get(2), nullptr);
}

TEST(RVListTest, BinarySearch) {
    int freed = 0;
    TRVList list;
    auto cmp = [](TObject* Item, const void* Key) { return ValueOf(Item) - *static_cast<const int*>(Key); };
    int key = 7;
    EXPECT_EQ(list.BinarySearch(&key, cmp), -1);
    list.Add(new TCounted(7, &freed));
    EXPECT_EQ(list.BinarySearch(&key, cmp), 0);
    key = 8;
    EXPECT_EQ(list.BinarySearch(&key, cmp), -1);
    for (int v : {9, 11, 13, 15})
        list.Add(new TCounted(v, &freed));
    for (int i = 0; i < list.Count(); ++i) {
        key = ValueOf(list.Get(i));
        EXPECT_EQ(list.BinarySearch(&key, cmp), i);
    }
    key = 12;
    EXPECT_EQ(list.BinarySearch(&key, cmp), -1);
}

TEST(RVIntegerListTest, AddUniqueFillAndCopies) {
    TRVIntegerList list;
    for (int v : {5, 3, 5, 3})
        list.Add(v);
    EXPECT_EQ(list.AddUnique(3), 1);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.AddUnique(-2), 4);
    list.Fill(9, 3);
    EXPECT_EQ(list.Values(), (std::vector<int32_t>{9, 9, 9}));
    EXPECT_EQ(TRVIntegerList::CreateFilled(0, 4)->Count(), 0);
    EXPECT_EQ(TRVIntegerList::CreateFilled(2, 4)->Values(), (std::vector<int32_t>{4, 4}));
    list.Insert(0, -1);
    list.Sort();
    EXPECT_EQ(TRVIntegerList::CreateCopy(list)->Values(), (std::vector<int32_t>{-1, 9, 9, 9}));
    EXPECT_THROW(list.GetItem(4), EListError);
    EXPECT_THROW(list.Insert(6, 0), EListError);
}

TEST(RVIntegerListTest, ColorListSkipsNoColour) {
    TRVColorList colors;
    colors.AddUniqueColor(clNone);
    EXPECT_EQ(colors.Count(), 0);
    colors.AddUniqueColor(clRed);
    colors.AddUniqueColor(clWindowText);
    colors.AddUniqueColor(clRed);
    EXPECT_EQ(colors.Values(), (std::vector<int32_t>{int32_t(clRed), int32_t(clWindowText)}));
}

TEST(RVMemoryStreamTest, GrowsInStepsAndTrims) {
    TRVMemoryStream s;
    EXPECT_EQ(s.Memory(), nullptr);
    s.WriteBuffer("x", 1);
    EXPECT_EQ(s.Capacity(), 262144);
    EXPECT_EQ(s.Size(), 1);
    s.SetCapacity(s.Size());
    EXPECT_EQ(s.Capacity(), 1);
    std::vector<char> big(262145, 'a');
    s.WriteBuffer(big.data(), int64_t(big.size()));
    EXPECT_EQ(s.Capacity(), 2 * 262144);
    s.Clear();
    EXPECT_EQ(s.Capacity(), 0);
    EXPECT_EQ(s.Memory(), nullptr);
    EXPECT_EQ(s.Position(), 0);
}

// Counts the blocks a stream asks for and the bytes it keeps.
class TCountingStream : public TRVMemoryStream {
public:
    int Blocks = 0;

protected:
    std::unique_ptr<uint8_t[]> ReallocBlock(int64_t& NewCapacity) override {
        ++Blocks;
        return TRVMemoryStream::ReallocBlock(NewCapacity);
    }
};

TEST(RVMemoryStreamTest, WritingMuchGrowsTheBlockRarely) {
    // 32 MB in small writes: growing by a fixed step would copy the data
    // over a hundred times; growing by half of the block does so a dozen.
    TCountingStream s;
    std::vector<char> chunk(4096);
    constexpr int chunks = 8192;
    for (int i = 0; i < chunks; ++i) {
        chunk[0] = char(i);
        s.WriteBuffer(chunk.data(), int64_t(chunk.size()));
    }
    EXPECT_LE(s.Blocks, 16);
    EXPECT_EQ(s.Size(), int64_t(chunks) * 4096);
    EXPECT_EQ(s.Capacity() % TRVMemoryStream::GrowthStep, 0);
    EXPECT_EQ(char(s.Memory()[4096 * 5000]), char(5000));
    // Growing by SetSize too.
    s.SetSize(0);
    int blocks = s.Blocks;
    for (int i = 1; i <= 1000; ++i)
        s.SetSize(int64_t(i) * 20000);
    EXPECT_LE(s.Blocks - blocks, 16);
    EXPECT_EQ(s.Memory()[19999999], 0);
}

TEST(RVMemoryStreamTest, SetSizeMovesPositionOnlyWhenCut) {
    struct Case {
        int64_t NewSize, Position;
    } cases[] = {{10, 10}, {30, 20}};
    for (const Case& c : cases) {
        TRVMemoryStream s;
        s.SetSize(40);
        s.SetPosition(20);
        s.SetSize(c.NewSize);
        EXPECT_EQ(s.Position(), c.Position) << c.NewSize;
    }
}

TEST(RVMemoryStreamTest, SeeksOutsideTheDataTransferNothing) {
    TRVMemoryStream s;
    s.WriteBuffer("0123456789", 10);
    EXPECT_EQ(s.Seek(-5, soBeginning), -5);
    EXPECT_EQ(s.Write("abc", 3), 0);
    EXPECT_EQ(s.Size(), 10);
    EXPECT_EQ(s.Seek(5, soEnd), 15);
    char buf[4];
    EXPECT_EQ(s.Read(buf, 4), 0);
    EXPECT_EQ(s.Seek(-3, soCurrent), 12);
    EXPECT_EQ(s.Seek(1, 7), 12); // unknown origin
    s.SetPosition(8);
    EXPECT_EQ(s.Read(buf, 4), 2);
    EXPECT_EQ(std::string(buf, 2), "89");
    EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
}

TEST(RVMemoryStreamTest, BytesGrownOverAreZeros) {
    TRVMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    s.SetSize(2);
    s.SetSize(5); // grows back over stale bytes
    EXPECT_EQ(std::memcmp(s.Memory(), "ab\0\0\0", 5), 0);
    s.SetPosition(8); // a gap past the end
    s.WriteBuffer("z", 1);
    EXPECT_EQ(s.Size(), 9);
    EXPECT_EQ(std::memcmp(s.Memory(), "ab\0\0\0\0\0\0z", 9), 0);
}

TEST(RVMemoryStreamTest, HugeRequestsRaiseTheStreamError) {
    TRVMemoryStream s;
    s.WriteBuffer("abc", 3);
    try {
        s.SetCapacity(int64_t(1) << 62);
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Out of memory while expanding memory stream");
    }
    EXPECT_EQ(s.Size(), 3);
    EXPECT_EQ(std::memcmp(s.Memory(), "abc", 3), 0);
    s.SetPosition(INT64_MAX - 1);
    EXPECT_EQ(s.Write("abc", 3), 0);
}

TEST(RVMemoryStreamTest, CopyFromWholeSource) {
    TRVMemoryStream a, b;
    a.WriteBuffer("hello", 5);
    EXPECT_EQ(b.CopyFrom(a, 0), 5);
    EXPECT_EQ(std::memcmp(b.Memory(), "hello", 5), 0);
}

TEST(SimilarityTest, NumberAndColorScores) {
    struct NumberCase {
        int A, B, Weight, Score;
    } numbers[] = {{10, 5, 100, 50}, {0, 0, 7, 7}, {10, 30, 100, -100}, {0, 2, 10, -10}, {4, 5, 2, 2}};
    for (const NumberCase& c : numbers)
        EXPECT_EQ(NumberSimilarity(c.A, c.B, c.Weight), c.Score) << c.A << " " << c.B;
    struct ColorCase {
        TColor C1, C2;
        int Score;
    } colors[] = {{clBlack, clBlack, 5}, {clWhite, clBlack, -30}, {clNone, clNone, 35},
                  {clNone, clBlack, 0},  {clWhite, clWhite, 5},   {clRed, clMaroon, 5 - 4}};
    for (const ColorCase& c : colors)
        EXPECT_EQ(ColorSimilarity(c.C1, c.C2, 10, 5), c.Score) << std::hex << c.C1 << " " << c.C2;
}

} // namespace
