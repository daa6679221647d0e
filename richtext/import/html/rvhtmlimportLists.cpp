// Lists of the HTML importer: opening and closing "ul" and "ol", list
// items with their kinds and numbers, list styles with a level per nesting
// depth, and the markers that start list paragraphs.
#include "richtext/engine/style/RVListInfo.h"
#include "richtext/import/html/rvhtmlimport_p.h"

void THtmlImportRun::SetUpLevel(TRVListLevel& Level, int Kind, int Depth) {
    Level.FirstIndent = 0;
    Level.MarkerIndent = 24 * Depth;
    Level.LeftIndent = 24 * Depth + 24;
    Level.FormatString = "%" + std::to_string(Level.Index()) + ":s.";
    Level.Font().SetSize(I.DefaultFontSize);
    switch (Kind) {
    case 0:
        Level.ListType = rvlstBullet;
        Level.FormatString.clear();
        break;
    case 1:
        Level.ListType = rvlstBullet;
        Level.Font().SetName("Symbol");
        Level.Font().Charset = 2;
        Level.FormatString = "\xB7";
        break;
    case 2:
        Level.ListType = rvlstBullet;
        Level.Font().SetName("Courier New");
        Level.Font().Charset = 0;
        Level.FormatString = "o";
        break;
    case 3:
        Level.ListType = rvlstBullet;
        Level.Font().SetName("Wingdings");
        Level.Font().Charset = 2;
        Level.FormatString = "\xA7";
        break;
    default: {
        static const TRVListType numbered[] = {rvlstDecimal, rvlstLowerAlpha, rvlstUpperAlpha,
                                               rvlstLowerRoman, rvlstUpperRoman};
        Level.ListType = numbered[std::clamp(Kind, 4, 8) - 4];
    }
    }
}

namespace {

// Whether a level shows the marker of a list kind.
bool LevelOfKind(const TRVListLevel& Level, int Kind) {
    switch (Kind) {
    case 0:
        return Level.FormatString.empty();
    case 1:
        return Level.ListType == rvlstBullet && Level.FormatString == "\xB7";
    case 2:
        return Level.ListType == rvlstBullet && Level.FormatString == "o";
    case 3:
        return Level.ListType == rvlstBullet && Level.FormatString == "\xA7";
    default:
        return Level.ListType == TRVListType(rvlstDecimal + std::clamp(Kind, 4, 8) - 4);
    }
}

} // namespace

void THtmlImportRun::OpenList(bool Ordered, int Kind, int Start) {
    TContainerDataType& c = Top();
    c.Lists.push_back({uint8_t(Ordered ? 1 : 0), uint8_t(Kind), Start});
    if (I.EnforceListLevels) {
        if (c.ListStyle < 0) {
            Style.ListStyles().Add()->Standard = false;
            c.ListStyle = Style.ListStyles().Count() - 1;
        }
        TRVListLevelCollection& levels = Style.ListStyles()[c.ListStyle]->Levels();
        if (levels.Count() < HtmlMaxListLevels) {
            TRVListLevel& level = *levels.Add();
            SetUpLevel(level, Kind, levels.Count());
        } else if (!WarnedCaps) {
            WarnedCaps = true;
            Warn("lists nested too deep; the deepest share a level");
        }
    } else if (Style.ListStyles().Count() > 0) {
        c.ListStyle = 0;
    }
}

void THtmlImportRun::CloseList(bool Ordered) {
    TContainerDataType& c = Top();
    for (std::size_t i = c.Lists.size(); i-- > 0;)
        if (c.Lists[i].Ordered == (Ordered ? 1 : 0)) {
            c.Lists.resize(i);
            break;
        }
    if (c.Lists.empty()) c.ListStyle = -1;
    c.PendingKind = 0;
}

void THtmlImportRun::ListItemTag() {
    Flush();
    TContainerDataType& c = Top();
    int kind = 1;
    int number = HtmlNumber(HtmlAttribute(Parser.Attributes, "value"), 0);
    if (!c.Lists.empty()) {
        TContainerIndentType& list = c.Lists.back();
        kind = list.Kind;
        if (number < 1)
            number = list.Counter;
        else
            list.Counter = number;
        if (list.Counter < INT32_MAX) ++list.Counter;
    }
    kind = HtmlListKind(HtmlAttribute(Parser.Attributes, "type"), kind);
    c.PendingKind = uint8_t(kind);
    c.PendingNumber = number;
    c.ListPending = true;
    ParaMark = -1;
}

void THtmlImportRun::AddListMarker() {
    if (!CurData) return;
    TContainerDataType& c = Top();
    if (c.ListStyle < 0) {
        Style.ListStyles().Add()->Standard = false;
        c.ListStyle = Style.ListStyles().Count() - 1;
    }
    TRVListLevelCollection& levels = Style.ListStyles()[c.ListStyle]->Levels();
    int level = -1;
    if (I.EnforceListLevels) {
        level = std::min(int(c.Lists.size()) - 1, levels.Count() - 1);
    } else {
        int indent = 24 * int(c.Lists.size());
        for (int i = 0; i < levels.Count() && level < 0; ++i)
            if (levels[i]->MarkerIndent == indent && LevelOfKind(*levels[i], c.PendingKind)) level = i;
        if (level < 0) {
            if (I.UseExistingStyles && levels.Count() > 0) {
                level = 0;
            } else if (levels.Count() < HtmlMaxListLevels) {
                SetUpLevel(*levels.Add(), c.PendingKind, int(c.Lists.size()));
                level = levels.Count() - 1;
            } else {
                level = levels.Count() - 1;
            }
        }
    }
    if (level < 0) return;
    CurData->ApplyListMarker(-1, c.ListStyle, level, c.PendingNumber, true, c.ParaStyle);
}
