// Resetting, copying and completing the RTF reader's formatting records.
#include "richtext/import/rtf/RVRTFProps.h"

#include <algorithm>

bool TRVRTFParaBorder::AnyPresent() const {
    return std::any_of(Sides.begin(), Sides.end(), [](const TRVRTFBorderSide& S) { return S.Type != 0; });
}

void TRVRTFCharProperties::Reset(int ALanguage, int AFontIndex) {
    *this = TRVRTFCharProperties();
    Language = ALanguage;
    FontIndex = AFontIndex;
}

void TRVRTFMarkerProperties::CopyFrom(const TRVRTFMarkerProperties& Source, bool Inherit) {
    NumberType = Source.NumberType;
    Alignment = Source.Alignment;
    Indent = Source.Indent;
    Space = Source.Space;
    Start = Source.Start;
    Fixed = Source.Fixed;
    TextBefore = Source.TextBefore;
    TextAfter = Source.TextAfter;
    Hanging = Source.Hanging;
    if (!Inherit) {
        FontIndex = Source.FontIndex;
        FontStyle = Source.FontStyle;
        Color = Source.Color;
        FontSize = Source.FontSize;
        Level = Source.Level;
        return;
    }
    if (!(Source.Fixed & rtf_fixed_Color)) Color = Source.Color;
    if (!(Source.Fixed & rtf_fixed_Font)) FontIndex = Source.FontIndex;
    if (!(Source.Fixed & rtf_fixed_Size)) FontSize = Source.FontSize;
    FontStyle = Source.FontStyle;
}

void TRVRTFParaProperties::Reset() {
    bool keepLevel = KeepTableLevel;
    int32_t level = TableLevel;
    bool inTable = InTable;
    *this = TRVRTFParaProperties();
    if (keepLevel) {
        KeepTableLevel = true;
        TableLevel = level;
        InTable = inTable;
    }
}

TRVRTFParaBorder& TRVRTFParaProperties::EditBorder() {
    if (!Border) Border.emplace();
    return *Border;
}

TRVRTFTab& TRVRTFParaProperties::TabBeingBuilt() {
    // Words after the tabs were completed start a tab of their own rather
    // than change the last complete one.
    if (Tabs.empty() || TabsFinalised) {
        Tabs.emplace_back();
        TabsFinalised = false;
    }
    return Tabs.back();
}

void TRVRTFParaProperties::CompleteTab(int32_t Position) {
    TabBeingBuilt().Position = Position;
    // Beyond the limit the last tab is built again in place.
    if (int(Tabs.size()) <= RVRTFMaxTabs)
        Tabs.emplace_back();
    else
        Tabs.back() = TRVRTFTab();
}

TColor BlendShading(TColor Background, TColor Pattern, int Shading) {
    if (Background == clNone) Background = 0xFFFFFF;
    Shading = std::clamp(Shading, 0, 10000);
    auto channel = [&](int Shift) {
        int b = int((Background >> Shift) & 0xFF), p = int((Pattern >> Shift) & 0xFF);
        return TColor((b * (10000 - Shading) + p * Shading) / 10000) << Shift;
    };
    return channel(0) | channel(8) | channel(16);
}

void TRVRTFParaProperties::Finalise() {
    if (Shading != 0) {
        Background = BlendShading(Background, PatternColor, Shading);
        Shading = 0;
    }
    if (!Tabs.empty() && !TabsFinalised) {
        Tabs.pop_back();
        for (int i = int(Tabs.size()) - 1; i >= 0; --i)
            if (Tabs[std::size_t(i)].ListTab) {
                ListTabPosition = Tabs[std::size_t(i)].Position;
                Tabs.erase(Tabs.begin() + i);
            }
        TabsFinalised = true;
    }
}

TRVRTFMarkerProperties& TRVRTFSectionProperties::EditDefaultNumbering(int Level) {
    if (DefaultNumbering.empty()) DefaultNumbering.resize(11);
    return DefaultNumbering.at(std::size_t(Level - 1));
}

void TRVRTFRowProperties::Reset() {
    WidthInPercent = LastRow = EngineUnits = false;
    Gap = Left = Height = BestWidth = 0;
    Border.Reset();
    CurrentBorderSide = 0;
    Cells.assign(1, TRVRTFCellProperties());
    ShadingPending = TrailingCell = true;
    Padding = {};
    PaddingInTwips = {};
    Spacing = {};
    SpacingInTwips = {};
}
