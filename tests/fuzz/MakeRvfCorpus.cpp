// Writes the fixed corpus of the native-format reader's fuzz target: the
// report (without its chart's body) and a document of every item kind in both forms, with and without
// style blocks, and hand-made streams of each record kind.
#include <cstdio>
#include <fstream>
#include <string>

#include "RVReportDocument.h"
#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/formats/rvf/RVRvfFuncs.h"

namespace {

class TCorpusData : public TTestRVData {
public:
    using TTestRVData::TTestRVData;
};

void Write(const std::string& Folder, const std::string& Name, const std::string& Bytes) {
    std::ofstream(Folder + "/" + Name, std::ios::binary) << Bytes;
}

std::string Save(TCustomRVData& Data, TRVFOptions Options) {
    Data.SetRVFOptions(Options);
    TRVMemoryStream stream;
    TRVLayoutInfo layout;
    layout.LeftMargin = 5;
    Data.SaveRvf(stream, false, &layout, clNone);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), std::size_t(stream.Size()));
}

void AddKinds(TCustomRVData& Data) {
    Data.AddTextItem("text", 0, 0);
    Data.AddWideTextTag(u"юникод", 0, -1, 0);
    Data.AddBreakEx(2, brkDotted, clBlue, 0);
    auto tab = std::make_unique<TRVTabItemInfo>(&Data);
    tab->ParaNo = 0;
    Data.AddItem("", std::move(tab));
    Data.AddCheckpoint("cp", true, 3);
    auto picture =
        std::make_unique<TRVGraphicItemInfo>(&Data, std::make_unique<TRVBitmapImage>(3, 2), vaMiddle);
    picture->ParaNo = -1;
    picture->Alt = "alt";
    Data.AddItem("pic", std::move(picture));
    Data.ApplyListMarker(-1, 0, 0, 1, false, 0);
    Data.AddTextItem("listed", 1, -1);
    auto label = std::make_unique<TRVLabelItemInfo>(&Data, 1, "label");
    label->ParaNo = -1;
    Data.AddItem("lbl", std::move(label));
    auto seq = std::make_unique<TRVSeqItemInfo>(&Data, "s", rvseqLowerAlpha, 0, 1, false);
    seq->ParaNo = -1;
    Data.AddItem("seq", std::move(seq));
    auto note = std::make_unique<TRVFootnoteItemInfo>(&Data, 0, 1, false);
    note->ParaNo = -1;
    note->Document->AddItem("", std::make_unique<TRVNoteReferenceItemInfo>(note->Document.get(), 0));
    note->Document->AddTextItem("body", 0, -1);
    Data.AddItem("fn", std::move(note));
    Data.AddCheckpoint("end", false, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_rvf_corpus <corpus folder>\n");
        return 2;
    }
    std::string folder = argv[1];
    auto style = MakeReportStyle();
    TCorpusData report(style.get());
    report.Flags = 0x100;
    BuildReport(report);
    report.GetDocParameters(true)->TopMargin = 2;
    TCorpusData kinds(style.get());
    kinds.Flags = 0x100;
    AddKinds(kinds);
    const TRVFOptions blocks =
        rvfoSaveTextStyles | rvfoSaveParaStyles | rvfoSaveLayout | rvfoSaveDocProperties;
    for (bool binary : {false, true}) {
        TRVFOptions form = binary ? rvfoSaveBinary : 0;
        std::string suffix = binary ? "-binary.rvf" : "-text.rvf";
        Write(folder, "report" + suffix, Save(report, form | blocks));
        Write(folder, "kinds" + suffix, Save(kinds, rvfoSavePicturesBody | form));
        Write(folder, "kinds-styles" + suffix,
              Save(kinds, rvfoSavePicturesBody | form | blocks | rvfoUseStyleNames));
    }
    Write(folder, "no-version.rvf", "0 3 0 0 0\r\na\r\nb\r\nc\r\n");
    Write(folder, "background.rvf", "-8 1 3\r\n-7 0 -1 0 0 0 0 255\r\n0 1 0 0 0 0\r\nx\r\n");
    Write(folder, "picture-by-name.rvf", "-8 1 3\r\n-3 1 0 0 1 0 0\r\nname\r\n");
    Write(folder, "break-short.rvf", "-8 1 3\r\n-1 0 0 0 0 0 1 2\r\n");
    Write(folder, "unknown-kind.rvf", "-8 1 3\r\n-77 2 0 0 2 0\r\nx\r\n\x02\0\0\0ab0 1 0 0 0 0\r\ny\r\n");
    Write(folder, "properties.rvf",
          "-8 1 3\r\n-9 2 0 0 0 0 5\r\na\x01\x02"
          "b\r\nc\r\n-9 1 0 0 0 0 7\r\nLeftMargin=1\r\n"
          "0 1 0 0 0 0\r\nz\r\n");
    Write(folder, "string-tags.rvf", "-8 1 3\r\n0 1 0 0 0 \"a \"\"b\"\"\"\r\nt\r\n");
    return 0;
}
