// The table's property setters: properties of the table and its cells read
// and written by name, each change recorded with its old value while the
// table lies in an editing document.
#include <algorithm>
#include <cstring>

#include "richtext/editor/tables/RVTable_p.h"

std::function<void()> RVBeepHook;

namespace {

template <class T> struct TIntProp {
    const char* Name;
    int (*Get)(const T&);
    void (*Set)(T&, int);
    bool AffectsWidth;
    bool AffectsSize;
};

// Sizes that cannot be negative, and per cent widths of at most 100 %.
int NotNegative(int Value) {
    return std::max(Value, 0);
}
int BestWidthValue(int Value) {
    return std::max(Value, -100);
}

#define RV_PROP(Name, Width, Size, Store)                                                                    \
    TIntProp<TRVTableItemInfo> {                                                                             \
#Name, [](const TRVTableItemInfo&                                                                    \
                      T) { return int(T.Name); }, [](TRVTableItemInfo & T,                                   \
                                                     int V) { T.Name = decltype(T.Name)(Store(V)); }, Width, \
                                                                                                   Size      \
    }
int AsIs(int Value) {
    return Value;
}

const TIntProp<TRVTableItemInfo> TableProps[] = {
    RV_PROP(BestWidth, true, true, BestWidthValue),
    RV_PROP(BorderWidth, true, true, NotNegative),
    RV_PROP(BorderHSpacing, true, true, NotNegative),
    RV_PROP(CellBorderWidth, true, true, NotNegative),
    RV_PROP(CellHSpacing, true, true, AsIs),
    RV_PROP(CellHPadding, true, true, NotNegative),
    RV_PROP(CellVPadding, true, true, NotNegative),
    RV_PROP(BorderVSpacing, false, true, NotNegative),
    RV_PROP(CellVSpacing, false, true, AsIs),
    RV_PROP(Color, false, false, AsIs),
    RV_PROP(BorderColor, false, false, AsIs),
    RV_PROP(BorderLightColor, false, false, AsIs),
    RV_PROP(BorderStyle, false, false, AsIs),
    RV_PROP(CellBorderColor, false, false, AsIs),
    RV_PROP(CellBorderLightColor, false, false, AsIs),
    RV_PROP(CellBorderStyle, false, false, AsIs),
    RV_PROP(HeadingRowCount, false, false, NotNegative),
    RV_PROP(HRuleWidth, false, false, NotNegative),
    RV_PROP(HRuleColor, false, false, AsIs),
    RV_PROP(VRuleWidth, false, false, NotNegative),
    RV_PROP(VRuleColor, false, false, AsIs),
    RV_PROP(HOutermostRule, false, false, AsIs),
    RV_PROP(VOutermostRule, false, false, AsIs),
    RV_PROP(BackgroundStyle, false, false, AsIs),
};
#undef RV_PROP

#define RV_CELL(Name, Field, Width, Size, Store)                                                             \
    TIntProp<TRVTableCellData> {                                                                             \
        Name, [](const TRVTableCellData& C) { return int(C.Field); },                                        \
            [](TRVTableCellData& C, int V) { C.Field = decltype(C.Field)(Store(V)); }, Width, Size           \
    }
const TIntProp<TRVTableCellData> CellProps[] = {
    RV_CELL("Color", Color, false, false, AsIs),
    RV_CELL("BorderColor", BorderColor, false, false, AsIs),
    RV_CELL("BorderLightColor", BorderLightColor, false, false, AsIs),
    RV_CELL("BestWidth", BestWidth, true, true, BestWidthValue),
    RV_CELL("BestHeight", BestHeight, false, true, NotNegative),
    RV_CELL("VAlign", VAlign, false, false, AsIs),
    RV_CELL("BackgroundStyle", BackgroundStyle, false, false, AsIs),
    RV_CELL("VisibleBorders.Left", VisibleBorders.Left, false, false, AsIs),
    RV_CELL("VisibleBorders.Top", VisibleBorders.Top, false, false, AsIs),
    RV_CELL("VisibleBorders.Right", VisibleBorders.Right, false, false, AsIs),
    RV_CELL("VisibleBorders.Bottom", VisibleBorders.Bottom, false, false, AsIs),
};
#undef RV_CELL

template <class T, std::size_t N>
const TIntProp<T>* FindProp(const TIntProp<T> (&Props)[N], const char* Name) {
    for (const TIntProp<T>& p : Props)
        if (std::strcmp(p.Name, Name) == 0) return &p;
    return nullptr;
}

AnsiString* CellString(TRVTableCellData& Cell, const char* Name) {
    if (std::strcmp(Name, "Hint") == 0) return &Cell.Hint;
    if (std::strcmp(Name, "BackgroundImageFileName") == 0) return &Cell.BackgroundImageFileName;
    return nullptr;
}

} // namespace

void TRVPropertyStep::Toggle(TRVTableItemInfo& T) {
    if (Row < 0) {
        int old = 0;
        T.GetIntPropertyByName(Name, old);
        T.SetIntPropertyByName(Name, Value);
        Value = old;
        return;
    }
    TRVTableCellData& cell = *T.GetCell(Row, Col);
    if (IsString) {
        std::swap(*CellString(cell, Name), Text);
        return;
    }
    const TIntProp<TRVTableCellData>* p = FindProp(CellProps, Name);
    int old = p->Get(cell);
    p->Set(cell, Value);
    Value = old;
}

bool TRVTableItemInfo::GetIntPropertyByName(const char* Name, int& Value) const {
    const TIntProp<TRVTableItemInfo>* p = FindProp(TableProps, Name);
    if (!p) return false;
    Value = p->Get(*this);
    return true;
}

