// The process-wide application object: the user's options and the
// psychologist password.
#pragma once

#include <memory>

#include "core/uAdminsSecurityClass.h"
#include "core/uOptionsClass.h"

class TTarvikApplication : public TObject {
public:
    TTarvikApplication();
    ~TTarvikApplication() override;

    // The options from the registry, then the password from the main
    // database; runs once the data module is connected.
    void LoadSettings();

    std::unique_ptr<TApplicationOptions> Options;
    std::unique_ptr<TAdminsSecurity> Security;
};
