// The shared test helpers: temporary folders, environment values for a scope,
// the source root and copies of the pristine database files.
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The pristine files were made by the build when this stamp was written.
const char* const kFixtureStamp = ".made";

fs::path FixtureDir() {
    return LUVORA_DB_FIXTURE_DIR_DEFAULT;
}

// Fails the test when the pristine files are missing or older than a script
// they are made from: a test must never pass on a schema that is gone.
void CheckFixture() {
    std::error_code ec;
    const fs::file_time_type made = fs::last_write_time(FixtureDir() / kFixtureStamp, ec);
    ASSERT_FALSE(ec) << "no pristine database files in " << FixtureDir()
                     << ": build the tests (cmake --build) first";
    std::vector<fs::path> scripts = {fs::path(SourceDir()) / "tests/support/make_db_fixture.sh"};
    for (const fs::directory_entry& e : fs::directory_iterator(fs::path(SourceDir()) / "db"))
        if (e.path().extension() == ".sql" || e.path().extension() == ".sh") scripts.push_back(e.path());
    for (const fs::path& script : scripts)
        ASSERT_TRUE(fs::last_write_time(script) <= made)
            << script << " changed since the tests' database files were made: build the tests again";
}

void CopyFixtureFile(const char* Name, const fs::path& Target) {
    ASSERT_NO_FATAL_FAILURE(CheckFixture());
    std::error_code ec;
    fs::copy_file(FixtureDir() / Name, Target, fs::copy_options::overwrite_existing, ec);
    ASSERT_FALSE(ec) << "could not copy " << Name << " to " << Target << ": " << ec.message();
}

} // namespace

TTempFolder::TTempFolder() {
    std::string pattern = (fs::temp_directory_path() / "luvora-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    FPath = pattern + "/";
}

TTempFolder::~TTempFolder() {
    std::error_code ec;
    fs::remove_all(FPath, ec);
}

TEnvironmentValue::TEnvironmentValue(const char* Name, const std::optional<std::string>& Value)
    : FName(Name) {
    if (const char* old = std::getenv(Name)) FOld = old;
    if (Value)
        ::setenv(Name, Value->c_str(), 1);
    else
        ::unsetenv(Name);
}

TEnvironmentValue::~TEnvironmentValue() {
    if (FOld)
        ::setenv(FName.c_str(), FOld->c_str(), 1);
    else
        ::unsetenv(FName.c_str());
}

std::string ReadFileBytes(const std::string& Name) {
    std::ifstream in(Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string SourceDir() {
    if (const char* dir = std::getenv("LUVORA_SOURCE_DIR")) return dir;
    return LUVORA_SOURCE_DIR_DEFAULT;
}

void CreateFreshDatabases(const std::string& Folder) {
    std::error_code ec;
    fs::create_directories(Folder, ec);
    ASSERT_FALSE(ec) << "could not create " << Folder << ": " << ec.message();
    for (const char* name : {"Luvora.FDB", "Luvora_Data.FDB"})
        ASSERT_NO_FATAL_FAILURE(CopyFixtureFile(name, fs::path(Folder) / name));
}

void CreateEmptyDatabase(const std::string& FileName) {
    CopyFixtureFile("Empty.FDB", FileName);
}

void RunCreateDatabasesScript(const std::string& Folder) {
    std::string command = "'" + SourceDir() + "/db/create_databases.sh' '" + Folder + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << "could not create the database files in " << Folder;
}
