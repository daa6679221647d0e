// Fuzz target of the registry store file's reader: whatever the bytes, the
// reader gives a tree that keeps its rules or an error; a tree it gives is
// written in a text no larger than a few times the input, which reads back
// to the same tree.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/win/RegistryFile.h"

namespace {
[[noreturn]] void Broken(const char* Rule, const AnsiString& Detail = AnsiString()) {
    std::fprintf(stderr, "registry store file: %s %s\n", Rule, Detail.c_str());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    const TRegStoreParse read = ParseRegistryStoreFile(bytes);
    if (AnsiString broken = CheckRegistryStoreTree(read.Tree); !broken.empty())
        Broken("tree rule broken:", broken);
    if (!read.Ok()) {
        static const std::string empty = WriteRegistryStoreFile(TRegStoreTree());
        if (WriteRegistryStoreFile(read.Tree) != empty) Broken("a tree beside an error:", read.Error);
        return 0;
    }
    const std::string text = WriteRegistryStoreFile(read.Tree);
    // Every header and value written comes from a line of the input.
    if (text.size() > 4 * Size + 128) Broken("written text too large");
    const TRegStoreParse again = ParseRegistryStoreFile(text);
    if (!again.Ok()) Broken("written text does not read back:", again.Error);
    if (WriteRegistryStoreFile(again.Tree) != text) Broken("written text reads back to another tree");
    return 0;
}
