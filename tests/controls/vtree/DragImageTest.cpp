// The drag image through the drag seam: how much of each pixel its picture
// shows (transparency, soft edge, colour key, darkening), how it follows the
// mouse under a move restriction, and a picture the drag draws itself.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "controls/vtree/VirtualTreesDragImage.h"
#include "platform/canvas/Graphics.h"
#include "platform/gui/DataObject.h"
#include "platform/testing/ScriptedDrag.h"

namespace {

constexpr int Width = 40, Height = 20;

// White, with a red block around the centre.
std::unique_ptr<TBitmap> Picture() {
    auto picture = std::make_unique<TBitmap>(Width, Height);
    picture->Canvas()->Brush()->SetColor(clWhite);
    picture->Canvas()->FillRect(TRect{0, 0, Width, Height});
    picture->Canvas()->Brush()->SetColor(clRed);
    picture->Canvas()->FillRect(TRect{10, 5, 30, 15});
    return picture;
}

uint32_t PixelAt(TBitmap& Image, int X, int Y) {
    return Image.ScanLine(Y)[X];
}
int AlphaAt(TBitmap& Image, int X, int Y) {
    return int(PixelAt(Image, X, Y) >> 24);
}
int RedAt(TBitmap& Image, int X, int Y) {
    return int(PixelAt(Image, X, Y) >> 16 & 0xFF);
}

} // namespace

TEST(VirtualTreeDragImage, ThePictureShowsEachPixelByTransparencyFadeAndKey) {
    struct TCase {
        const char* Name;
        bool Fade;
        TColor Key;
        int8_t PreBlendBias;
        int CentreAlpha, EdgeAlpha, BackgroundAlpha, CentreRed;
    };
    // The centre fades by nothing, the red block's left end (10, 10) by
    // e^(-8 * 10/40) = e^-2, the corner (0, 0) is background.
    const TCase cases[] = {
        {"a constant blend", false, clNone, 0, 140, 140, 140, 255},
        {"a soft edge", true, clNone, 0, 139, 19, 1, 255},
        {"a colour key hides the background, the rest fades", false, clWhite, 0, 139, 19, 0, 255},
        {"a darkening bias", false, clNone, -50, 140, 140, 140, 205},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriptedDrag drag;
        TVTDragImage image(nullptr);
        image.Transparency = 140;
        image.Fade = c.Fade;
        image.ColorKey = c.Key;
        image.PreBlendBias = c.PreBlendBias;
        image.Prepare(Picture().get(), TPoint{100, 50}, TPoint{120, 60}, nullptr);
        image.Show();
        ASSERT_TRUE(drag.PictureShown);
        TBitmap& shown = *drag.ShownPicture;
        EXPECT_EQ(c.CentreAlpha, AlphaAt(shown, Width / 2, Height / 2));
        EXPECT_EQ(c.EdgeAlpha, AlphaAt(shown, 10, 10));
        EXPECT_EQ(c.BackgroundAlpha, AlphaAt(shown, 0, 0));
        EXPECT_EQ(c.CentreRed, RedAt(shown, Width / 2, Height / 2));
    }
}

TEST(VirtualTreeDragImage, ThePictureFollowsTheMouseAsItsRestrictionAllows) {
    struct TCase {
        const char* Name;
        TVTDragMoveRestriction Restriction;
        TPoint Moved; // where the picture goes for a mouse move of (15, 20)
    };
    const TCase cases[] = {
        {"free", dmrNone, TPoint{115, 70}},
        {"horizontally only", dmrHorizontalOnly, TPoint{115, 50}},
        {"vertically only", dmrVerticalOnly, TPoint{100, 70}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriptedDrag drag;
        TVTDragImage image(nullptr);
        image.MoveRestriction = c.Restriction;
        image.Prepare(Picture().get(), TPoint{100, 50}, TPoint{120, 60}, nullptr);
        EXPECT_FALSE(image.WouldMove(TPoint{135, 80})) << "a hidden picture stays";
        image.Show();
        EXPECT_TRUE(image.WouldMove(TPoint{135, 80}));
        EXPECT_TRUE(image.MoveTo(TPoint{135, 80}, false));
        EXPECT_EQ((std::vector<TPoint>{{100, 50}, c.Moved}), drag.PicturePositions);
        EXPECT_EQ((TRect{c.Moved.X, c.Moved.Y, c.Moved.X + Width, c.Moved.Y + Height}), image.ScreenRect());
        // The mouse where it was: nothing moves.
        EXPECT_FALSE(image.WouldMove(TPoint{135, 80}));
        EXPECT_FALSE(image.MoveTo(TPoint{135, 80}, false));
        EXPECT_EQ(2u, drag.PicturePositions.size());
        image.Hide();
        EXPECT_FALSE(drag.PictureShown);
        EXPECT_TRUE(image.ScreenRect().IsEmpty());
    }
}

TEST(VirtualTreeDragImage, ADragThatDrawsThePictureGetsItWithTheMouseWhereItTookHold) {
    for (bool takes : {true, false}) {
        SCOPED_TRACE(takes ? "the drag draws it" : "the drag draws none");
        TScriptedDrag drag;
        drag.TakesPictures = takes;
        TVTDragImage image(nullptr);
        image.ColorKey = clWhite;
        image.Prepare(Picture().get(), TPoint{100, 50}, TPoint{107, 53},
                      std::make_shared<TBlockDataObject>());
        image.Show();
        ASSERT_EQ(takes ? 1u : 0u, drag.Pictures.size());
        if (takes) {
            EXPECT_EQ((TPoint{7, 3}), drag.Pictures[0].HotSpot);
            EXPECT_EQ(0, AlphaAt(*drag.Pictures[0].Image, 0, 0)) << "the key is transparent";
            EXPECT_TRUE(image.States().Contains(disSystemSupport));
        }
        // A picture the drag draws is never shown or moved by its owner.
        EXPECT_EQ(!takes, drag.PictureShown);
        EXPECT_EQ(!takes, image.Visible());
        image.Finish();
        EXPECT_FALSE(drag.PictureShown);
        EXPECT_TRUE(image.States().Empty());
    }
}
