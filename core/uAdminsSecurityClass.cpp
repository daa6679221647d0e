// The psychologist password, scrambled, and its round trip through the main
// database.
#include "core/uAdminsSecurityClass.h"

#include "core/DataMod.h"
#include "platform/rtl/ScopeGuard.h"

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
    // Unless the write succeeds the old password stays in force: when the
    // data module has shown the error, and when not even a write could start
    // and the error goes on to the caller.
    TScopeGuard restore([this] { RestoreStoredPassword(); });
    if (!Main_DataModule->WritePsyPassword(EncodedPassword)) return false;
    restore.Dismiss();
    FStoredPassword = EncodedPassword;
    return true;
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
