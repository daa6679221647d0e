// Writing settings to the registry store file: one value at a time, a list
// of n strings through the application storage, and reading a list back.
// The store file lives in a folder below the current directory, so the
// figures include the disk's sync, as a user's configuration folder would.
// Then the store at sizes beyond what the program writes: reading a file of
// n sibling keys in either order beside the key building the reader once
// did (each key inserted at its place among its siblings, names upper-cased
// at every comparison), and one write into a store of n values.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/rtl/StringLists.h"
#include "platform/win/RegistryFile.h"
#include "platform/win/WinReg.h"
#include "util/JvAppRegistryStorage.h"

namespace {

// A store file of its own for one benchmark, removed afterwards.
class TBenchStore {
public:
    TBenchStore() {
        char pattern[] = "registry-bench-XXXXXX";
        if (!::mkdtemp(pattern)) throw std::runtime_error("cannot create a folder");
        FFolder = std::filesystem::absolute(pattern).string();
        SetRegistryStoreFileOverride(FFolder + "/registry.reg");
    }
    ~TBenchStore() {
        SetRegistryStoreFileOverride("");
        std::error_code ec;
        std::filesystem::remove_all(FFolder, ec);
    }
    std::string File() const { return FFolder + "/registry.reg"; }

private:
    std::string FFolder;
};

void StoreOneInteger(benchmark::State& State) {
    TBenchStore store;
    TJvAppRegistryStorage storage(nullptr);
    storage.SetRoot("Software\\Tarvik\\Bench");
    int i = 0;
    for (auto _ : State) {
        storage.StoreInteger("Values\\V" + IntToStr(i % 64), i);
        ++i;
    }
}
BENCHMARK(StoreOneInteger)->Unit(benchmark::kMillisecond);

void StoreStringList(benchmark::State& State) {
    TBenchStore store;
    TJvAppRegistryStorage storage(nullptr);
    storage.SetRoot("Software\\Tarvik\\Bench");
    TStringList list;
    for (int i = 0; i < State.range(0); ++i)
        list.Add("item number " + IntToStr(i));
    for (auto _ : State)
        storage.StoreStringList("List", list);
    State.counters["values"] = double(State.range(0));
}
BENCHMARK(StoreStringList)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void FetchStringList(benchmark::State& State) {
    TBenchStore store;
    TJvAppRegistryStorage storage(nullptr);
    storage.SetRoot("Software\\Tarvik\\Bench");
    TStringList list;
    for (int i = 0; i < State.range(0); ++i)
        list.Add("item number " + IntToStr(i));
    storage.StoreStringList("List", list);
    for (auto _ : State) {
        TStringList back;
        storage.FetchStringList("List", back);
        benchmark::DoNotOptimize(back.Count());
    }
}
BENCHMARK(FetchStringList)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// A store file of Count sibling keys below one key, named in ascending or
// descending order, each with one value.
std::string SiblingKeys(int Count, bool Descending) {
    std::string text = "Windows Registry Editor Version 5.00\n";
    for (int i = 0; i < Count; ++i) {
        const int n = Descending ? Count - 1 - i : i;
        char name[32];
        std::snprintf(name, sizeof name, "key%08d", n);
        text += "\n[HKEY_CURRENT_USER\\Software\\Tarvik\\Bench\\";
        text += name;
        text += "]\n\"v\"=dword:00000001\n";
    }
    return text;
}

// The sibling names in the order the reader keeps them.
std::vector<AnsiString> SiblingNames(const TRegStoreTree& Tree) {
    std::vector<AnsiString> names;
    const TRegStoreKey* k = &Tree.Roots.at(HKEY_CURRENT_USER);
    for (const char* part : {"Software", "Tarvik", "Bench"}) {
        auto it = std::find_if(k->SubKeys.begin(), k->SubKeys.end(),
                               [&](const TRegStoreKey& s) { return SameText(s.Name, part); });
        if (it == k->SubKeys.end()) return names;
        k = &*it;
    }
    for (const TRegStoreKey& s : k->SubKeys)
        names.push_back(s.Name);
    return names;
}

// The peer: the reader's key building as it was, on the same lines: each
// header's keys found or inserted at their sorted place among their
// siblings, both names upper-cased at every comparison, and each value
// added to its key.
struct TOldKey {
    AnsiString Name;
    std::vector<TOldKey> SubKeys;
    std::vector<TRegStoreValue> Values;
};

TOldKey& OldFindOrAdd(TOldKey& Parent, const AnsiString& Name) {
    const AnsiString upper = AnsiUpperCase(Name);
    auto it =
        std::lower_bound(Parent.SubKeys.begin(), Parent.SubKeys.end(), upper,
                         [](const TOldKey& k, const AnsiString& u) { return AnsiUpperCase(k.Name) < u; });
    if (it != Parent.SubKeys.end() && AnsiUpperCase(it->Name) == upper) return *it;
    it = Parent.SubKeys.insert(it, TOldKey{});
    it->Name = Name;
    return *it;
}

std::vector<AnsiString> OldRead(const std::string& Text) {
    TOldKey root;
    TOldKey* current = nullptr;
    std::size_t pos = 0;
    while (pos < Text.size()) {
        std::size_t end = Text.find('\n', pos);
        if (end == std::string::npos) end = Text.size();
        const std::string line = Text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line[0] == '[') {
            const AnsiString path = Utf8ToAnsi(line.substr(1, line.size() - 2));
            current = &root;
            std::size_t start = path.find('\\') + 1; // after the root's name
            while (start <= path.size()) {
                const std::size_t stop = std::min(path.find('\\', start), path.size());
                current = &OldFindOrAdd(*current, path.substr(start, stop - start));
                start = stop + 1;
            }
        } else if (current && !line.empty() && line[0] == '"') {
            TRegStoreValue v;
            v.Name = line.substr(1, line.find('"', 1) - 1);
            v.Type = REG_DWORD;
            v.Data = std::string("\1\0\0\0", 4);
            current->Values.push_back(std::move(v));
        }
    }
    std::vector<AnsiString> names;
    const TOldKey* k = &root;
    for (const char* part : {"Software", "Tarvik", "Bench"}) {
        if (k->SubKeys.empty()) return names;
        k = &OldFindOrAdd(const_cast<TOldKey&>(*k), part);
    }
    for (const TOldKey& s : k->SubKeys)
        names.push_back(s.Name);
    return names;
}

