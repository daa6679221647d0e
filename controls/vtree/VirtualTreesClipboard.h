// The tree's data object, which offers its formats and renders them through
// its tree, and the readers of the tree's clipboard and drag blocks: bytes in,
// structure or error out.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "controls/vtree/VirtualTrees.h"
#include "controls/vtree/VirtualTreesStream.h"
#include "platform/gui/DataObject.h"

// What a "Virtual Tree Reference" block holds: the process that made it and
// the token of its tree there.
struct TVTTreeReference {
    uint32_t ProcessId = 0;
    uint32_t Token = 0;
};
constexpr size_t TreeReferenceSize = 8;

// A reference block: nothing when the block is shorter than a reference.
std::optional<TVTTreeReference> ReadTreeReferenceBlock(const TBytes& Block);
TBytes MakeTreeReferenceBlock(const TVTTreeReference& Reference);
// A "Virtual Tree Data" block: its length, then a node sequence. Raises
// EVirtualTreeError when the block is shorter than its length says (2004)
// or the sequence is unsound (2005, 2006).
TVTStreamImage ReadTreeDataBlock(const TBytes& Block);

// The tree alive in this process under Token; nil when there is none.
TBaseVirtualTree* TreeFromTransferToken(uint32_t Token);

using TEnumFormatEtc = TEnumFormatEtcList;

// A tree's data for the clipboard or a drag. It names its tree by token, so
// that once the tree is gone it renders nothing and fails cleanly.
class TVTDataObject : public IDataObject, public std::enable_shared_from_this<TVTDataObject> {
public:
    TVTDataObject(TBaseVirtualTree* AOwner, bool AForClipboard);
    ~TVTDataObject() override;

    // The tree that made the object, while it lives.
    TBaseVirtualTree* Owner() const { return TreeFromTransferToken(FOwnerToken); }
    bool ForClipboard() const { return FForClipboard; }
    const TFormatEtcArray& Formats() const { return FFormats; }

    HRESULT GetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium) override;
    HRESULT QueryGetData(const FORMATETC& FormatEtc) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC& In, FORMATETC& Out) override;
    HRESULT SetData(const FORMATETC& FormatEtc, STGMEDIUM& Medium, bool Release) override;
    HRESULT EnumFormatEtc(uint32_t Direction, std::shared_ptr<IEnumFORMATETC>& Enum) override;

protected:
    // Hands Source on into Destination, a copy of its block with Copy.
    HRESULT StgMediumIncRef(const STGMEDIUM& Source, STGMEDIUM& Destination, bool Copy);
    int FindFormatEtc(const FORMATETC& FormatEtc) const;
    STGMEDIUM* FindInternalStgMedium(TClipFormat Format);

private:
    uint32_t FOwnerToken;
    bool FForClipboard;
    TFormatEtcArray FFormats;
    std::vector<std::pair<TClipFormat, STGMEDIUM>> FStoredMediums;
};
