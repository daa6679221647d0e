// The bridge from Qt's accessibility to the controls that paint themselves:
// the accessible interface of the layer's widget asks its control's client
// object (WM_GETOBJECT) for name, role, state and children, and the
// control's events reach screen readers as Qt's accessibility events.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>
#include <map>

#include "platform/gui/Accessibility.h"
#include "platform/gui/QtEvents_p.h"
#include "platform/gui/QtSupport_p.h"

namespace {

QAccessible::Role QtRole(unsigned Role) {
    switch (Role) {
    case ROLE_SYSTEM_LIST:
        return QAccessible::List;
    case ROLE_SYSTEM_LISTITEM:
        return QAccessible::ListItem;
    case ROLE_SYSTEM_OUTLINE:
        return QAccessible::Tree;
    case ROLE_SYSTEM_OUTLINEITEM:
        return QAccessible::TreeItem;
    default:
        return QAccessible::Client;
    }
}

void AddStates(QAccessible::State& S, unsigned States) {
    if (States & STATE_SYSTEM_UNAVAILABLE) S.disabled = true;
    if (States & STATE_SYSTEM_SELECTED) S.selected = true;
    if (States & STATE_SYSTEM_FOCUSED) S.focused = true;
    if (States & STATE_SYSTEM_CHECKED) S.checked = S.checkable = true;
    if (States & STATE_SYSTEM_EXPANDED) S.expanded = S.expandable = true;
    if (States & STATE_SYSTEM_COLLAPSED) S.collapsed = S.expandable = true;
    if (States & STATE_SYSTEM_INVISIBLE) S.invisible = true;
    if (States & STATE_SYSTEM_FOCUSABLE) S.focusable = true;
    if (States & STATE_SYSTEM_SELECTABLE) S.selectable = true;
}

QRect QtRect(const TRect& R) {
    return QRect(R.Left, R.Top, R.Width(), R.Height());
}

class TLayerAccessible;

// A simple child of a control's client object.
class TLayerAccessibleItem : public QAccessibleInterface {
public:
    TLayerAccessibleItem(TLayerAccessible* Parent, int Child) : FParent(Parent), FChild(Child) {}
    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text T) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    TLayerAccessible* FParent;
    int FChild;
};

// The layer's widget of a control; without a client object it is a plain
// widget to Qt.
class TLayerAccessible : public QAccessibleWidget {
public:
    TLayerAccessible(QWidget* Widget, TWinControl* Control) : QAccessibleWidget(Widget), FControl(Control) {}
    ~TLayerAccessible() override {
        for (const auto& item : FItems)
            QAccessible::deleteAccessibleInterface(item.second);
    }

    TAccessibleObject* Object() const {
        if (!isValid()) return nullptr;
        return reinterpret_cast<TAccessibleObject*>(FControl->Perform(WM_GETOBJECT, 0, LPARAM(OBJID_CLIENT)));
    }
    // The interface of child Child (from 1), made once.
    QAccessibleInterface* Item(int Child) const {
        auto it = FItems.find(Child);
        if (it != FItems.end()) return QAccessible::accessibleInterface(it->second);
        auto* item = new TLayerAccessibleItem(const_cast<TLayerAccessible*>(this), Child);
        FItems[Child] = QAccessible::registerAccessibleInterface(item);
        return item;
    }
    int ItemIndex(int Child) const { return QAccessibleWidget::childCount() + Child - 1; }

    QString text(QAccessible::Text T) const override {
        if (TAccessibleObject* o = Object()) {
            if (T == QAccessible::Name) return QtString(o->Name(CHILDID_SELF));
            if (T == QAccessible::Value) return QtString(o->Value(CHILDID_SELF));
        }
        return QAccessibleWidget::text(T);
    }
    QAccessible::Role role() const override {
        TAccessibleObject* o = Object();
        return o ? QtRole(o->Role(CHILDID_SELF)) : QAccessibleWidget::role();
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (TAccessibleObject* o = Object()) AddStates(s, o->State(CHILDID_SELF));
        return s;
    }
    int childCount() const override {
        TAccessibleObject* o = Object();
        return QAccessibleWidget::childCount() + (o ? o->ChildCount() : 0);
    }
    QAccessibleInterface* child(int Index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (Index < widgets) return QAccessibleWidget::child(Index);
        TAccessibleObject* o = Object();
        const int child = Index - widgets + 1;
        return o && child <= o->ChildCount() ? Item(child) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* Child) const override {
        for (const auto& item : FItems)
            if (QAccessible::accessibleInterface(item.second) == Child) return ItemIndex(item.first);
        return QAccessibleWidget::indexOfChild(Child);
    }
    QAccessibleInterface* focusChild() const override {
        if (TAccessibleObject* o = Object()) {
            const int focus = o->FocusChild();
            if (focus > 0 && focus <= o->ChildCount()) return Item(focus);
        }
        return QAccessibleWidget::focusChild();
    }

private:
    TWinControl* FControl;
    mutable std::map<int, QAccessible::Id> FItems;
};

