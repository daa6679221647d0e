// Accessibility of the controls that paint themselves: such a control answers
// WM_GETOBJECT for its client object (LParam OBJID_CLIENT) with a
// TAccessibleObject*, or 0 for none, and the layer's bridge to Qt's
// accessibility asks that object for names, roles, states and children;
// NotifyWinEvent tells screen readers what changed.
#pragma once

#include <functional>

#include "platform/gui/Controls.h"

constexpr unsigned WM_GETOBJECT = 0x003D;
// The object of a window's client area; the object itself among its children.
constexpr long OBJID_CLIENT = -4;
constexpr int CHILDID_SELF = 0;

// Roles and states, numbered as the platform numbers them.
constexpr unsigned ROLE_SYSTEM_CLIENT = 0x0A, ROLE_SYSTEM_LIST = 0x21, ROLE_SYSTEM_LISTITEM = 0x22,
                   ROLE_SYSTEM_OUTLINE = 0x23, ROLE_SYSTEM_OUTLINEITEM = 0x24;
constexpr unsigned STATE_SYSTEM_UNAVAILABLE = 0x1, STATE_SYSTEM_SELECTED = 0x2, STATE_SYSTEM_FOCUSED = 0x4,
                   STATE_SYSTEM_CHECKED = 0x10, STATE_SYSTEM_EXPANDED = 0x200, STATE_SYSTEM_COLLAPSED = 0x400,
                   STATE_SYSTEM_INVISIBLE = 0x8000, STATE_SYSTEM_FOCUSABLE = 0x100000,
                   STATE_SYSTEM_SELECTABLE = 0x200000;
// Events of an object.
constexpr unsigned EVENT_OBJECT_FOCUS = 0x8005, EVENT_OBJECT_SELECTION = 0x8006,
                   EVENT_OBJECT_STATECHANGE = 0x800A, EVENT_OBJECT_LOCATIONCHANGE = 0x800B,
                   EVENT_OBJECT_NAMECHANGE = 0x800C, EVENT_OBJECT_VALUECHANGE = 0x800E;

// The accessible object of a control's client area. Child CHILDID_SELF is
// the object itself; its simple children are numbered from 1.
class TAccessibleObject {
public:
    virtual ~TAccessibleObject() = default;
    virtual int ChildCount() { return 0; }
    virtual AnsiString Name(int Child) {
        (void)Child;
        return {};
    }
    virtual AnsiString Value(int Child) {
        (void)Child;
        return {};
    }
    virtual unsigned Role(int Child) {
        return Child == CHILDID_SELF ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_LISTITEM;
    }
    virtual unsigned State(int Child) {
        (void)Child;
        return 0;
    }
    // The child that has the focus, CHILDID_SELF for the object itself, or
    // -1 when the focus lies elsewhere.
    virtual int FocusChild() { return -1; }
    // In screen coordinates; empty when unknown.
    virtual TRect Location(int Child) {
        (void)Child;
        return {};
    }
};

// Tells screen readers of Event (EVENT_OBJECT_...) of Control's client
// object or of its child Child. A focus event of the object itself names
// the child that has the focus.
void NotifyWinEvent(unsigned Event, TWinControl* Control, long ObjectId, int Child);

// An event as a screen reader gets it: the child it names (CHILDID_SELF for
// the object) and that one's name, read through Qt's accessibility.
struct TAccessibleEventRecord {
    unsigned Event = 0;
    TWinControl* Control = nullptr;
    int Child = CHILDID_SELF;
    AnsiString Name;
};
// Qt hands events on only where a desktop's screen reader runs; a test
// listens here to what they would be. nullptr stops listening.
using TAccessibleEventListener = std::function<void(const TAccessibleEventRecord& Record)>;
void SetAccessibleEventListener(TAccessibleEventListener Listener);
