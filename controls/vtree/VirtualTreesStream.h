// The tree stream's reader: bytes in, a checked image of the node records
// out (or EVirtualTreeError), plus the memory streams the tree writes and
// reads node records with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/vtree/VirtualTrees.h"
#include "platform/rtl/Streams.h"

// Chunk types of a node record.
constexpr int32_t AnchorChunk = 1;
constexpr int32_t BaseChunk = 2;
constexpr int32_t CaptionChunk = 3;
constexpr int32_t UserChunk = 4;

// The version the writer writes, and the size of the file header.
constexpr uint16_t VTTreeStreamVersion = 2;
constexpr size_t VTTreeStreamHeaderSize = 12;
// Nodes nested deeper than this are refused: the tree walks subtrees
// recursively.
constexpr uint32_t MaxStreamNodeLevels = 1000;

// Node states a stream carries; the rest are the running tree's own. The
// hidden-children flag is taken as stored and worked out anew for parents.
constexpr TVirtualNodeStates PersistentNodeStates{vsInitDone, vsDisabled, vsExpanded,       vsHasChildren,
                                                  vsVisible,  vsSelected, vsNoVisibleChild, vsMultiline};

// A chunk of a node record other than its base chunk, as a place in the
// image's bytes.
struct TVTStreamChunk {
    int32_t Type = 0;
    size_t Offset = 0;
    size_t Size = 0;
};

// One node record. The fields are already made consistent: states masked to
// the persistent ones, no expanded or children flag without children, the
// height within its 16 bits, check fields within their ranges.
struct TVTStreamNode {
    bool HasBase = false;
    uint32_t ChildCount = 0;
    uint16_t NodeHeight = 0;
    TVirtualNodeStates States;
    uint8_t Align = 0;
    uint8_t CheckState = 0;
    uint8_t CheckType = 0;
    // The user, caption and unknown chunks, in stream order.
    std::vector<TVTStreamChunk> Chunks;
};

// A whole stream or node sequence, read and checked before anything is built.
struct TVTStreamImage {
    int Version = VTTreeStreamVersion;
    TVTBytes Data;
    // Every record, each followed by its children's records (tree order).
    std::vector<TVTStreamNode> Nodes;
    // Where each top-level record starts in Nodes.
    std::vector<size_t> TopLevel;
    // The bytes of Data the records took (the header and count included).
    size_t Consumed = 0;
};

enum class TVTStreamKind {
    File,        // the header, the count (version 2) and the records
    NodeSequence // records only, version 2, up to the end
};

// Reads Bytes as Kind and checks every chunk against the input and its
// parent chunk; raises EVirtualTreeError with codes 2002 to 2006.
TVTStreamImage ReadTreeStream(TVTBytes Bytes, TVTStreamKind Kind);

// A stream over bytes it owns; writes grow them.
class TVTMemoryStream : public TStream {
public:
    TVTMemoryStream() = default;
    explicit TVTMemoryStream(TVTBytes Bytes) : FBytes(std::move(Bytes)) {}
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, int Origin) override;
    void SetSize(int64_t NewSize) override;
    const TVTBytes& Bytes() const { return FBytes; }
    TVTBytes TakeBytes();

private:
    TVTBytes FBytes;
    int64_t FPosition = 0;
};

// A read-only stream over memory it does not own.
class TOLEMemoryStream : public TStream {
public:
    TOLEMemoryStream(const void* Memory, size_t Size)
        : FMemory(static_cast<const uint8_t*>(Memory)), FSize(int64_t(Size)) {}
    int64_t Read(void* Buffer, int64_t Count) override;
    // Raises EStreamError.
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, int Origin) override;
    void SetSize(int64_t NewSize) override;

private:
    const uint8_t* FMemory;
    int64_t FSize;
    int64_t FPosition = 0;
};

inline constexpr const char* SCantWriteResourceStreamError = "Can't write to a read-only resource stream";
