// Named mutexes, which mark that a process is alive: one process at a time
// holds a name. A mutex is an advisory lock (flock) on a file named after it
// in the user's private runtime folder, so it is released when its process
// ends, however it ends.
#pragma once

#include "platform/rtl/SysUtils.h"

enum class TMutexState {
    msCreated, // this process holds the mutex now
    msExisted, // another holder has it
    msFailed   // it could not be made (see Error)
};

class TNamedMutex {
public:
    // Creates the mutex Name, or finds it held already. Any character that
    // cannot stand in a file name becomes "_".
    explicit TNamedMutex(const AnsiString& Name);
    // Releases the mutex when this object holds it.
    ~TNamedMutex();
    TNamedMutex(const TNamedMutex&) = delete;
    TNamedMutex& operator=(const TNamedMutex&) = delete;

    TMutexState State() const { return FState; }
    const AnsiString& Error() const { return FError; }

private:
    TMutexState FState = TMutexState::msFailed;
    AnsiString FError;
    int FFile = -1;
};

// The folder that holds the mutexes' files, made with mode 0700 and checked
// to be the user's own: "tarvik" in $XDG_RUNTIME_DIR; without that variable,
// "tarvik-lock" in the user's cache folder ($XDG_CACHE_HOME, else ~/.cache)
// when only the user can write there, else "tarvik-lock-<uid>" in the
// temporary folder ($TMPDIR or /tmp). Empty when the folder chosen cannot be
// made or its name is taken by anything but such a folder. Tests point it at
// a folder of their own; an empty text ends that.
AnsiString MutexFolder();
void SetMutexFolderOverride(const AnsiString& Folder);
