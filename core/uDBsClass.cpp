// The list of logical databases over the data module, scrambling and
// unscrambling their passwords.
#include "core/uDBsClass.h"

TListDatabases::TListDatabases()
    : Dataset(Main_DataModule->DB_IBQuery), Cipher(std::make_unique<TJvCaesarCipher>(nullptr)) {
    if (!Dataset->Active()) Dataset->Open();
}

TListDatabases::~TListDatabases() {
    try {
        if (Dataset->Active()) Dataset->Close();
    } catch (const std::exception&) {
        // Closing only ends a read-only look at the list.
    }
}

AnsiString TListDatabases::Encode(const AnsiString& Plain) {
    Cipher->SetDecoded(Plain);
    return Cipher->Encoded;
}

bool TListDatabases::ReadDatabase(int32_t DbId, TDatabase& Database) {
    AnsiString name = Database.DB_NAME;
    AnsiString stored;
    if (!Main_DataModule->GetDatabase(DbId, name, stored)) return false;
    Database.DB_ID = DbId;
    Database.DB_NAME = name;
    Cipher->Encoded = stored;
    Database.DB_PASSWORD = Cipher->Decoded();
    return true;
}

int32_t TListDatabases::AddDatabase(const TDatabase& Database) {
    return Main_DataModule->ApplyDatabase(akInsert, -1, Database.DB_NAME, Encode(Database.DB_PASSWORD));
}

int32_t TListDatabases::UpdateDatabase(const TDatabase& Database) {
    return Main_DataModule->ApplyDatabase(akUpdate, Database.DB_ID, Database.DB_NAME,
                                          Encode(Database.DB_PASSWORD));
}

int32_t TListDatabases::DeleteDatabase(int32_t DbId) {
    return Main_DataModule->ApplyDatabase(akDelete, DbId, "", "");
}

bool TListDatabases::Refresh(int32_t DbId) {
    return Main_DataModule->OpenDatabases(DbId);
}
