// Controls as components of a stream: their published bounds, the children
// a windowed control writes, and the parent a control read back joins.
#include "platform/gui/Controls.h"
#include "platform/rtl/ComponentStreams.h"

const TClassInfo* TControl::ClassInfo() {
    static const TClassInfo* info =
        TClassInfoBuilder<TControl>("TControl", TComponentClassInfo(), "Controls")
            .Property("Left", TypeInfoInteger(), &TControl::Left, &TControl::SetLeft)
            .Property("Top", TypeInfoInteger(), &TControl::Top, &TControl::SetTop)
            .Property("Width", TypeInfoInteger(), &TControl::Width, &TControl::SetWidth)
            .Property("Height", TypeInfoInteger(), &TControl::Height, &TControl::SetHeight)
            .Register();
    return info;
}

void TControl::ReadState(TReader& Reader) {
    if (auto* parent = dynamic_cast<TWinControl*>(Reader.Parent())) SetParent(parent);
    TComponent::ReadState(Reader);
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TControl* control : std::vector<TControl*>(FControls))
        if (control->Owner() == Root) Proc(control);
}
