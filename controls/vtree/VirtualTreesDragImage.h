// The drag image: the translucent picture of dragged nodes or of a header
// button that follows the mouse, drawn by the drag itself where it can, or
// moved by its owner over the screen through the drag seam.
#pragma once

#include <memory>

#include "controls/vtree/VirtualTrees.h"

enum TVTDragMoveRestriction { dmrNone, dmrHorizontalOnly, dmrVerticalOnly };
enum TVTDragImageState { disHidden, disPrepared, disSystemSupport };
using TVTDragImageStates = TSet<TVTDragImageState, uint8_t>;

class TVTDragImage {
public:
    explicit TVTDragImage(TBaseVirtualTree* AOwner) : FOwner(AOwner) {}
    ~TVTDragImage();

    // The constant alpha of the blend, biases added to the colour bytes
    // before and after it, the soft edge, and the colour that is not shown.
    uint8_t Transparency = 128;
    int8_t PreBlendBias = 0;
    int8_t PostBlendBias = 0;
    bool Fade = false;
    TVTDragMoveRestriction MoveRestriction = dmrNone;
    TColor ColorKey = clNone;

    // Makes the picture of Picture, its top-left corner at ImagePosition and
    // the mouse at HotSpot (screen coordinates). With a data object the drag
    // of that data draws it when the drag seam takes it; otherwise it waits,
    // hidden, for Show.
    void Prepare(TBitmap* Picture, TPoint ImagePosition, TPoint HotSpot,
                 const std::shared_ptr<IDataObject>& DataObject);
    void Show();
    void Hide();
    // Hides the picture and lets it go.
    void Finish();
    // Follows the mouse to P (screen coordinates) as the restriction allows;
    // false when the picture stays where it is.
    bool MoveTo(TPoint P, bool ForceRepaint);
    bool WouldMove(TPoint P) const;
    // Where the picture shows on the screen; empty while it does not.
    TRect ScreenRect() const;
    bool Visible() const;
    TVTDragImageStates States() const { return FStates; }
    // The picture as it shows: its colours, and in each alpha byte how much
    // of the pixel covers what lies below; nil until prepared.
    TBitmap* ShownImage() const { return FShownImage.get(); }

private:
    void MakeImages(TBitmap* Picture);
    void ShowAtPosition();

    TBaseVirtualTree* FOwner;
    std::unique_ptr<TBitmap> FShownImage;
    TPoint FImagePosition;
    TPoint FLastPosition;
    TVTDragImageStates FStates;
};
