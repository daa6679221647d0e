// Helpers shared by the tests: a private temporary folder, an environment
// variable set for a scope, and fresh database files copied from the pristine
// ones the build makes from the scripts in db/.
#pragma once

#include <optional>
#include <string>

// A folder made for one test and removed with everything in it afterwards.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;
    // With a trailing '/'.
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

// Sets an environment variable (or removes it, given no value) for one scope
// and puts the old value back.
class TEnvironmentValue {
public:
    TEnvironmentValue(const char* Name, const std::optional<std::string>& Value);
    ~TEnvironmentValue();
    TEnvironmentValue(const TEnvironmentValue&) = delete;
    TEnvironmentValue& operator=(const TEnvironmentValue&) = delete;

private:
    std::string FName;
    std::optional<std::string> FOld;
};

// The bytes of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& Name);

// Root of the source tree.
std::string SourceDir();

// Puts Luvora.FDB and Luvora_Data.FDB, as the scripts in db/ make them, into
// Folder (created when missing), replacing files of those names; fails the
// test on error. Each copy is a database of its own.
void CreateFreshDatabases(const std::string& Folder);

// Puts an empty database with the default character set WIN1251 at FileName;
// fails the test on error.
void CreateEmptyDatabase(const std::string& FileName);

// Runs db/create_databases.sh on Folder, as the build and run.sh do, so that
// a test sees what the script itself does to files already there; fails the
// test on error.
void RunCreateDatabasesScript(const std::string& Folder);
