// The page control and its sheets in component streams: their published
// properties, the pages written in page order and put back in it, and a
// sheet read back joining its page control.
#include "controls/pages/AdvPageControl_p.h"
#include "platform/rtl/ComponentStreams.h"

namespace {
const TTypeInfo* TypeInfoGradientDirection() {
    static const TTypeInfo* t =
        MakeEnumTypeInfo("TGradientDirection", {"gdVertical", "gdHorizontal"}, "AdvPageControl");
    return t;
}

template <class T> TPropValue Object(T* Value) {
    return static_cast<TObject*>(Value);
}

// Streams name the page classes, so the registry knows them from the start.
[[maybe_unused]] const bool gRegistered = (TAdvPageControl::ClassInfo(), TAdvTabSheet::ClassInfo(), true);
} // namespace

const TClassInfo* TTabMargin::ClassInfo() {
    static const TClassInfo* info =
        TClassInfoBuilder<TTabMargin>("TTabMargin", TPersistentClassInfo(), "AdvPageControl")
            .Property("LeftMargin", TypeInfoInteger(), &TTabMargin::LeftMargin, &TTabMargin::SetLeftMargin, 0)
            .Property("TopMargin", TypeInfoInteger(), &TTabMargin::TopMargin, &TTabMargin::SetTopMargin, 0)
            .Property("RightMargin", TypeInfoInteger(), &TTabMargin::RightMargin, &TTabMargin::SetRightMargin)
            .Register();
    return info;
}

const TClassInfo* TAdvTabSheet::ClassInfo() {
    using T = TAdvTabSheet;
    static const TClassInfo* info =
        TClassInfoBuilder<T>("TAdvTabSheet", TControl::ClassInfo(), "AdvPageControl")
            .Property("Caption", TypeInfoAnsiString(), &T::Caption, &T::SetCaption)
            .Property("Color", TypeInfoColor(), &T::Color, &T::SetColor)
            .Property("ColorTo", TypeInfoColor(), &T::ColorTo, &T::SetColorTo, int32_t(clNone))
            .Property("TabColor", TypeInfoColor(), &T::TabColor, &T::SetTabColor)
            .Property("TabColorTo", TypeInfoColor(), &T::TabColorTo, &T::SetTabColorTo)
            .Property("TextColor", TypeInfoColor(), &T::TextColor, &T::SetTextColor, 0)
            .Property("TabGradientDirection", TypeInfoGradientDirection(), &T::TabGradientDirection,
                      &T::SetTabGradientDirection, 0)
            .Property("HoverGradientDirection", TypeInfoGradientDirection(), &T::HoverGradientDirection,
                      &T::SetHoverGradientDirection, 0)
            .Property("ImageIndex", TypeInfoInteger(), &T::ImageIndex, &T::SetImageIndex, 0)
            .Property("ShowClose", TypeInfoBoolean(), &T::ShowClose, &T::SetShowClose, 0)
            .Property("TabVisible", TypeInfoBoolean(), &T::TabVisible, &T::SetTabVisible, 1)
            .Property("TabEnable", TypeInfoBoolean(), &T::TabEnable, &T::SetTabEnable, 1)
            .Property("Highlighted", TypeInfoBoolean(), &T::Highlighted, &T::SetHighlighted, 0)
            .Property("PageIndex", TypeInfoInteger(), &T::PageIndex, &T::SetPageIndex)
            .StoredIf([](T&) { return false; })
            .Register();
    return info;
}

