// The ICU libraries the database engine loads come from the folder of the
// ICU this process holds already (the toolkit's), not from a search of every
// library folder for every name the engine tries.
//
// When the engine starts it looks for ICU with dlopen on each version from
// 4.0 up, three names a version ("libicuuc.so.4", "libicuuc.so.4_19",
// "libicuuc.so.419" ...): some 470 names before it meets the installed one.
// For each bare name the dynamic loader maps and unmaps its cache and tries
// some twenty folders, and the unmaps interrupt every processor the program
// runs on: most of a second of the program's start on a busy machine.
// Handing the engine each name inside the ICU folder costs one failed open
// a name, and finds what the search would find there.
#include "platform/db/IBIcu.h"

#include <dlfcn.h>
#include <link.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

namespace {

// The prefixes of the ICU libraries the engine asks for.
constexpr const char* kIcuNames[] = {"libicuuc.so.", "libicui18n.so."};

std::atomic<long> gRedirected{0};
// Set once, before the engine first loads; never freed.
std::atomic<const std::string*> gIcuFolder{nullptr};

bool IsIcuName(const char* File) {
    for (const char* prefix : kIcuNames)
        if (std::strncmp(File, prefix, std::strlen(prefix)) == 0) return true;
    return false;
}

// The folder, with a trailing "/", of the ICU common library loaded in this
// process; empty when none is.
std::string LoadedIcuFolder() {
    std::string folder;
    dl_iterate_phdr(
        [](dl_phdr_info* Info, size_t, void* Data) {
            const char* name = Info->dlpi_name;
            const char* slash = name ? std::strrchr(name, '/') : nullptr;
            if (!slash || std::strncmp(slash + 1, kIcuNames[0], std::strlen(kIcuNames[0])) != 0) return 0;
            static_cast<std::string*>(Data)->assign(name, std::size_t(slash - name + 1));
            return 1;
        },
        &folder);
    return folder;
}

using TDlopen = void* (*)(const char*, int);

// Looked up without a lock of ours: a thread that holds the loader's lock
// may call dlopen too, and must never wait here for one that waits for it.
TDlopen RealDlopen() {
    static std::atomic<TDlopen> real{nullptr};
    TDlopen found = real.load(std::memory_order_acquire);
    if (!found) {
        found = reinterpret_cast<TDlopen>(dlsym(RTLD_NEXT, "dlopen"));
        real.store(found, std::memory_order_release);
    }
    return found;
}

} // namespace

void UseLoadedIcuForEngine() {
    static std::once_flag once;
    std::call_once(once, [] {
        std::string folder = LoadedIcuFolder();
        if (!folder.empty()) gIcuFolder = new std::string(std::move(folder));
    });
}

long IcuNamesLookedUpInPlace() {
    return gRedirected.load();
}

// Takes the place of the C library's dlopen for the whole process; every
// other name goes on to it unchanged.
extern "C" void* dlopen(const char* File, int Mode) {
    const std::string* folder = gIcuFolder.load();
    if (folder && File && !std::strchr(File, '/') && IsIcuName(File)) {
        ++gRedirected;
        return RealDlopen()((*folder + File).c_str(), Mode);
    }
    return RealDlopen()(File, Mode);
}
