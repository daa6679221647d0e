// Global blocks and their streams, storage media, the format enumerator, the
// in-memory data object and the checked readers of format blocks.
#include "platform/gui/DataObject.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
constexpr std::size_t SizePrefix = 4;

// A stream over a shared block: writing past the end grows the block.
class TGlobalStream : public TStream {
public:
    explicit TGlobalStream(HGLOBAL Block) : FBlock(std::move(Block)) {}

    int64_t Read(void* Buffer, int64_t Count) override {
        int64_t left = std::max<int64_t>(0, int64_t(FBlock->size()) - FPosition);
        int64_t n = std::clamp<int64_t>(Count, 0, left);
        if (n > 0) std::memcpy(Buffer, FBlock->data() + FPosition, std::size_t(n));
        FPosition += n;
        return n;
    }
    int64_t Write(const void* Buffer, int64_t Count) override {
        if (Count <= 0) return 0;
        try {
            if (FPosition + Count > int64_t(FBlock->size())) FBlock->resize(std::size_t(FPosition + Count));
        } catch (const std::exception&) {
            return 0; // out of memory: nothing written, as the caller sees
        }
        std::memcpy(FBlock->data() + FPosition, Buffer, std::size_t(Count));
        FPosition += Count;
        return Count;
    }
    int64_t Seek(int64_t Offset, int Origin) override {
        int64_t base = Origin == soBeginning ? 0
                       : Origin == soCurrent ? FPosition
                       : Origin == soEnd     ? int64_t(FBlock->size())
                                             : -1;
        if (base >= 0 && base + Offset >= 0) FPosition = base + Offset;
        return FPosition;
    }
    void SetSize(int64_t NewSize) override {
        if (NewSize < 0) return;
        FBlock->resize(std::size_t(NewSize));
        FPosition = std::min(FPosition, NewSize);
    }

private:
    HGLOBAL FBlock;
    int64_t FPosition = 0;
};
} // namespace

HGLOBAL GlobalAlloc(unsigned, std::size_t Bytes) {
    try {
        return std::make_shared<TBytes>(Bytes, uint8_t(0));
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
}

std::size_t GlobalSize(const HGLOBAL& Block) {
    return Block ? Block->size() : 0;
}

HGLOBAL GlobalBlock(const void* Data, std::size_t Size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, Size);
    if (block && Size) std::memcpy(block->data(), Data, Size);
    return block;
}

std::shared_ptr<TStream> CreateStreamOnHGlobal(HGLOBAL Block) {
    if (!Block) Block = std::make_shared<TBytes>();
    return std::make_shared<TGlobalStream>(std::move(Block));
}

void ReleaseStgMedium(STGMEDIUM& Medium) {
    Medium = STGMEDIUM{};
}

// IDataObject defaults

HRESULT IDataObject::GetDataHere(const FORMATETC&, STGMEDIUM&) {
    return E_NOTIMPL;
}