const TClassInfo* TAdvPageControl::ClassInfo() {
    using T = TAdvPageControl;
    static const TTypeInfo* tabStyle =
        MakeEnumTypeInfo("TTabStyle", {"tsClassic", "tsDotNet", "tsDelphi"}, "AdvPageControl");
    static const TTypeInfo* overlap = MakeRangeTypeInfo("TTabOverlapSize", TypeInfoInteger(), 0, 15);
    static const TTypeInfo* tabPosition =
        MakeEnumTypeInfo("TTabPosition", {"tpTop", "tpBottom", "tpLeft", "tpRight"}, "ComCtrls");
    static const TClassInfo* info =
        TClassInfoBuilder<T>("TAdvPageControl", TControl::ClassInfo(), "AdvPageControl")
            .Property(
                "ActivePage", TAdvTabSheet::ClassInfo()->TypeInfo(),
                [](T& C) { return Object(C.ActivePage()); },
                [](T& C, const TPropValue& V) {
                    C.SetActivePage(dynamic_cast<TAdvTabSheet*>(std::get<TObject*>(V)));
                })
            .Property(
                "ActiveFont", TFont::ClassInfo()->TypeInfo(), [](T& C) { return Object(C.ActiveFont()); },
                nullptr)
            .Property("ActiveColor", TypeInfoColor(), &T::ActiveColor, &T::SetActiveColor)
            .Property("ActiveColorTo", TypeInfoColor(), &T::ActiveColorTo, &T::SetActiveColorTo)
            .Property("DefaultTextColor", TypeInfoColor(), &T::DefaultTextColor, &T::SetDefaultTextColor)
            .Property("DefaultTabColor", TypeInfoColor(), &T::DefaultTabColor, &T::SetDefaultTabColor)
            .Property("DefaultTabColorTo", TypeInfoColor(), &T::DefaultTabColorTo, &T::SetDefaultTabColorTo)
            .Property("TabBorder3D", TypeInfoBoolean(), &T::TabBorder3D, &T::SetTabBorder3D)
            .Property("TabBorderColor", TypeInfoColor(), &T::TabBorderColor, &T::SetTabBorderColor)
            .Property("TabSheet3D", TypeInfoBoolean(), &T::TabSheet3D, &T::SetTabSheet3D)
            .Property("TabSheetBorderColor", TypeInfoColor(), &T::TabSheetBorderColor,
                      &T::SetTabSheetBorderColor)
            .Property("TabHoverColor", TypeInfoColor(), &T::TabHoverColor, &T::SetTabHoverColor)
            .Property("TabHoverColorTo", TypeInfoColor(), &T::TabHoverColorTo, &T::SetTabHoverColorTo)
            .Property("TabHoverBorder", TypeInfoColor(), &T::TabHoverBorder, &T::SetTabHoverBorder)
            .Property("TabBackGroundColor", TypeInfoColor(), &T::TabBackGroundColor,
                      &T::SetTabBackGroundColor)
            .Property(
                "TabMargin", TTabMargin::ClassInfo()->TypeInfo(), [](T& C) { return Object(C.TabMargin()); },
                nullptr)
            .Property("TabOverlap", overlap, &T::TabOverlap, &T::SetTabOverlap)
            .Property("TabSplitLine", TypeInfoBoolean(), &T::TabSplitLine, &T::SetTabSplitLine)
            .Property("RoundEdges", TypeInfoBoolean(), &T::RoundEdges, &T::SetRoundEdges)
            .Property("TabStyle", tabStyle, &T::TabStyle, &T::SetTabStyle)
            .Property("LowerActive", TypeInfoInteger(), &T::LowerActive, &T::SetLowerActive)
            .Property("ShowFocus", TypeInfoBoolean(), &T::ShowFocus, &T::SetShowFocus)
            .Property("FreeOnClose", TypeInfoBoolean(), &T::FreeOnClose, &T::SetFreeOnClose)
            .Property(
                "Images", TComponentClassInfo()->TypeInfo(), [](T& C) { return Object(C.Images()); },
                [](T& C, const TPropValue& V) {
                    C.SetImages(dynamic_cast<TCustomImageList*>(std::get<TObject*>(V)));
                })
            .Property("TabPosition", tabPosition, &T::TabPosition, &T::SetTabPosition)
            .Property("Version", TypeInfoAnsiString(), &T::Version, &T::SetVersion)
            .Property("HotTrack", TypeInfoBoolean(), &T::HotTrack, &T::SetHotTrack)
            .Property("MultiLine", TypeInfoBoolean(), &T::MultiLine, &T::SetMultiLine)
            .Property("RaggedRight", TypeInfoBoolean(), &T::RaggedRight, &T::SetRaggedRight)
            .Property("ScrollOpposite", TypeInfoBoolean(), &T::ScrollOpposite, &T::SetScrollOpposite)
            .Property("TabHeight", TypeInfoInteger(), &T::TabHeight, &T::SetTabHeight)
            .Property("TabWidth", TypeInfoInteger(), &T::TabWidth, &T::SetTabWidth)
            .Property("TabOrder", TypeInfoInteger(), &T::TabOrder, &T::SetTabOrder)
            .Property("TabStop", TypeInfoBoolean(), &T::TabStop, &T::SetTabStop)
            .Property("DockSite", TypeInfoBoolean(), &T::DockSite, &T::SetDockSite)
            .Register();
    return info;
}

void TAdvTabSheet::ReadState(TReader& Reader) {
    TCustomControl::ReadState(Reader);
    // Joined once its own values are read, so that the control's defaults
    // reach only the colours the sheet left unset.
    if (auto* control = dynamic_cast<TAdvPageControl*>(Reader.Parent())) SetPageControl(control);
}

void TAdvPageControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    (void)Root;
    for (TAdvTabSheet* page : std::vector<TAdvTabSheet*>(FPages))
        Proc(page);
}

void TAdvPageControl::SetChildOrder(TComponent* Child, int Order) {
    if (auto* page = dynamic_cast<TAdvTabSheet*>(Child); page && page->FPageControl == this)
        page->SetPageIndex(Order);
}
