// The clipboard of the tests: a data object held in memory, seen by no
// other program.
#pragma once

#include "platform/gui/Clipbrd.h"

// Installs itself for its lifetime. While Locked, the clipboard cannot be
// opened (another program holds it) and every access fails.
class TMemoryClipboard : public IClipboardService {
public:
    TMemoryClipboard();
    ~TMemoryClipboard() override;
    bool GetContent(std::shared_ptr<IDataObject>& Data) override;
    bool SetContent(std::shared_ptr<IDataObject> Data) override;

    bool Locked = false;
    // How many times the content was replaced or emptied.
    int Writes = 0;

private:
    std::shared_ptr<IDataObject> FContent;
    IClipboardService* FPrevious;
};