HRESULT IDataObject::GetCanonicalFormatEtc(const FORMATETC& In, FORMATETC& Out) {
    Out = In;
    Out.ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT IDataObject::SetData(const FORMATETC&, STGMEDIUM&, bool) {
    return E_NOTIMPL;
}

// TEnumFormatEtcList

HRESULT TEnumFormatEtcList::Next(uint32_t Count, FORMATETC* Records, uint32_t* Fetched) {
    std::size_t n = std::min<std::size_t>(Count, FRecords.size() - std::min(FIndex, FRecords.size()));
    if (n > 0 && !Records) return E_INVALIDARG;
    for (std::size_t i = 0; i < n; ++i)
        Records[i] = FRecords[FIndex + i];
    FIndex += n;
    if (Fetched) *Fetched = uint32_t(n);
    return n > 0 ? S_OK : S_FALSE;
}

HRESULT TEnumFormatEtcList::Skip(uint32_t Count) {
    if (FIndex + Count > FRecords.size()) return S_FALSE;
    FIndex += Count;
    return S_OK;
}

HRESULT TEnumFormatEtcList::Reset() {
    FIndex = 0;
    return S_OK;
}

HRESULT TEnumFormatEtcList::Clone(std::shared_ptr<IEnumFORMATETC>& Enum) {
    Enum = std::make_shared<TEnumFormatEtcList>(FRecords, FIndex);
    return S_OK;
}

// TBlockDataObject

void TBlockDataObject::SetBlock(TClipFormat Format, TBytes Block) {
    for (auto& [format, block] : FBlocks)
        if (format == Format) {
            block = std::move(Block);
            return;
        }
    FBlocks.emplace_back(Format, std::move(Block));
}

const TBytes* TBlockDataObject::Block(TClipFormat Format) const {
    for (const auto& [format, block] : FBlocks)
        if (format == Format) return &block;
    return nullptr;
}

std::vector<TClipFormat> TBlockDataObject::Formats() const {
    std::vector<TClipFormat> formats;
    for (const auto& entry : FBlocks)
        formats.push_back(entry.first);
    return formats;
}

HRESULT TBlockDataObject::QueryGetData(const FORMATETC& FormatEtc) {
    if (!Block(FormatEtc.cfFormat)) return DV_E_FORMATETC;
    if (FormatEtc.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (FormatEtc.lindex != -1) return DV_E_LINDEX;
    if (!(FormatEtc.tymed & (TYMED_HGLOBAL | TYMED_ISTREAM))) return DV_E_TYMED;
    return S_OK;
}

HRESULT TBlockDataObject::GetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium) {
    Medium = STGMEDIUM{};
    if (HRESULT r = QueryGetData(FormatEtcIn); r != S_OK) return r;
    const TBytes* block = Block(FormatEtcIn.cfFormat);
    HGLOBAL copy = GlobalBlock(block->data(), block->size());
    if (!copy) return E_OUTOFMEMORY;
    if (FormatEtcIn.tymed & TYMED_HGLOBAL) {
        Medium.tymed = TYMED_HGLOBAL;
        Medium.hGlobal = std::move(copy);
    } else {
        Medium.tymed = TYMED_ISTREAM;
        Medium.pstm = CreateStreamOnHGlobal(std::move(copy));
    }
    return S_OK;
}

HRESULT TBlockDataObject::SetData(const FORMATETC& FormatEtc, STGMEDIUM& Medium, bool) {
    if (FormatEtc.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    std::optional<TBytes> bytes = MediumBytes(Medium);
    if (!bytes) return DV_E_TYMED;
    SetBlock(FormatEtc.cfFormat, std::move(*bytes));
    return S_OK;
}

HRESULT TBlockDataObject::EnumFormatEtc(uint32_t Direction, std::shared_ptr<IEnumFORMATETC>& Enum) {
    Enum = nullptr;
    if (Direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> records;
    for (const auto& entry : FBlocks)
        records.push_back(MakeFormatEtc(entry.first));
    Enum = std::make_shared<TEnumFormatEtcList>(std::move(records));
    return S_OK;
}

// Readers

std::vector<FORMATETC> OfferedFormats(IDataObject& Data) {
    std::vector<FORMATETC> formats;
    std::shared_ptr<IEnumFORMATETC> walk;
    if (FAILED(Data.EnumFormatEtc(DATADIR_GET, walk)) || !walk || walk->Reset() != S_OK) return formats;
    FORMATETC record;
    uint32_t fetched = 0;
    while (walk->Next(1, &record, &fetched) == S_OK && fetched == 1)
        formats.push_back(record);
    return formats;
}

std::optional<TBytes> MediumBytes(const STGMEDIUM& Medium) {
    if (Medium.tymed == TYMED_HGLOBAL && Medium.hGlobal) return *Medium.hGlobal;
    if (Medium.tymed == TYMED_ISTREAM && Medium.pstm) {
        TStream& s = *Medium.pstm;
        int64_t size = s.Size();
        if (size < 0) return std::nullopt;
        TBytes bytes(static_cast<std::size_t>(size));
        s.SetPosition(0);
        bytes.resize(std::size_t(std::max<int64_t>(0, s.Read(bytes.data(), size))));
        return bytes;
    }
    return std::nullopt;
}

std::optional<TBytes> GetDataBytes(IDataObject& Data, TClipFormat Format) {
    STGMEDIUM medium;
    try {
        if (Data.GetData(MakeFormatEtc(Format, TYMED_HGLOBAL | TYMED_ISTREAM), medium) != S_OK)
            return std::nullopt;
        return MediumBytes(medium);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<TBytes> ReadSizedBlock(const TBytes& Block) {
    if (Block.size() < SizePrefix) return std::nullopt;
    uint32_t length =
        uint32_t(Block[0]) | uint32_t(Block[1]) << 8 | uint32_t(Block[2]) << 16 | uint32_t(Block[3]) << 24;
    if (length > Block.size() - SizePrefix) return std::nullopt;
    return TBytes(Block.begin() + SizePrefix, Block.begin() + SizePrefix + length);
}

TBytes MakeSizedBlock(const void* Data, std::size_t Size) {
    TBytes block(SizePrefix + Size);
    uint32_t length = uint32_t(Size);
    for (std::size_t i = 0; i < SizePrefix; ++i)
        block[i] = uint8_t(length >> (8 * i));
    if (Size) std::memcpy(block.data() + SizePrefix, Data, Size);
    return block;
}

AnsiString TextFromBlock(const TBytes& Block) {
    auto end = std::find(Block.begin(), Block.end(), uint8_t(0));
    return AnsiString(Block.begin(), end);
}

TBytes TextBlock(const AnsiString& Text) {
    TBytes block(Text.begin(), Text.end());
    block.push_back(0);
    return block;
}

WideString UnicodeTextFromBlock(const TBytes& Block) {
    WideString text;
    for (std::size_t i = 0; i + 1 < Block.size(); i += 2) {
        char16_t unit = char16_t(Block[i] | Block[i + 1] << 8);
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

TBytes UnicodeTextBlock(const WideString& Text) {
    TBytes block;
    block.reserve(2 * Text.size() + 2);
    for (char16_t unit : Text) {
        block.push_back(uint8_t(unit & 0xFF));
        block.push_back(uint8_t(unit >> 8));
    }
    block.push_back(0);
    block.push_back(0);
    return block;
}
