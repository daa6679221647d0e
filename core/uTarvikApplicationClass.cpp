// The application object: its options and the psychologist password, loaded
// together.
#include "core/uTarvikApplicationClass.h"

TTarvikApplication::TTarvikApplication()
    : Options(std::make_unique<TApplicationOptions>()), Security(std::make_unique<TAdminsSecurity>()) {}

TTarvikApplication::~TTarvikApplication() = default;

void TTarvikApplication::LoadSettings() {
    Options->Load();
    Security->LoadPassword();
}
