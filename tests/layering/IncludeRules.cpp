// The layer table of the source tree and the scan that checks every include
// of every source file against it.
#include "IncludeRules.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace {

bool StartsWith(const std::string& S, const std::string& Prefix) {
    return S.compare(0, Prefix.size(), Prefix) == 0;
}

struct TLayerRule {
    const char* Folder;               // a file belongs to the longest matching folder
    std::vector<const char*> Allowed; // folders its project includes may come from
    const char* Refusal = nullptr;    // what a refused include is told, if not "a layer above"
};

// Lower layers first; each folder lists itself and what lies below it.
const std::vector<TLayerRule>& LayerRules() {
    static const std::vector<const char*> platformBase{"platform/rtl/", "platform/win/"};
    static const std::vector<TLayerRule> rules = [] {
        auto with = [](std::vector<const char*> a, std::initializer_list<const char*> more) {
            a.insert(a.end(), more);
            return a;
        };
        std::vector<const char*> platform =
            with(platformBase, {"platform/db/", "platform/canvas/", "platform/gui/", "platform/chart/"});
        std::vector<const char*> util = with(platform, {"util/"});
        std::vector<const char*> engine = with(util, {"richtext/engine/"});
        std::vector<const char*> editor = with(engine, {"richtext/editor/"});
        std::vector<const char*> richtext = with(editor, {"richtext/import/", "richtext/print/"});
        std::vector<const char*> controls = with(richtext, {"controls/pages/", "controls/vtree/"});
        std::vector<const char*> core = with(controls, {"core/"});
        return std::vector<TLayerRule>{
            {"platform/rtl/", {"platform/rtl/"}},
            {"platform/win/", platformBase},
            {"platform/db/", with(platformBase, {"platform/db/"})},
            {"platform/canvas/", with(platformBase, {"platform/canvas/"})},
            {"platform/gui/", with(platformBase, {"platform/canvas/", "platform/gui/"})},
            {"platform/chart/", with(platformBase, {"platform/canvas/", "platform/gui/", "platform/chart/"})},
            {"platform/testing/", with(platform, {"platform/testing/"})},
            {"util/", util},
            // The document and its writers draw through the canvas and see no
            // control; util/ holds controls. Only the view may host them (below).
            {"richtext/engine/",
             with(platformBase, {"platform/canvas/", "platform/gui/", "richtext/engine/"}),
             "the engine includes only platform/canvas and below"},
            {"richtext/editor/", editor},
            // The table item is a model: the engine, the printed pages it
            // prints on, the canvas and below.
            {"richtext/editor/tables/",
             with(platformBase, {"platform/canvas/", "richtext/engine/", "richtext/print/pages/",
                                 "richtext/editor/tables/"}),
             "the table item includes only the engine, the printed pages, platform/canvas and below"},
            // The editing data is a model: the engine's document and layout,
            // the canvas and below; the control above it reaches it through
            // the editor link it implements.
            {"richtext/editor/edit/",
             with(platformBase, {"platform/canvas/", "richtext/engine/", "richtext/editor/edit/"}),
             "the editing data includes only the engine, platform/canvas and below"},
            {"richtext/import/", with(editor, {"richtext/import/"})},
            // The RTF reader is a model: it builds documents through the
            // engine and sees no control (a table item comes in through
            // the table builder it declares).
            {"richtext/import/rtf/",
             with(platformBase, {"platform/canvas/", "richtext/engine/", "richtext/import/rtf/"}),
             "the RTF reader includes only the engine, platform/canvas and below"},
            // The HTML importer is a model too: the engine, the canvas and
            // the table item, never a control.
            {"richtext/import/html/",
             with(platformBase, {"platform/canvas/", "richtext/engine/", "richtext/editor/tables/",
                                 "richtext/import/html/"}),
             "the HTML importer includes only the engine, the table item, platform/canvas and below"},
            {"richtext/print/", with(editor, {"richtext/print/"})},
            // The printed pages are a model: they draw on the printer's
            // canvas and see no control.
            {"richtext/print/pages/",
             with(platformBase, {"platform/canvas/", "richtext/engine/", "richtext/print/pages/"}),
             "the printed pages include only the engine, platform/canvas and below"},
            // The dialogs, their controls and the language tables sit above
            // the printed pages and below the program.
            {"richtext/print/control/", with(editor, {"richtext/print/"})},
            {"controls/", controls},
            {"core/", core},
            {"app/", with(core, {"app/"})},
        };
    }();
    return rules;
}

// The engine's concerns, each seeing only those before it; only the view
// hosts controls.
const std::vector<const char*> EngineOrder{"text/",   "style/", "lines/",   "items/",    "document/",
                                           "layout/", "paint/", "formats/", "viewdata/", "view/"};

