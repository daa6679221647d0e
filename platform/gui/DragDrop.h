// Drag and drop of data objects: drop effects, the drag source and drop
// target interfaces, drop targets registered for windows, the pictures that
// follow the mouse, and the drag seam with its Qt implementation.
#pragma once

#include <memory>

#include "platform/gui/Controls.h"
#include "platform/gui/DataObject.h"

// What a drop does with the data (bits), and the scroll flag a target adds
// while it scrolls under the mouse.
constexpr uint32_t DROPEFFECT_NONE = 0;
constexpr uint32_t DROPEFFECT_COPY = 1;
constexpr uint32_t DROPEFFECT_MOVE = 2;
constexpr uint32_t DROPEFFECT_LINK = 4;
constexpr uint32_t DROPEFFECT_SCROLL = 0x80000000u;

constexpr HRESULT DRAGDROP_S_DROP = HRESULT(0x00040100);
constexpr HRESULT DRAGDROP_S_CANCEL = HRESULT(0x00040101);
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = HRESULT(0x00040102);
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = HRESULT(0x80040100u);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = HRESULT(0x80040101u);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = HRESULT(0x80040102u);

// Key state of a drag: the MK_ flags of mouse messages, and Alt.
constexpr unsigned MK_ALT = 0x20;

// The side that started a drag: asked whether the drag goes on, and told
// what the target under the mouse would do.
class IDropSource {
public:
    virtual ~IDropSource() = default;
    // S_OK to go on, DRAGDROP_S_DROP to drop, DRAGDROP_S_CANCEL to give up.
    virtual HRESULT QueryContinueDrag(bool EscapePressed, unsigned KeyState) = 0;
    // DRAGDROP_S_USEDEFAULTCURSORS, or S_OK after setting its own cursor.
    virtual HRESULT GiveFeedback(uint32_t Effect) = 0;
};

// A window that takes drops. Points are in screen coordinates; Effect comes
// in as the effects the source allows and goes out as what the target
// would do (or did, for Drop).
class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    virtual HRESULT DragEnter(const std::shared_ptr<IDataObject>& Data, unsigned KeyState, const TPoint& Pt,
                              uint32_t& Effect) = 0;
    virtual HRESULT DragOver(unsigned KeyState, const TPoint& Pt, uint32_t& Effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(const std::shared_ptr<IDataObject>& Data, unsigned KeyState, const TPoint& Pt,
                         uint32_t& Effect) = 0;
};

// Makes Control's window a drop target until revoked or destroyed. The
// control needs its window (DRAGDROP_E_INVALIDHWND otherwise).
HRESULT RegisterDragDrop(TWinControl* Control, std::shared_ptr<IDropTarget> Target);
HRESULT RevokeDragDrop(TWinControl* Control);
// The drop target of Control or of the nearest parent that has one, and
// that control; nullptr when there is none.
std::shared_ptr<IDropTarget> FindDropTarget(TControl* Control, TWinControl** Registered = nullptr);

class TBitmap;

// The picture that follows the mouse in a drag: 32-bit pixels whose alpha
// byte says how much of each covers what lies below it (0 none, 255 all),
// and the point of the picture that lies under the mouse.
struct TDragPicture {
    std::shared_ptr<TBitmap> Image;
    TPoint HotSpot;
};

// The drag seam: runs a drag until the source drops or gives up, and shows
// the pictures of drags. The layer installs a Qt implementation; tests
// install the scripted drag of platform/testing.
class IDragService {
public:
    virtual ~IDragService() = default;
    // DRAGDROP_S_DROP or DRAGDROP_S_CANCEL; Effect gets what the drop did.
    virtual HRESULT DoDragDrop(const std::shared_ptr<IDataObject>& Data, IDropSource& Source,
                               uint32_t OkEffects, uint32_t& Effect) = 0;
    // The next drag of Data draws Picture under the mouse itself; false when
    // the service draws no picture, and the caller may show its own.
    virtual bool SetDragPicture(const std::shared_ptr<IDataObject>& /*Data*/,
                                const TDragPicture& /*Picture*/) {
        return false;
    }
    // A picture its owner moves itself, over a drag that carries no data:
    // shown (again) with its top-left corner at a screen point, or hidden.
    virtual void ShowDragPicture(const TBitmap& /*Image*/, TPoint /*ScreenPos*/) {}
    virtual void HideDragPicture() {}
};
// Installs a service and returns the one it replaces (nullptr: the Qt one).
IDragService* SetDragService(IDragService* Service);
IDragService* DragService();

// Drags Data with the effects OkEffects allows; returns when the drag ends,
// DRAGDROP_S_DROP or DRAGDROP_S_CANCEL, with the effect performed in
// Effect (DROPEFFECT_NONE after a cancel or a refused drop).
HRESULT DoDragDrop(const std::shared_ptr<IDataObject>& Data, const std::shared_ptr<IDropSource>& Source,
                   uint32_t OkEffects, uint32_t& Effect);
