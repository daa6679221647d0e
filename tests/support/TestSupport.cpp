#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>

TTempFolder::TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "luvora-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    FPath = pattern + "/";
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

std::string SourceDir() {
    if (const char* dir = std::getenv("LUVORA_SOURCE_DIR")) return dir;
    return LUVORA_SOURCE_DIR_DEFAULT;
}

void CreateFreshDatabases(const std::string& Folder) {
    std::string command = "'" + SourceDir() + "/db/create_databases.sh' '" + Folder + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << "could not create the database files in " << Folder;
}
