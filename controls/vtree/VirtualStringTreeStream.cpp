// The string tree's caption chunk in the tree stream: the main column's text
// written after a node's other chunks and given back through OnNewText.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "controls/vtree/VirtualStringTree.h"
#include "controls/vtree/VirtualTreesStream.h"

void TCustomVirtualStringTree::WriteChunks(TStream& Stream, PVirtualNode Node) {
    TBaseVirtualTree::WriteChunks(Stream, Node);
    if (!StringTreeOptions()->StringOptions().Contains(toSaveCaptions) || Node == RootNode() ||
        !Node->States.Contains(vsInitDone))
        return;
    const WideString text = GetCellText(Node, GetMainColumn());
    // A chunk's size is a signed 32-bit count of bytes.
    if (text.empty() || text.size() > size_t(INT32_MAX / 2)) return;
    std::vector<uint8_t> bytes(8 + 2 * text.size());
    const uint32_t size = uint32_t(2 * text.size());
    for (int i = 0; i < 4; ++i) {
        bytes[size_t(i)] = uint8_t(uint32_t(CaptionChunk) >> (8 * i));
        bytes[size_t(4 + i)] = uint8_t(size >> (8 * i));
    }
    for (size_t i = 0; i < text.size(); ++i) {
        bytes[8 + 2 * i] = uint8_t(text[i]);
        bytes[9 + 2 * i] = uint8_t(text[i] >> 8);
    }
    Stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

bool TCustomVirtualStringTree::ReadChunk(TStream& Stream, int Version, PVirtualNode Node, int ChunkType,
                                         int ChunkSize) {
    if (ChunkType != CaptionChunk)
        return TBaseVirtualTree::ReadChunk(Stream, Version, Node, ChunkType, ChunkSize);
    // The reader has checked the chunk against the input: Stream holds its body alone.
    std::vector<uint8_t> bytes(size_t(std::max(ChunkSize, 0)));
    bytes.resize(size_t(std::max<int64_t>(0, Stream.Read(bytes.data(), int64_t(bytes.size())))));
    WideString text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
    SetCellText(Node, GetMainColumn(), text);
    return true;
}
