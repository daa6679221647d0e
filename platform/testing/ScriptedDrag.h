// The drag of the tests: the mouse's moves are scripted, the drop targets
// registered for the controls under it are driven through enter, over,
// leave and drop, and no display is needed.
#pragma once

#include <vector>

#include "platform/gui/DragDrop.h"

// Installs itself for its lifetime. A drag plays the moves scripted before
// it started: at each move the source is asked first whether the drag goes
// on (with the move's keys and Escape), then the mouse goes to the move's
// point. The drop happens where the source says so; a drag whose last
// target would do nothing ends there with a leave instead, and one that
// runs out of moves is cancelled.
class TScriptedDrag : public IDragService {
public:
    struct TMove {
        // The control under the mouse; nullptr outside every window.
        TControl* Over = nullptr;
        // In Over's client coordinates (in screen coordinates without one).
        TPoint At;
        // MK_ flags of the buttons and keys held, MK_ALT for Alt.
        unsigned KeyState = MK_LBUTTON;
        bool Escape = false;
    };
    // What a target was told, in order; Effect as the target answered it.
    struct TCall {
        AnsiString Name; // "enter", "over", "leave" or "drop"
        TWinControl* Target = nullptr;
        TPoint At; // in screen coordinates
        uint32_t Effect = DROPEFFECT_NONE;
    };

    TScriptedDrag();
    ~TScriptedDrag() override;
    HRESULT DoDragDrop(const std::shared_ptr<IDataObject>& Data, IDropSource& Source, uint32_t OkEffects,
                       uint32_t& Effect) override;
    // Records the picture when TakesPictures, else refuses it.
    bool SetDragPicture(const std::shared_ptr<IDataObject>& Data, const TDragPicture& Picture) override;
    void ShowDragPicture(const TBitmap& Image, TPoint ScreenPos) override;
    void HideDragPicture() override;

    // Scripting: the mouse moves with the button held, is released, or
    // Escape is pressed where it is.
    TScriptedDrag& MoveTo(TControl* Over, TPoint At, unsigned KeyState = MK_LBUTTON);
    TScriptedDrag& ReleaseAt(TControl* Over, TPoint At, unsigned KeyState = 0);
    TScriptedDrag& PressEscape();

    // The moves of the next drag; a drag uses them up.
    std::vector<TMove> Moves;
    std::vector<TCall> Calls;
    // Effects the source was told about, in order.
    std::vector<uint32_t> Feedback;
    int Drags = 0;

    // The pictures handed over for drags of data, each a copy.
    bool TakesPictures = true;
    std::vector<TDragPicture> Pictures;
    // The picture its owner moves: where it was shown, in order, a copy of
    // the last one, and whether it shows now.
    std::vector<TPoint> PicturePositions;
    std::shared_ptr<TBitmap> ShownPicture;
    bool PictureShown = false;

private:
    IDragService* FPrevious;
};
