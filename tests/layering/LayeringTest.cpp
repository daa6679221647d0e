// The source tree keeps its include directions; a wrong include is caught.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "IncludeRules.h"
#include "support/TestSupport.h"

namespace {

std::string Describe(const std::vector<TIncludeViolation>& Found) {
    std::string s;
    for (const auto& v : Found)
        s += v.File + ":" + std::to_string(v.Line) + ": " + v.Include + ": " + v.Reason + "\n";
    return s;
}

void Write(const std::string& Path, const std::string& Text) {
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
    std::ofstream(Path) << Text;
}

} // namespace

TEST(LayeringTest, TheSourceTreeKeepsItsIncludeDirections) {
    auto found = CheckIncludes(SourceDir());
    EXPECT_TRUE(found.empty()) << Describe(found);
}

TEST(LayeringTest, AWrongIncludeIsCaught) {
    struct TCase {
        const char* File;
        const char* Include;
        const char* Reason;
    };
    const TCase cases[] = {
        {"util/JvX.cpp", "#include \"core/DataMod.h\"", "includes a layer above util/"},
        {"platform/canvas/Graphics.cpp", "#include \"platform/gui/Controls.h\"",
         "includes a layer above platform/canvas/"},
        {"richtext/engine/style/RVStyle.cpp", "#include \"platform/gui/Forms.h\"",
         "only the engine's view hosts controls"},
        {"richtext/engine/text/RVUni.cpp", "#include \"richtext/engine/style/RVStyle.h\"",
         "an engine folder includes one after it"},
        {"richtext/engine/lines/DLines.cpp", "#include \"richtext/engine/items/RVItem.h\"",
         "an engine folder includes one after it"},
        {"richtext/engine/layout/CRVFData.cpp", "#include \"platform/gui/Forms.h\"",
         "only the engine's view hosts controls"},
        {"controls/vtree/VirtualTreesStructure.cpp", "#include \"platform/gui/Controls.h\"",
         "a tree source outside its window sources includes a control header"},
        {"controls/vtree/VirtualStringTreeExport.cpp", "#include \"platform/gui/Clipbrd.h\"",
         "a tree source outside its window sources includes a control header"},
        {"controls/vtree/VirtualTreesNewConcern.cpp", "#include \"platform/chart/Chart.h\"",
         "a tree source outside its window sources includes a control header"},
        {"richtext/engine/formats/rtf/RVRtfWriter.cpp", "#include \"util/JvExControls.h\"",
         "the engine includes only platform/canvas and below"},
        {"richtext/engine/document/CRVData.cpp", "#include \"platform/db/IBQuery.h\"",
         "the engine includes only platform/canvas and below"},
        {"core/DataMod.cpp", "#include <QString>", "Qt outside platform/"},
        {"platform/gui/Controls.h", "#include <QWidget>", "a header of the layer includes Qt"},
        {"util/JvY.cpp", "#include \"platform/testing/ScriptedDialogs.h\"", "includes a layer above util/"},
        {"richtext/import/rtf/RVRTFReader.cpp", "#include \"platform/gui/Forms.h\"",
         "the RTF reader includes only the engine, platform/canvas and below"},
        {"richtext/import/rtf/RVRTFImportTables.cpp", "#include \"richtext/editor/tables/RVTable.h\"",
         "the RTF reader includes only the engine, platform/canvas and below"},
        {"richtext/editor/edit/RVERVData.cpp", "#include \"platform/gui/Forms.h\"",
         "the editing data includes only the engine, platform/canvas and below"},
        {"richtext/editor/edit/RVUndo.cpp", "#include \"richtext/engine/view/RVView.h\"",
         "the editing data includes no control of the engine's view"},
        {"richtext/print/control/PageSetupRVFrm.cpp", "#include \"app/results/Result_Frm.h\"",
         "includes a layer above richtext/print/control/"},
        {"richtext/print/pages/RVPrintPages.cpp", "#include \"richtext/print/control/RVALocalize.h\"",
         "the printed pages include only the engine, platform/canvas and below"},
        {"richtext/print/pages/PtblRVData.cpp", "#include \"platform/gui/Printers.h\"",
         "the printed pages include only the engine, platform/canvas and below"},
    };
    for (const TCase& c : cases) {
        TTempFolder root;
        Write(root.Path() + c.File, std::string("// one sentence\n") + c.Include + "\n");
        Write(root.Path() + "tests/core/AnyTest.cpp", "#include <QWidget>\n#include \"app/MainFrm.h\"\n");
        auto found = CheckIncludes(root.Path());
        ASSERT_EQ(found.size(), 1u) << c.File << "\n" << Describe(found);
        EXPECT_EQ(found[0].File, c.File);
        EXPECT_EQ(found[0].Line, 2);
        EXPECT_EQ(found[0].Reason, c.Reason);
    }
}

TEST(LayeringTest, AllowedIncludesPass) {
    TTempFolder root;
    Write(root.Path() + "app/MainFrm.cpp",
          "#include \"core/DataMod.h\"\n#include \"platform/gui/Forms.h\"\n");
    Write(root.Path() + "platform/gui/Controls.cpp",
          "#include <QWidget>\n#include \"platform/canvas/Graphics.h\"\n");
    Write(root.Path() + "richtext/engine/view/RVScroll.cpp", "#include \"platform/gui/Controls.h\"\n");
    Write(root.Path() + "richtext/engine/items/RVItem.cpp",
          "#include \"richtext/engine/text/RVUni.h\"\n#include \"platform/canvas/Graphics.h\"\n"
          "#include \"platform/win/WinBase.h\"\n#include \"platform/rtl/SysUtils.h\"\n");
    Write(root.Path() + "controls/vtree/VirtualTreesWindow.cpp", "#include \"platform/gui/Controls.h\"\n");
    Write(root.Path() + "richtext/import/rtf/RVRTFReader.cpp",
          "#include \"richtext/engine/items/RVGraphic.h\"\n#include \"platform/canvas/Graphics.h\"\n");
    Write(root.Path() + "controls/vtree/VirtualTreesClipboard.cpp", "#include \"platform/gui/Clipbrd.h\"\n");
    Write(root.Path() + "controls/vtree/VirtualTreesIteration.cpp",
          "#include \"platform/canvas/Graphics.h\"\n");
    Write(root.Path() + "controls/vtree/VirtualTrees_p.h", "#include \"VirtualTrees.h\"\n");
    Write(root.Path() + "richtext/print/control/BaseRVFrm.cpp",
          "#include \"richtext/print/pages/RVPrintPages.h\"\n#include \"richtext/editor/RVEdit.h\"\n"
          "#include \"richtext/print/control/RVALocalize.h\"\n#include \"platform/gui/Forms.h\"\n");
    auto found = CheckIncludes(root.Path());
    EXPECT_TRUE(found.empty()) << Describe(found);
}
