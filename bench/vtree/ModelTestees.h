// What the model benchmark runs on each testee: the tree or one of the item
// models it is measured beside, each filled with one text per row.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

// Flat: Parents rows and no children. Two-level: Parents rows with Children
// rows each.
struct TShape {
    uint32_t Parents;
    uint32_t Children;
    uint64_t Rows() const { return uint64_t(Parents) * (1 + Children); }
};

// Stored: the text is kept with the row. Computed: the row keeps a number
// and its text is made each time it is asked for.
enum class TTextKind { Stored, Computed };

// The text of row Id, "Testee " and seven digits scattered by a hash so that
// sorting has real work to do; 14 characters. Returns its length.
inline size_t RowText(uint32_t Id, char (&Buffer)[16]) {
    uint32_t key = (Id * 2654435761u) % 10000000u;
    std::memcpy(Buffer, "Testee ", 7);
    for (int i = 13; i >= 7; --i, key /= 10)
        Buffer[i] = char('0' + key % 10);
    Buffer[14] = 0;
    return 14;
}

class ITestee {
public:
    virtual ~ITestee() = default;
    // Creates every row and gives it its text.
    virtual void Create(const TShape& Shape) = 0;
    // Visits every row through the testee's own interface and reads its
    // text; returns a checksum so that nothing is optimised away.
    virtual uint64_t Walk() = 0;
    // Sorts every sibling list ascending by text.
    virtual void Sort() = 0;
    virtual void Clear() = 0;
    // Empty when every sibling list is in ascending order and every row is
    // there; otherwise what is wrong.
    virtual std::string Verify(const TShape& Shape) = 0;
};

// Testee names: "tree" (the virtual tree), and the item models "custom" (a
// minimal model over a vector, comparing on demand), "keyed" (the same model,
// computing each sort key once), "proxy" (a sort proxy over "custom"),
// "standard" (the standard item model, stored text only) and "custom8" (the
// minimal model over 8-bit strings, kept or made from the number as the
// tree's are: the model to set the tree beside like for like). Nil for an
// unknown name or a text kind the testee cannot hold.
std::unique_ptr<ITestee> MakeTreeTestee(TTextKind Kind);
// "records": the tree's node records alone, with the same data and the same
// two passes of making and initialising, without the tree's own work.
std::unique_ptr<ITestee> MakeRecordsTestee(TTextKind Kind);
std::unique_ptr<ITestee> MakeModelTestee(const std::string& Name, TTextKind Kind);