// The tree's sources that include the toolkit: its window, images, clipboard,
// drop target, edit control and menu. Every other tree source includes no
// control header: the model (structure, iteration, update blocks, sorting,
// selection, stream, export, columns, header, hit testing) must work without
// a window, and the rest reaches the toolkit through VirtualTrees.h. A list of
// the exceptions, not of the model, so that a new model source cannot slip
// past the rule.
const std::set<std::string> TreeWindowSources{
    "controls/vtree/VirtualTrees.h",              // the tree is a TCustomControl
    "controls/vtree/VirtualTreesWindow.cpp",      // the view over the control's window
    "controls/vtree/VirtualTreesDecorations.cpp", // images drawn from image lists
    "controls/vtree/VirtualTreesPaintHeader.cpp", // the header's images
    "controls/vtree/VirtualTreesResources.cpp",   // the shared image lists
    "controls/vtree/VirtualTreesClipboard.h",     // the data object
    "controls/vtree/VirtualTreesClipboard.cpp",   // the clipboard and its actions
    "controls/vtree/VirtualTreesDragDrop.h",      // the drop target of the window
    "controls/vtree/VirtualTreesDragImage.cpp",   // the drag picture shown by the drag seam
    "controls/vtree/VirtualStringTree.h",         // its data object
    "controls/vtree/VirtualStringTreeEditor.h",   // the edit control
    "controls/vtree/VTHeaderPopup.h",             // the header's menu
    "controls/vtree/VTAccessibilityFactory.h",    // objects on the layer's accessibility bridge
    "controls/vtree/VirtualTreesAnimation.cpp",   // pictures of the window that slide
    "controls/vtree/VirtualTreesHintWindow.h",    // the tree's own hint window
    "controls/vtree/VirtualTreesHintWindow.cpp",
    "controls/vtree/VTHeaderPopup.cpp",
};

// The print folder's dialogs: the rest of the print folder lies below them.
const std::string PrintControls = "richtext/print/control/";

const TLayerRule* RuleOf(const std::string& File) {
    const TLayerRule* best = nullptr;
    for (const TLayerRule& r : LayerRules())
        if (StartsWith(File, r.Folder) &&
            (!best || std::string(r.Folder).size() > std::string(best->Folder).size()))
            best = &r;
    return best;
}

int EngineRank(const std::string& Path) {
    const std::string base = "richtext/engine/";
    if (!StartsWith(Path, base)) return -1;
    std::string rest = Path.substr(base.size());
    for (size_t i = 0; i < EngineOrder.size(); ++i)
        if (StartsWith(rest, EngineOrder[i])) return int(i);
    return -1;
}

void CheckProjectInclude(const std::string& File, const std::string& Inc, int Line,
                         std::vector<TIncludeViolation>& Out) {
    const TLayerRule* rule = RuleOf(File);
    if (!rule) return;
    // A folder's own private headers and plain file names (same folder) are fine.
    if (Inc.find('/') == std::string::npos) return;
    bool allowed = std::any_of(rule->Allowed.begin(), rule->Allowed.end(),
                               [&](const char* a) { return StartsWith(Inc, a); });
    if (!allowed) {
        Out.push_back(
            {File, Line, Inc,
             rule->Refusal ? rule->Refusal : std::string("includes a layer above ") + rule->Folder});
        return;
    }
    bool control = StartsWith(Inc, "platform/gui/") || StartsWith(Inc, "platform/chart/");
    if (StartsWith(File, "richtext/engine/")) {
        int from = EngineRank(File), to = EngineRank(Inc);
        if (from >= 0 && to > from)
            Out.push_back({File, Line, Inc, "an engine folder includes one after it"});
        if (control && from != int(EngineOrder.size()) - 1)
            Out.push_back({File, Line, Inc, "only the engine's view hosts controls"});
    }
    if (StartsWith(File, "richtext/editor/edit/") && StartsWith(Inc, "richtext/engine/view/"))
        Out.push_back({File, Line, Inc, "the editing data includes no control of the engine's view"});
    if (StartsWith(Inc, PrintControls) && StartsWith(File, "richtext/print/") &&
        !StartsWith(File, PrintControls))
        Out.push_back({File, Line, Inc, "the printed pages include none of the dialogs above them"});
    if (control && StartsWith(File, "controls/vtree/") && !TreeWindowSources.count(File))
        Out.push_back(
            {File, Line, Inc, "a tree source outside its window sources includes a control header"});
}

} // namespace

std::vector<TIncludeViolation> CheckIncludes(const std::string& Root) {
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    static const std::regex qt(R"(^(Q[A-Za-z]*|Qt[A-Za-z]*/.*)$)");
    std::vector<TIncludeViolation> out;
    fs::path root(Root);
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string rel = fs::relative(it->path(), root).generic_string();
        if (it->is_directory()) {
            std::string name = it->path().filename().string();
            if (StartsWith(name, "build") || StartsWith(name, ".") || rel == "tests" || rel == "bench")
                it.disable_recursion_pending();
            continue;
        }
        std::string ext = it->path().extension().string();
        if (ext != ".h" && ext != ".cpp") continue;
        std::ifstream in(it->path());
        std::string text;
        int lineNo = 0;
        while (std::getline(in, text)) {
            ++lineNo;
            std::smatch m;
            if (!std::regex_search(text, m, include)) continue;
            std::string inc = m[2];
            if (m[1] == "<") {
                if (!std::regex_match(inc, qt)) continue;
                if (!StartsWith(rel, "platform/"))
                    out.push_back({rel, lineNo, inc, "Qt outside platform/"});
                else if (ext == ".h")
                    out.push_back({rel, lineNo, inc, "a header of the layer includes Qt"});
                continue;
            }
            CheckProjectInclude(rel, inc, lineNo, out);
        }
    }
    std::sort(out.begin(), out.end(),
              [](auto& a, auto& b) { return std::tie(a.File, a.Line) < std::tie(b.File, b.Line); });
    return out;
}
