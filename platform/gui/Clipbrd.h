// The clipboard: formats registered by name, the clipboard seam with its Qt
// implementation, the clipboard object that reads and writes format blocks
// and text, and the data-object clipboard with its owners.
#pragma once

#include <memory>

#include "platform/gui/DataObject.h"

class TComponent;

// A format number for Name, the same for the same name whatever its letter
// case, as long as the process runs; 0 for an empty name.
TClipFormat RegisterClipboardFormat(const AnsiString& Name);
// The name Format was registered under; empty for the predefined formats and
// numbers never handed out.
AnsiString GetClipboardFormatName(TClipFormat Format);

class EClipboardException : public Exception {
public:
    using Exception::Exception;
};

// The clipboard seam: the system clipboard holds one data object at a
// time. The layer installs a Qt implementation; tests install the
// in-memory one of platform/testing.
class IClipboardService {
public:
    virtual ~IClipboardService() = default;
    // The content now, nullptr when the clipboard is empty; false when the
    // clipboard cannot be opened.
    virtual bool GetContent(std::shared_ptr<IDataObject>& Data) = 0;
    // Replaces the content, releasing the one before; nullptr empties the
    // clipboard. False when the clipboard cannot be opened.
    virtual bool SetContent(std::shared_ptr<IDataObject> Data) = 0;
};
// Installs a service and returns the one it replaces (nullptr: the Qt one).
IClipboardService* SetClipboardService(IClipboardService* Service);
IClipboardService* ClipboardService();

// Puts Data on the clipboard; its formats are rendered when a reader asks.
// When Owner is given and is destroyed while Data is still on the
// clipboard, the content is withdrawn (the clipboard is emptied).
HRESULT OleSetClipboard(std::shared_ptr<IDataObject> Data, TComponent* Owner = nullptr);
// The clipboard's content; an empty clipboard gives an object with no
// formats.
HRESULT OleGetClipboard(std::shared_ptr<IDataObject>& Data);
// Renders every format of the content into memory, so that it no longer
// needs its source.
HRESULT OleFlushClipboard();
// S_OK when Data is the clipboard's content now, else S_FALSE.
HRESULT OleIsCurrentClipboard(const IDataObject* Data);

// The clipboard object: format blocks and text. Writes made between Open
// and the last Close reach the clipboard together, as one content; the
// first write of such a batch replaces what was there. A write outside a
// batch is a batch of its own. Plain text and Unicode text stand in for
// each other when only one of them is there. Raises EClipboardException
// when the clipboard cannot be opened.
class TClipboard {
public:
    void Open();
    void Close();
    // Empties the clipboard (inside a batch: the batch starts from nothing).
    void Clear();
    bool HasFormat(TClipFormat Format);
    // The formats there, in the content's order.
    std::vector<TClipFormat> Formats();
    // A copy of the block of Format; nullptr when there is none.
    HGLOBAL GetAsHandle(TClipFormat Format);
    void SetAsHandle(TClipFormat Format, const HGLOBAL& Block);
    void SetBlock(TClipFormat Format, TBytes Block);
    // Plain text: CP1251, without its terminating zero.
    AnsiString AsText();
    void SetAsText(const AnsiString& Value);
    // The content as a data object (OleGetClipboard and OleSetClipboard).
    std::shared_ptr<IDataObject> DataObject();
    void SetDataObject(std::shared_ptr<IDataObject> Data, TComponent* Owner = nullptr);

private:
    std::shared_ptr<IDataObject> Content();
    // The batch being written, started on first need.
    TBlockDataObject& Batch();
    void Publish(std::shared_ptr<IDataObject> Data, TComponent* Owner);

    int FOpenCount = 0;
    std::shared_ptr<TBlockDataObject> FBatch;
    bool FBatchCleared = false;
};
TClipboard* Clipboard();
