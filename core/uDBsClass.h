// The list of logical databases, with their passwords in plain text: the
// data module stores them scrambled.
#pragma once

#include <memory>

#include "core/DataMod.h"
#include "util/JvCipher.h"

class TListDatabases : public TObject {
public:
    // Opens the data module's database list when it is closed.
    TListDatabases();
    // Closes the list.
    ~TListDatabases() override;

    // Fills Database from the row DbId of the open list; false, with the
    // name and password unchanged, when the list has no such row.
    bool ReadDatabase(int32_t DbId, TDatabase& Database);
    // The new DB_ID, or -1 when the insert failed.
    int32_t AddDatabase(const TDatabase& Database);
    // Database.DB_ID, or -1.
    int32_t UpdateDatabase(const TDatabase& Database);
    // DbId, or -1.
    int32_t DeleteDatabase(int32_t DbId);
    // Reopens the list and moves to DbId; false for -1 or a missing row.
    bool Refresh(int32_t DbId);

    TIBQuery* Dataset;
    std::unique_ptr<TJvCaesarCipher> Cipher;

private:
    AnsiString Encode(const AnsiString& Plain);
};
