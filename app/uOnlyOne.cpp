// The single-instance guard over the platform's named mutex.
#include "app/uOnlyOne.h"

#include <memory>

#include "platform/win/Mutex.h"

namespace {
// The single-instance handle: none until a mutex is taken; closed with the
// program.
std::unique_ptr<TNamedMutex> gInstance;
} // namespace

AnsiString MakeMutexName(const AnsiString& Name) {
    AnsiString result = Name;
    for (char& c : result)
        if (c == '\\') c = '_';
    return result;
}

bool IsFirstInstance(const AnsiString& Name) {
    auto mutex = std::make_unique<TNamedMutex>(MakeMutexName(Name));
    switch (mutex->State()) {
    case TMutexState::msCreated:
        gInstance = std::move(mutex);
        return true;
    case TMutexState::msExisted:
        return false;
    case TMutexState::msFailed:
        break;
    }
    throw EInstanceGuardError(
        "Не удалось проверить, не запущена ли уже программа, поэтому она не запускается."_cp + "\n" +
        mutex->Error());
}

void CloseInstanceHandle() {
    gInstance.reset();
}