// Reads Count sibling keys (range 0) in ascending (range 1 = 0) or
// descending order, beside the peer when range 2 is 1.
void ReadSiblingKeys(benchmark::State& State) {
    const int count = int(State.range(0));
    const std::string text = SiblingKeys(count, State.range(1) == 1);
    const bool withPeer = State.range(2) == 1;
    double reader = 0, peer = 0;
    for (auto _ : State) {
        const auto t0 = std::chrono::steady_clock::now();
        const TRegStoreParse read = ParseRegistryStoreFile(text);
        const auto t1 = std::chrono::steady_clock::now();
        std::vector<AnsiString> old;
        if (withPeer) old = OldRead(text);
        const auto t2 = std::chrono::steady_clock::now();
        reader += std::chrono::duration<double, std::milli>(t1 - t0).count();
        peer += std::chrono::duration<double, std::milli>(t2 - t1).count();
        const std::vector<AnsiString> names = SiblingNames(read.Tree);
        if (!read.Ok() || int(names.size()) != count || (withPeer && names != old)) {
            State.SkipWithError("the reader and its peer disagree");
            return;
        }
    }
    const double n = double(State.iterations());
    State.counters["reader_ms"] = reader / n;
    if (withPeer) {
        State.counters["peer_ms"] = peer / n;
        State.counters["ratio"] = peer > 0 ? reader / peer : 0;
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(text.size()));
}
BENCHMARK(ReadSiblingKeys)
    ->ArgsProduct({{10000, 40000}, {0, 1}, {1}})
    ->ArgsProduct({{1600000}, {0, 1}, {0}})
    ->ArgNames({"keys", "descending", "peer"})
    ->Unit(benchmark::kMillisecond);

// One value written into a store of range(0) values, read before the
// timing starts: each write rewrites and syncs the whole file. A store past
// the limit is put aside at the first write, and the label says so.
void StoreOneValueInALargeStore(benchmark::State& State) {
    TBenchStore store;
    {
        std::ofstream out(store.File(), std::ios::binary);
        out << "Windows Registry Editor Version "
               "5.00\n\n[HKEY_CURRENT_USER\\Software\\Tarvik\\Bench\\Filler]\n";
        for (int64_t i = 0; i < State.range(0); ++i)
            out << "\"value " << i << "\"=\"a setting of some length\"\n";
    }
    const double megabytes = double(std::filesystem::file_size(store.File())) / 1048576.0;
    TJvAppRegistryStorage storage(nullptr);
    storage.SetRoot("Software\\Tarvik\\Bench");
    int i = 0;
    storage.StoreInteger("Values\\V", i);
    for (auto _ : State)
        storage.StoreInteger("Values\\V", ++i);
    if (storage.FetchInteger("Values\\V", -1) != i) State.SkipWithError("the value was not written");
    State.counters["store_MB"] = megabytes;
    if (std::filesystem::file_size(store.File()) < 1024) State.SetLabel("put aside");
}
BENCHMARK(StoreOneValueInALargeStore)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
