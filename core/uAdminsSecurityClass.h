// The psychologist password: kept scrambled, as the main database holds it.
#pragma once

#include <memory>

#include "util/JvCipher.h"

class TAdminsSecurity : public TObject {
public:
    TAdminsSecurity();
    ~TAdminsSecurity() override;

    // The plain password; empty when none is kept.
    AnsiString GetPassword() const;
    void GetPassword(AnsiString& Password) const { Password = GetPassword(); }
    // Keeps Plain, scrambled, in memory only; SavePassword stores it.
    void SetPassword(const AnsiString& Plain);
    // Takes the stored password; false, with nothing changed, when there is
    // no stored row.
    bool LoadPassword();
    // Stores the kept password. When the write fails (the data module has
    // shown the error), the password the database holds is put back in
    // force and the result is false; when the write cannot even start, the
    // same happens and the error is raised on.
    bool SavePassword();

    // The scrambled password, exactly as ADMINSPASSWORD.PSY_PASSWORD holds it.
    AnsiString EncodedPassword;
    std::unique_ptr<TJvCaesarCipher> Cipher;

private:
    void RestoreStoredPassword();
    // What the database holds, as far as this object knows.
    AnsiString FStoredPassword;
};
