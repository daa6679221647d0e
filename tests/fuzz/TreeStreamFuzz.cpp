// Fuzz target of the tree stream's reader: every input is read as a stream
// and as a node sequence, then loaded into a string tree (captions and user
// chunks taken), which must stay sound (and unchanged when the stream is
// refused), save again and read back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "controls/vtree/VirtualStringTree.h"
#include "controls/vtree/VirtualTreesCheck.h"
#include "controls/vtree/VirtualTreesStream.h"

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
    TVTBytes bytes(Data, Data + Size);
    for (TVTStreamKind kind : {TVTStreamKind::File, TVTStreamKind::NodeSequence}) {
        try {
            TVTStreamImage image = ReadTreeStream(bytes, kind);
            if (image.Consumed > Size) Finding("read beyond the input");
        } catch (const EVirtualTreeError&) {
        }
    }

    std::map<PVirtualNode, WideString> captions;
    TVirtualStringTree tree(nullptr);
    tree.OnGetText = [&](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex, TVSTTextType, WideString& Text) {
        auto it = captions.find(Node);
        if (it != captions.end()) Text = it->second;
    };
    tree.OnNewText = [&](TBaseVirtualTree*, PVirtualNode Node, TColumnIndex, const WideString& Text) {
        captions[Node] = Text;
    };
    tree.OnFreeNode = [&](TBaseVirtualTree*, PVirtualNode Node) { captions.erase(Node); };
    tree.SetNodeDataSize(sizeof(uint32_t));
    tree.TreeOptions()->SetSelectionOptions({toMultiSelect});
    tree.OnLoadNode = [](TBaseVirtualTree* Sender, PVirtualNode Node, TStream& Stream) {
        Stream.Read(Sender->GetNodeData(Node), sizeof(uint32_t));
    };
    tree.OnSaveNode = [](TBaseVirtualTree* Sender, PVirtualNode Node, TStream& Stream) {
        Stream.WriteBuffer(Sender->GetNodeData(Node), sizeof(uint32_t));
    };
    tree.SetRootNodeCount(2);
    bool loaded = true;
    try {
        TVTMemoryStream stream(bytes);
        tree.LoadFromStream(stream);
    } catch (const EVirtualTreeError&) {
        loaded = false;
    }
    CheckSound(tree, "after loading");
    if (!loaded && tree.GetRootNodeCount() != 2) Finding("a refused stream changed the tree");
    tree.FullExpand();
    CheckSound(tree, "after expanding");

    TVTMemoryStream saved;
    tree.SaveToStream(saved);
    try {
        TVTStreamImage again = ReadTreeStream(saved.TakeBytes(), TVTStreamKind::File);
        if (again.Consumed != again.Data.size()) Finding("the saved stream has bytes left over");
    } catch (const EVirtualTreeError& e) {
        Finding("the saved stream is refused", e.Message);
    }
    return 0;
}
