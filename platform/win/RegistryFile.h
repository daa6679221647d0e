// The registry store file's contents: the tree of keys and values, the one
// reader of the file's bytes, the writer, and the tree's invariant checker.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/WinReg.h"

// The registry's own limit of key levels below a root.
constexpr std::size_t RegistryMaxKeyDepth = 512;

struct TRegStoreValue {
    AnsiString Name;
    DWORD Type = REG_NONE;
    std::string Data;
};

struct TRegStoreKey {
    AnsiString Name;
    std::vector<TRegStoreKey> SubKeys;  // sorted by upper-case name
    std::vector<TRegStoreValue> Values; // in the order they were made

    TRegStoreKey* FindSubKey(const AnsiString& Name);
    TRegStoreKey& FindOrAddSubKey(const AnsiString& Name);
    bool RemoveSubKey(const AnsiString& Name);
    TRegStoreValue* FindValue(const AnsiString& Name);
};

// Every predefined root, each named after its handle.
struct TRegStoreTree {
    TRegStoreTree();
    std::map<HKEY, TRegStoreKey> Roots;
};

// What the reader made of a file: the tree, or why the bytes are no store
// file (Error not empty; the tree is then empty).
struct TRegStoreParse {
    TRegStoreTree Tree;
    AnsiString Error;
    bool Ok() const { return Error.empty(); }
};

// Reads the text of a store file. Empty or blank bytes are an empty store.
// Key and value names holding a NUL, keys more than RegistryMaxKeyDepth
// levels deep and lines that are neither comments, key headers nor values
// make the file damaged.
TRegStoreParse ParseRegistryStoreFile(std::string_view Bytes);

// The file's text. A key that only leads to deeper ones needs no header of
// its own, so the text grows with what the tree holds, not with its depth.
std::string WriteRegistryStoreFile(const TRegStoreTree& Tree);

// Empty when the tree keeps its rules (depth, names without NUL, sorted and
// unique sub-keys, unique value names), else the first broken rule.
AnsiString CheckRegistryStoreTree(const TRegStoreTree& Tree);

// A key name the store accepts: not empty, no NUL, no backslash.
bool IsValidRegistryKeyName(const AnsiString& Name);