bool TRVTableItemInfo::SetIntPropertyByName(const char* Name, int Value) {
    const TIntProp<TRVTableItemInfo>* p = FindProp(TableProps, Name);
    if (!p) return false;
    p->Set(*this, Value);
    return true;
}

void TRVTableItemInfo::SetIntProperty(const char* Name, int Value) {
    const TIntProp<TRVTableItemInfo>* p = FindProp(TableProps, Name);
    if (!p) throw EZoroZudoError(errRVInvalidProperty);
    if (!(TableState & rvtsInserted)) {
        p->Set(*this, Value);
        return;
    }
    RecordOperation("TRVUndoModifyItemIntProperty", [&] {
        if (FCurrentUndo) {
            FCurrentUndo->AffectsWidth |= p->AffectsWidth;
            FCurrentUndo->AffectsSize |= p->AffectsSize;
        }
        if (p->Get(*this) != Value) DoStep(std::make_unique<TRVPropertyStep>(-1, -1, Name, Value));
    });
}

void TRVTableItemInfo::SetCellPadding(int Value) {
    if (!(TableState & rvtsInserted)) {
        CellHPadding = CellVPadding = NotNegative(Value);
        return;
    }
    RecordOperation("TRVUndoModifyItemIntProperty", [&] {
        SetCellHPadding(Value);
        SetCellVPadding(Value);
    });
}

void TRVTableItemInfo::SetCellIntProperty(const char* Name, int Row, int Col, int Value) {
    const TIntProp<TRVTableCellData>* p = FindProp(CellProps, Name);
    if (!p) throw EZoroZudoError(errRVInvalidProperty);
    if (Row < 0 || Col < 0 || Row >= RowCount() || Col >= ColCount() || !GetCell(Row, Col))
        throw EZoroZudoError(errRVTableIndex);
    if (!(TableState & rvtsInserted)) {
        p->Set(*GetCell(Row, Col), Value);
        Changed();
        return;
    }
    RecordOperation("TRVUndoModifyCellIntProperty", [&] {
        if (FCurrentUndo) {
            FCurrentUndo->AffectsWidth |= p->AffectsWidth;
            FCurrentUndo->AffectsSize |= p->AffectsSize;
        }
        if (p->Get(*GetCell(Row, Col)) != Value)
            DoStep(std::make_unique<TRVPropertyStep>(Row, Col, Name, Value));
    });
}

void TRVTableItemInfo::SetCellStrProperty(const char* Name, int Row, int Col, const AnsiString& Value) {
    if (Row < 0 || Col < 0 || Row >= RowCount() || Col >= ColCount() || !GetCell(Row, Col))
        throw EZoroZudoError(errRVTableIndex);
    AnsiString* field = CellString(*GetCell(Row, Col), Name);
    if (!field) throw EZoroZudoError(errRVInvalidProperty);
    if (!(TableState & rvtsInserted)) {
        *field = Value;
        Changed();
        return;
    }
    RecordOperation("TRVUndoModifyCellStrProperty", [&] {
        if (*field != Value) DoStep(std::make_unique<TRVPropertyStep>(Row, Col, Name, Value));
    });
}

void TRVTableItemInfo::SetCellVisibleBorders(bool Left, bool Top, bool Right, bool Bottom, int Row, int Col) {
    if (Row < 0 || Col < 0 || Row >= RowCount() || Col >= ColCount() || !GetCell(Row, Col))
        throw EZoroZudoError(errRVTableIndex);
    if (GetCell(Row, Col)->VisibleBorders.IsEqualToValues(Left, Top, Right, Bottom)) return;
    RecordOperation("TRVUndoModifyVisibleBorders", [&] {
        SetCellIntProperty("VisibleBorders.Left", Row, Col, Left);
        SetCellIntProperty("VisibleBorders.Top", Row, Col, Top);
        SetCellIntProperty("VisibleBorders.Right", Row, Col, Right);
        SetCellIntProperty("VisibleBorders.Bottom", Row, Col, Bottom);
    });
}

void TRVTableItemInfo::AssignCellProperties(int Row, int Col, const TRVTableCellData& Source, bool CopySizes,
                                            int RowDivisor, int ColDivisor) {
    if (Row < 0 || Col < 0 || Row >= RowCount() || Col >= ColCount() || !GetCell(Row, Col))
        throw EZoroZudoError(errRVTableIndex);
    if (!(TableState & rvtsInserted)) {
        GetCell(Row, Col)->AssignProperties(Source, CopySizes, RowDivisor, ColDivisor);
        Changed();
        return;
    }
    RecordOperation("TRVUndoModifyCellIntProperties", [&] {
        const TRVBooleanRect& v = Source.VisibleBorders;
        SetCellVisibleBorders(v.Left, v.Top, v.Right, v.Bottom, Row, Col);
        SetCellStrProperty("BackgroundImageFileName", Row, Col, Source.BackgroundImageFileName);
        SetCellStrProperty("Hint", Row, Col, Source.Hint);
        SetCellIntProperty("Color", Row, Col, int(Source.Color));
        SetCellIntProperty("BorderColor", Row, Col, int(Source.BorderColor));
        SetCellIntProperty("BorderLightColor", Row, Col, int(Source.BorderLightColor));
        SetCellIntProperty("VAlign", Row, Col, Source.VAlign);
        SetCellIntProperty("BackgroundStyle", Row, Col, Source.BackgroundStyle);
        if (CopySizes) {
            SetCellIntProperty("BestWidth", Row, Col,
                               ColDivisor ? Source.BestWidth / ColDivisor : Source.BestWidth);
            SetCellIntProperty("BestHeight", Row, Col,
                               RowDivisor ? Source.BestHeight / RowDivisor : Source.BestHeight);
        }
    });
}