bool TLayerAccessibleItem::isValid() const {
    TAccessibleObject* o = FParent->Object();
    return o && FChild <= o->ChildCount();
}

QWindow* TLayerAccessibleItem::window() const {
    return FParent->window();
}

QAccessibleInterface* TLayerAccessibleItem::parent() const {
    return FParent;
}

QString TLayerAccessibleItem::text(QAccessible::Text T) const {
    TAccessibleObject* o = FParent->Object();
    if (!o) return {};
    if (T == QAccessible::Name) return QtString(o->Name(FChild));
    if (T == QAccessible::Value) return QtString(o->Value(FChild));
    return {};
}

QRect TLayerAccessibleItem::rect() const {
    TAccessibleObject* o = FParent->Object();
    return o ? QtRect(o->Location(FChild)) : QRect();
}

QAccessible::Role TLayerAccessibleItem::role() const {
    TAccessibleObject* o = FParent->Object();
    return o ? QtRole(o->Role(FChild)) : QAccessible::NoRole;
}

QAccessible::State TLayerAccessibleItem::state() const {
    QAccessible::State s;
    if (TAccessibleObject* o = FParent->Object()) AddStates(s, o->State(FChild));
    return s;
}

QAccessibleInterface* LayerAccessibleFactory(const QString& ClassName, QObject* Object) {
    (void)ClassName;
    auto* widget = qobject_cast<QWidget*>(Object);
    TWinControl* control = widget ? LayerWidgetControl(widget) : nullptr;
    return control ? new TLayerAccessible(widget, control) : nullptr;
}

TAccessibleEventListener& Listener() {
    static TAccessibleEventListener listener;
    return listener;
}

} // namespace

void SetAccessibleEventListener(TAccessibleEventListener Listener) {
    ::Listener() = std::move(Listener);
}

void InstallAccessibilityBridge() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(&LayerAccessibleFactory);
}

void NotifyWinEvent(unsigned Event, TWinControl* Control, long ObjectId, int Child) {
    if (!Control || ObjectId != OBJID_CLIENT || !Control->HandleAllocated()) return;
    auto* iface = dynamic_cast<TLayerAccessible*>(QAccessible::queryAccessibleInterface(Control->Widget()));
    if (!iface) return;
    TAccessibleObject* object = iface->Object();
    if (Child == CHILDID_SELF && Event == EVENT_OBJECT_FOCUS && object) Child = object->FocusChild();
    QAccessibleInterface* target = iface;
    if (Child > 0 && object && Child <= object->ChildCount())
        target = iface->Item(Child);
    else
        Child = CHILDID_SELF;
    if (Listener()) Listener()({Event, Control, Child, FromQtString(target->text(QAccessible::Name))});
    if (Event == EVENT_OBJECT_STATECHANGE) {
        QAccessible::State changed;
        changed.focused = changed.selected = changed.expanded = changed.collapsed = changed.checked = true;
        QAccessibleStateChangeEvent e(target, changed);
        QAccessible::updateAccessibility(&e);
        return;
    }
    if (Event == EVENT_OBJECT_VALUECHANGE) {
        QAccessibleValueChangeEvent e(target, target->text(QAccessible::Value));
        QAccessible::updateAccessibility(&e);
        return;
    }
    QAccessible::Event type;
    switch (Event) {
    case EVENT_OBJECT_FOCUS:
        type = QAccessible::Focus;
        break;
    case EVENT_OBJECT_SELECTION:
        type = QAccessible::Selection;
        break;
    case EVENT_OBJECT_LOCATIONCHANGE:
        type = QAccessible::LocationChanged;
        break;
    case EVENT_OBJECT_NAMECHANGE:
        type = QAccessible::NameChanged;
        break;
    default:
        return;
    }
    QAccessibleEvent e(target, type);
    QAccessible::updateAccessibility(&e);
}
