// Clipboard formats by name, the clipboard seam, the clipboard object with
// its batches and stand-in text formats, and withdrawing a destroyed
// owner's content.
#include "platform/gui/Clipbrd.h"

#include <algorithm>
#include <vector>

#include "platform/gui/QtDataTransfer_p.h"
#include "platform/rtl/ScopeGuard.h"

namespace {
// Registered names get numbers from here on, as the platform numbers them.
constexpr unsigned FirstRegisteredFormat = 0xC000;
constexpr unsigned LastFormat = 0xFFFF;

std::vector<AnsiString>& RegisteredNames() {
    static std::vector<AnsiString> names;
    return names;
}

IClipboardService* gService = nullptr;

// Follows the component whose data object is on the clipboard and withdraws
// the content when the component goes before it. Never freed: a component
// destroyed late in the program's end still finds it.
class TClipboardOwnerWatch : public TComponent {
public:
    TClipboardOwnerWatch() : TComponent(nullptr) {}

    void Follow(TComponent* Owner, const std::shared_ptr<IDataObject>& Data) {
        if (FOwner) FOwner->RemoveFreeNotification(this);
        FOwner = Owner;
        FData = Data;
        if (FOwner) FOwner->FreeNotification(this);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation != TOperation::opRemove || AComponent != FOwner) return;
        FOwner = nullptr;
        std::shared_ptr<IDataObject> data = FData.lock();
        FData.reset();
        if (data && OleIsCurrentClipboard(data.get()) == S_OK) ClipboardService()->SetContent(nullptr);
    }

private:
    TComponent* FOwner = nullptr;
    std::weak_ptr<IDataObject> FData;
};

TClipboardOwnerWatch& OwnerWatch() {
    static auto* watch = new TClipboardOwnerWatch;
    return *watch;
}

// Plain text stands in for Unicode text and the other way round.
std::optional<TBytes> StandIn(IDataObject& Data, TClipFormat Format) {
    if (Format == CF_TEXT) {
        if (auto wide = GetDataBytes(Data, CF_UNICODETEXT))
            return TextBlock(WideToAnsi(UnicodeTextFromBlock(*wide)));
    } else if (Format == CF_UNICODETEXT) {
        if (auto text = GetDataBytes(Data, CF_TEXT))
            return UnicodeTextBlock(AnsiToWide(TextFromBlock(*text)));
    }
    return std::nullopt;
}

bool Offers(IDataObject& Data, TClipFormat Format) {
    return Data.QueryGetData(MakeFormatEtc(Format, TYMED_HGLOBAL | TYMED_ISTREAM)) == S_OK;
}

[[noreturn]] void RaiseCannotOpen() {
    throw EClipboardException("Cannot open clipboard");
}
} // namespace

TClipFormat RegisterClipboardFormat(const AnsiString& Name) {
    if (Name.empty()) return 0;
    auto& names = RegisteredNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], Name)) return TClipFormat(FirstRegisteredFormat + i);
    if (FirstRegisteredFormat + names.size() > LastFormat) return 0;
    names.push_back(Name);
    return TClipFormat(FirstRegisteredFormat + names.size() - 1);
}

AnsiString GetClipboardFormatName(TClipFormat Format) {
    const auto& names = RegisteredNames();
    if (Format < FirstRegisteredFormat || Format - FirstRegisteredFormat >= names.size()) return {};
    return names[Format - FirstRegisteredFormat];
}

IClipboardService* SetClipboardService(IClipboardService* Service) {
    IClipboardService* old = gService;
    gService = Service;
    return old;
}

IClipboardService* ClipboardService() {
    return gService ? gService : QtClipboardService();
}

HRESULT OleSetClipboard(std::shared_ptr<IDataObject> Data, TComponent* Owner) {
    try {
        Clipboard()->SetDataObject(std::move(Data), Owner);
        return S_OK;
    } catch (const EClipboardException&) {
        return CLIPBRD_E_CANT_OPEN;
    }
}

HRESULT OleGetClipboard(std::shared_ptr<IDataObject>& Data) {
    Data = nullptr;
    if (!ClipboardService()->GetContent(Data)) return CLIPBRD_E_CANT_OPEN;
    if (!Data) Data = std::make_shared<TBlockDataObject>();
    return S_OK;
}

