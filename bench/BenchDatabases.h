// What the benchmarks on database files share: a private folder holding
// copies of the database files the build made.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

// Makes a temporary folder named after Prefix with copies of Luvora.FDB and
// Luvora_Data.FDB of DbDir in its "DB" folder. Answers the folder; empty,
// with the reason in Error, when that fails.
inline std::filesystem::path CopyBuildDatabases(const char* Prefix, const std::filesystem::path& DbDir,
                                                std::string& Error) {
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / (std::string(Prefix) + "-XXXXXX")).string();
    if (!::mkdtemp(folder.data())) {
        Error = "cannot make a temporary folder";
        return {};
    }
    std::error_code ec;
    fs::create_directory(fs::path(folder) / "DB", ec);
    for (const char* name : {"Luvora.FDB", "Luvora_Data.FDB"})
        fs::copy_file(DbDir / name, fs::path(folder) / "DB" / name, ec);
    if (ec) {
        Error = "no database files in " + DbDir.string() + ": build the target databases";
        fs::remove_all(folder, ec);
        return {};
    }
    return folder;
}
