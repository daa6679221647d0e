// Helpers shared by the tests: a private temporary folder and fresh database
// files made from the scripts in db/.
#pragma once

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

// Root of the source tree.
std::string SourceDir();

// Creates Luvora.FDB and Luvora_Data.FDB in Folder from the scripts in db/;
// fails the test on error.
void CreateFreshDatabases(const std::string& Folder);
