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
    if (!Main_DataModule->WritePsyPassword(EncodedPassword)) {
        EncodedPassword = FStoredPassword;
        return false;
    }
    FStoredPassword = EncodedPassword;
    return true;
}
