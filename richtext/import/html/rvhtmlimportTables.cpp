// Tables of the HTML importer. Until the table item is at hand, a table's
// cells become paragraphs of the document that holds the table.
#include "richtext/import/html/rvhtmlimport_p.h"

class THtmlTable {};

TContainerDataType::TContainerDataType() = default;
TContainerDataType::~TContainerDataType() = default;

void THtmlImportRun::TableTag(const AnsiString& Name) {
    Flush();
    if (Name == "td" || Name == "th") Parser.LastWasSpace = true;
    ParaMark = -1;
}

void THtmlImportRun::CloseOpenTables() {}
