// Fuzz target of the tree's clipboard blocks: every input is read as a
// "Virtual Tree Data" block and as a reference block, then pasted into a
// tree, which must stay sound, unchanged when the block is refused, and
// never take a tree of the input's naming that is not alive.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "controls/vtree/VirtualTreesCheck.h"
#include "controls/vtree/VirtualTreesClipboard.h"

namespace {

[[noreturn]] void Finding(const char* What, const AnsiString& Detail = {}) {
    std::fprintf(stderr, "finding: %s %s\n", What, Detail.c_str());
    std::abort();
}

void CheckSound(const TBaseVirtualTree& Tree, const char* When) {
    AnsiString fault = CheckTreeInvariants(Tree, true);
    if (!fault.empty()) Finding(When, fault);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const TBytes bytes(Data, Data + Size);
    try {
        TVTStreamImage image = ReadTreeDataBlock(bytes);
        if (image.Consumed > Size) Finding("read beyond the block");
    } catch (const EVirtualTreeError&) {
    }

    TBaseVirtualTree tree(nullptr);
    tree.SetNodeDataSize(sizeof(uint32_t));
    tree.OnLoadNode = [](TBaseVirtualTree* Sender, PVirtualNode Node, TStream& Stream) {
        Stream.Read(Sender->GetNodeData(Node), sizeof(uint32_t));
    };
    tree.SetRootNodeCount(2);
    const uint32_t before = tree.GetTotalCount();

    auto data = std::make_shared<TBlockDataObject>();
    data->SetBlock(TreeDataFormat(), bytes);
    data->SetBlock(TreeReferenceFormat(), bytes);
    TBaseVirtualTree* source = tree.GetTreeFromDataObject(data.get());
    if (source && source != &tree) Finding("a tree that is not alive was named");

    // The last byte picks where the nodes go, so that every mode is reached.
    const auto mode = TVTNodeAttachMode(Size ? Data[Size - 1] % 5 : 0);
    bool inserted = true;
    try {
        tree.InsertOLEData(nullptr, data.get(), tree.GetFirst(), mode, false);
    } catch (const EVirtualTreeError&) {
        inserted = false;
    }
    CheckSound(tree, "after pasting");
    if (!inserted && tree.GetTotalCount() != before) Finding("a refused block changed the tree");
    tree.FullExpand();
    CheckSound(tree, "after expanding");
    return 0;
}
