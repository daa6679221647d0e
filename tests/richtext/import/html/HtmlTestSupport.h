// What the HTML importer's tests share: documents imported from HTML and
// summed up item by item as text, and pictures written as BMP files.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "richtext/editor/tables/RVTable.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/text/RVClasses.h"
#include "richtext/engine/text/RVUni.h"
#include "richtext/import/html/rvhtmlimport.h"

// One line per item: "|" before an item that starts a paragraph, then
// "s<text style>" and the text in UTF-8, "marker <list>.<level> #<start>",
// "picture <w>x<h>", "table <rows>x<cols>" or "item <style>".
inline std::vector<std::string> DescribeItems(const TCustomRVData& Data) {
    std::vector<std::string> lines;
    for (int i = 0; i < Data.ItemCount(); ++i) {
        const TCustomRVItemInfo* item = Data.GetItem(i);
        std::string line = Data.IsParaStart(i) ? "|" : "";
        if (auto* marker = dynamic_cast<const TRVMarkerItemInfo*>(item)) {
            line += "marker " + std::to_string(marker->ListNo) + "." + std::to_string(marker->Level) + " #" +
                    std::to_string(marker->StartFrom);
        } else if (auto* table = dynamic_cast<const TRVTableItemInfo*>(item)) {
            line += "table " + std::to_string(table->RowCount()) + "x" + std::to_string(table->ColCount());
        } else if (dynamic_cast<const TRVGraphicItemInfo*>(item)) {
            int w = 0, h = 0;
            Data.GetItemExtraIntProperty(i, rvepWidth, w);
            Data.GetItemExtraIntProperty(i, rvepHeight, h);
            line += "picture " + std::to_string(w) + "x" + std::to_string(h);
        } else if (item->StyleNo >= 0) {
            line += "s" + std::to_string(item->StyleNo) + ":" + AnsiToUtf8(0, Data.GetItemTextAnsi(i));
        } else {
            line += "item " + std::to_string(item->StyleNo);
        }
        lines.push_back(line);
    }
    return lines;
}

// Imports HTML written in UTF-8 (converted to the program's code page)
// and checks the document.
struct TImported {
    TRVHtmlReadResult Result;
    std::vector<std::string> Items;
    TRVStyle& Style() const { return *Result.Document->Style; }
};

inline TImported ImportUtf8(const std::string& Html, TRvHtmlImporter* Importer = nullptr) {
    TImported imported;
    TRvHtmlImporter defaults(nullptr);
    imported.Result = ReadHtmlDocument(Utf8ToAnsi(Html), Importer ? *Importer : defaults);
    EXPECT_EQ(imported.Result.Error, "");
    EXPECT_EQ(CheckHtmlDocumentInvariants(*imported.Result.Document), "");
    imported.Items = DescribeItems(*imported.Result.Document);
    return imported;
}

inline void WriteBmp(const std::string& Path, int Width, int Height) {
    TRVBitmapImage image(Width, Height);
    TRVMemoryStream stream;
    image.SaveToStream(stream);
    std::ofstream(Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(stream.Memory()), stream.Size());
}

// The items of cell (Row, Col) of the table at ItemNo, joined by " / ";
// "nil" for a position a merged cell covers.
inline std::string CellItems(const TCustomRVData& Data, int ItemNo, int Row, int Col) {
    auto& table = dynamic_cast<const TRVTableItemInfo&>(*Data.GetItem(ItemNo));
    const TRVTableCellData* cell = table.GetCell(Row, Col);
    if (!cell) return "nil";
    std::string out;
    for (const std::string& line : DescribeItems(*cell))
        out += (out.empty() ? "" : " / ") + line;
    return out;
}
