// Writing settings to the registry store file: one value at a time, a list
// of n strings through the application storage, and reading a list back.
// The store file lives in a folder below the current directory, so the
// figures include the disk's sync, as a user's configuration folder would.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "platform/rtl/StringLists.h"
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

} // namespace

BENCHMARK_MAIN();
