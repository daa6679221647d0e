// The in-memory clipboard of the tests.
#include "platform/testing/MemoryClipboard.h"

#include <utility>

TMemoryClipboard::TMemoryClipboard() : FPrevious(SetClipboardService(this)) {}

TMemoryClipboard::~TMemoryClipboard() {
    SetClipboardService(FPrevious);
}

bool TMemoryClipboard::GetContent(std::shared_ptr<IDataObject>& Data) {
    Data = Locked ? nullptr : FContent;
    return !Locked;
}

bool TMemoryClipboard::SetContent(std::shared_ptr<IDataObject> Data) {
    if (Locked) return false;
    ++Writes;
    // The earlier content goes only once the new one is in place: its
    // release may look at the clipboard.
    std::shared_ptr<IDataObject> earlier = std::exchange(FContent, std::move(Data));
    earlier.reset();
    return true;
}
