// Data transfer between windows and programs: clipboard format numbers,
// format descriptions, storage media and the data object interface that the
// clipboard and drag and drop hand around, with the in-memory data object
// and the checked readers of format blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/rtl/Streams.h"

// Result codes of the data transfer interfaces: negative values are failures.
using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
constexpr HRESULT DV_E_FORMATETC = HRESULT(0x80040064u);
constexpr HRESULT DV_E_LINDEX = HRESULT(0x80040068u);
constexpr HRESULT DV_E_TYMED = HRESULT(0x80040069u);
constexpr HRESULT DV_E_CLIPFORMAT = HRESULT(0x8004006Au);
constexpr HRESULT DV_E_DVASPECT = HRESULT(0x8004006Bu);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = HRESULT(0x80040003u);
constexpr HRESULT OLE_S_USEREG = HRESULT(0x00040000);
constexpr HRESULT DATA_S_SAMEFORMATETC = HRESULT(0x00040130);
constexpr HRESULT STG_E_MEDIUMFULL = HRESULT(0x80030070u);
constexpr HRESULT CLIPBRD_E_CANT_OPEN = HRESULT(0x800401D0u);
inline bool SUCCEEDED(HRESULT Result) {
    return Result >= 0;
}
inline bool FAILED(HRESULT Result) {
    return Result < 0;
}

// Clipboard format numbers: the predefined ones below, and those that
// RegisterClipboardFormat hands out for names (Clipbrd.h).
using TClipFormat = uint16_t;
constexpr TClipFormat CF_TEXT = 1;
constexpr TClipFormat CF_BITMAP = 2;
constexpr TClipFormat CF_METAFILEPICT = 3;
constexpr TClipFormat CF_DIB = 8;
constexpr TClipFormat CF_UNICODETEXT = 13;
constexpr TClipFormat CF_ENHMETAFILE = 14;
constexpr TClipFormat CF_HDROP = 15;

// Medium kinds (bits of FORMATETC::tymed).
constexpr uint32_t TYMED_NULL = 0;
constexpr uint32_t TYMED_HGLOBAL = 1;
constexpr uint32_t TYMED_FILE = 2;
constexpr uint32_t TYMED_ISTREAM = 4;
constexpr uint32_t TYMED_ISTORAGE = 8;
constexpr uint32_t TYMED_GDI = 16;
constexpr uint32_t TYMED_MFPICT = 32;
constexpr uint32_t TYMED_ENHMF = 64;

constexpr uint32_t DVASPECT_CONTENT = 1;
constexpr uint32_t DATADIR_GET = 1;
constexpr uint32_t DATADIR_SET = 2;

// A target device is only ever compared by address.
struct DVTARGETDEVICE;

// What a reader asks a data object for, and what the object offers.
struct FORMATETC {
    TClipFormat cfFormat = 0;
    const DVTARGETDEVICE* ptd = nullptr;
    uint32_t dwAspect = DVASPECT_CONTENT;
    int32_t lindex = -1;
    uint32_t tymed = TYMED_HGLOBAL;
};
// The usual description: no target device, the content, the whole of it.
inline FORMATETC MakeFormatEtc(TClipFormat Format, uint32_t Tymed = TYMED_HGLOBAL) {
    return {Format, nullptr, DVASPECT_CONTENT, -1, Tymed};
}

// A block of memory handed between a data object and its readers. It is
// shared: a block handed out without copying stays valid while anyone holds
// it, and is freed with its last holder.
using TBytes = std::vector<uint8_t>;
using HGLOBAL = std::shared_ptr<TBytes>;
constexpr unsigned GMEM_MOVEABLE = 0x0002;
constexpr unsigned GMEM_ZEROINIT = 0x0040;
constexpr unsigned GMEM_DDESHARE = 0x2000;
// A zero-filled block of Bytes bytes (every block is zero-filled, whatever
// the flags); nullptr when the memory cannot be had.
HGLOBAL GlobalAlloc(unsigned Flags, std::size_t Bytes);
std::size_t GlobalSize(const HGLOBAL& Block);
// A new block holding a copy of Size bytes at Data.
HGLOBAL GlobalBlock(const void* Data, std::size_t Size);

// A stream over a global block, growing it as it is written; the stream
// keeps the block alive.
std::shared_ptr<TStream> CreateStreamOnHGlobal(HGLOBAL Block);

// Where data travels: a global block or a stream.
struct STGMEDIUM {
    uint32_t tymed = TYMED_NULL;
    HGLOBAL hGlobal;
    std::shared_ptr<TStream> pstm;
    // Kept alive as long as the medium is: whatever owns what the medium
    // points into.
    std::shared_ptr<void> pUnkForRelease;
};
// Lets go of everything the medium holds and empties it.
void ReleaseStgMedium(STGMEDIUM& Medium);

