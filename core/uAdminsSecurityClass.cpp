#include "core/uAdminsSecurityClass.h"

#include "core/DataMod.h"

TAdminsSecurity::TAdminsSecurity() : Cipher(std::make_unique<TJvCaesarCipher>(nullptr)) {}

TAdminsSecurity::~TAdminsSecurity() = default;

AnsiString TAdminsSecurity::GetPassword() const {
    Cipher->Encoded = EncodedPassword;
    return Cipher->Decoded();
}

void TAdminsSecurity::SetPassword(const AnsiString& Plain) {
    Cipher->SetDecoded(Plain);
    EncodedPassword = Cipher->Encoded;
}

bool TAdminsSecurity::LoadPassword() {
    AnsiString stored;
    if (!Main_DataModule->ReadPsyPassword(stored)) return false;
    EncodedPassword = stored;
    FStoredPassword = stored;
    return true;
}

bool TAdminsSecurity::SavePassword() {
    bool written = false;
    try {
        written = Main_DataModule->WritePsyPassword(EncodedPassword);
    } catch (...) {
        // Not even a write could start: the old password stays in force and
        // the error goes on to the caller.
        RestoreStoredPassword();
        throw;
    }
    if (written) {
        FStoredPassword = EncodedPassword;
        return true;
    }
    // The data module has shown the error; the write changed nothing.
    RestoreStoredPassword();
    return false;
}

void TAdminsSecurity::RestoreStoredPassword() {
    // The password in the database stays in force. Ask the database for it,
    // as it may never have been loaded; when it cannot answer, take the one
    // last stored or loaded here.
    AnsiString inForce = FStoredPassword;
    try {
        AnsiString stored;
        inForce = Main_DataModule->ReadPsyPassword(stored) ? stored : AnsiString();
    } catch (const std::exception&) {
    }
    EncodedPassword = inForce;
    FStoredPassword = inForce;
}