HRESULT OleFlushClipboard() {
    std::shared_ptr<IDataObject> content;
    if (!ClipboardService()->GetContent(content)) return CLIPBRD_E_CANT_OPEN;
    if (!content || dynamic_cast<TBlockDataObject*>(content.get())) return S_OK;
    auto flushed = std::make_shared<TBlockDataObject>();
    for (const FORMATETC& f : OfferedFormats(*content))
        if (auto bytes = GetDataBytes(*content, f.cfFormat)) flushed->SetBlock(f.cfFormat, std::move(*bytes));
    content.reset();
    OwnerWatch().Follow(nullptr, nullptr);
    return ClipboardService()->SetContent(std::move(flushed)) ? S_OK : CLIPBRD_E_CANT_OPEN;
}

HRESULT OleIsCurrentClipboard(const IDataObject* Data) {
    std::shared_ptr<IDataObject> content;
    return Data && ClipboardService()->GetContent(content) && content.get() == Data ? S_OK : S_FALSE;
}

// TClipboard

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

void TClipboard::Open() {
    ++FOpenCount;
}

void TClipboard::Close() {
    if (FOpenCount == 0 || --FOpenCount > 0) return;
    if (std::shared_ptr<TBlockDataObject> batch = std::move(FBatch))
        Publish(batch->Empty() ? nullptr : std::move(batch), nullptr);
}

void TClipboard::Clear() {
    Open();
    TScopeGuard close([this] { Close(); });
    FBatch = std::make_shared<TBlockDataObject>();
}

TBlockDataObject& TClipboard::Batch() {
    if (!FBatch) FBatch = std::make_shared<TBlockDataObject>();
    return *FBatch;
}

std::shared_ptr<IDataObject> TClipboard::Content() {
    if (FBatch) return FBatch;
    std::shared_ptr<IDataObject> content;
    if (!ClipboardService()->GetContent(content)) RaiseCannotOpen();
    return content;
}

void TClipboard::Publish(std::shared_ptr<IDataObject> Data, TComponent* Owner) {
    if (!ClipboardService()->SetContent(Data)) RaiseCannotOpen();
    OwnerWatch().Follow(Data ? Owner : nullptr, Data);
}

bool TClipboard::HasFormat(TClipFormat Format) {
    std::shared_ptr<IDataObject> content = Content();
    if (!content) return false;
    if (Offers(*content, Format)) return true;
    if (Format == CF_TEXT) return Offers(*content, CF_UNICODETEXT);
    if (Format == CF_UNICODETEXT) return Offers(*content, CF_TEXT);
    return false;
}

std::vector<TClipFormat> TClipboard::Formats() {
    std::vector<TClipFormat> formats;
    std::shared_ptr<IDataObject> content = Content();
    if (!content) return formats;
    auto has = [&](TClipFormat f) { return std::find(formats.begin(), formats.end(), f) != formats.end(); };
    for (const FORMATETC& f : OfferedFormats(*content))
        if (!has(f.cfFormat)) formats.push_back(f.cfFormat);
    if (has(CF_TEXT) != has(CF_UNICODETEXT)) formats.push_back(has(CF_TEXT) ? CF_UNICODETEXT : CF_TEXT);
    return formats;
}

HGLOBAL TClipboard::GetAsHandle(TClipFormat Format) {
    std::shared_ptr<IDataObject> content = Content();
    if (!content) return nullptr;
    std::optional<TBytes> bytes = GetDataBytes(*content, Format);
    if (!bytes) bytes = StandIn(*content, Format);
    return bytes ? GlobalBlock(bytes->data(), bytes->size()) : nullptr;
}

void TClipboard::SetAsHandle(TClipFormat Format, const HGLOBAL& Block) {
    SetBlock(Format, Block ? *Block : TBytes{});
}

void TClipboard::SetBlock(TClipFormat Format, TBytes Block) {
    Open();
    TScopeGuard close([this] { Close(); });
    Batch().SetBlock(Format, std::move(Block));
}

AnsiString TClipboard::AsText() {
    HGLOBAL block = GetAsHandle(CF_TEXT);
    return block ? TextFromBlock(*block) : AnsiString();
}

void TClipboard::SetAsText(const AnsiString& Value) {
    SetBlock(CF_TEXT, TextBlock(Value));
}

std::shared_ptr<IDataObject> TClipboard::DataObject() {
    std::shared_ptr<IDataObject> content = Content();
    return content ? content : std::make_shared<TBlockDataObject>();
}

void TClipboard::SetDataObject(std::shared_ptr<IDataObject> Data, TComponent* Owner) {
    FBatch = nullptr;
    Publish(std::move(Data), Owner);
}