// Walks a list of format descriptions.
class IEnumFORMATETC {
public:
    virtual ~IEnumFORMATETC() = default;
    // Copies up to Count records from the current position on and moves on
    // by as many; Fetched, when given, gets their number. S_OK when any was
    // copied, else S_FALSE.
    virtual HRESULT Next(uint32_t Count, FORMATETC* Records, uint32_t* Fetched) = 0;
    virtual HRESULT Skip(uint32_t Count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Enum) = 0;
};

// A piece of data offered in several formats, rendered when a reader asks.
// Shared: it lives as long as the clipboard, a drag or a reader holds it.
class IDataObject {
public:
    virtual ~IDataObject() = default;
    virtual HRESULT GetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium) = 0;
    // Renders into the reader's own medium; E_NOTIMPL unless overridden.
    virtual HRESULT GetDataHere(const FORMATETC& FormatEtc, STGMEDIUM& Medium);
    // S_OK when GetData would give the format, else why not.
    virtual HRESULT QueryGetData(const FORMATETC& FormatEtc) = 0;
    // Out := In without its target device; E_NOTIMPL unless overridden.
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC& In, FORMATETC& Out);
    // Stores Medium under FormatEtc; with Release the object takes the
    // medium as it is, otherwise a copy. E_NOTIMPL unless overridden.
    virtual HRESULT SetData(const FORMATETC& FormatEtc, STGMEDIUM& Medium, bool Release);
    virtual HRESULT EnumFormatEtc(uint32_t Direction, std::shared_ptr<IEnumFORMATETC>& Enum) = 0;
};

// The enumerator over a copy of a list of records.
class TEnumFormatEtcList : public IEnumFORMATETC {
public:
    explicit TEnumFormatEtcList(std::vector<FORMATETC> Records, std::size_t Index = 0)
        : FRecords(std::move(Records)), FIndex(Index) {}
    HRESULT Next(uint32_t Count, FORMATETC* Records, uint32_t* Fetched) override;
    HRESULT Skip(uint32_t Count) override;
    HRESULT Reset() override;
    HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Enum) override;

private:
    std::vector<FORMATETC> FRecords;
    std::size_t FIndex;
};

// A data object holding each format as a block in memory, in the order the
// formats were set: what the clipboard keeps when its source is gone, what
// another program's data becomes, a simple source for a drag.
class TBlockDataObject : public IDataObject {
public:
    // Replaces the block of Format, or adds it after the others.
    void SetBlock(TClipFormat Format, TBytes Block);
    const TBytes* Block(TClipFormat Format) const;
    std::vector<TClipFormat> Formats() const;
    bool Empty() const { return FBlocks.empty(); }

    // Hands out a copy, as a global block or a stream as asked.
    HRESULT GetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium) override;
    HRESULT QueryGetData(const FORMATETC& FormatEtc) override;
    // Takes a global block or a stream (read from its start).
    HRESULT SetData(const FORMATETC& FormatEtc, STGMEDIUM& Medium, bool Release) override;
    HRESULT EnumFormatEtc(uint32_t Direction, std::shared_ptr<IEnumFORMATETC>& Enum) override;

private:
    std::vector<std::pair<TClipFormat, TBytes>> FBlocks;
};

// The formats Data offers for reading, in its order.
std::vector<FORMATETC> OfferedFormats(IDataObject& Data);
// The bytes of Format in Data, from a global block or a stream; nothing when
// Data does not give the format. Errors of the object count as not giving.
std::optional<TBytes> GetDataBytes(IDataObject& Data, TClipFormat Format);
// The bytes a medium carries (a global block, or a stream from its start).
std::optional<TBytes> MediumBytes(const STGMEDIUM& Medium);

// Blocks that begin with the length of what follows, as a 32-bit
// little-endian number. The payload, or nothing when the block is shorter
// than the length it declares.
std::optional<TBytes> ReadSizedBlock(const TBytes& Block);
TBytes MakeSizedBlock(const void* Data, std::size_t Size);
// 8-bit text: up to the first zero byte, or the whole block without one.
AnsiString TextFromBlock(const TBytes& Block);
TBytes TextBlock(const AnsiString& Text);
// UTF-16 text, little-endian: up to the first zero unit; an odd last byte
// belongs to no character and is dropped.
WideString UnicodeTextFromBlock(const TBytes& Block);
TBytes UnicodeTextBlock(const WideString& Text);
