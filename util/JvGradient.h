// The gradient control: a colour gradient in bands or nested shapes,
// rendered once into a bitmap of the control's size.
#pragma once

#include <memory>

#include "util/JvExControls.h"
#include "util/JvTypes.h"

class TJvGradient : public TJvExGraphicControl {
public:
    explicit TJvGradient(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

    TJvGradientStyle Style() const { return FStyle; }
    void SetStyle(TJvGradientStyle Value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor Value);
    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    uint16_t Steps() const { return FSteps; }
    void SetSteps(uint16_t Value);

    // The size the picture was last rendered at (0 x 0: render anew).
    int RenderedWidth() const { return FRenderedWidth; }
    int RenderedHeight() const { return FRenderedHeight; }
    // How many times the picture has been rendered.
    int RenderCount() const { return FRenderCount; }

protected:
    void Paint() override;

private:
    void Changed();
    void Render(int W, int H);
    TJvGradientStyle FStyle = TJvGradientStyle::grHorizontal;
    TColor FStartColor = clBlue;
    TColor FEndColor = clBlack;
    uint16_t FSteps = 100;
    std::unique_ptr<TBitmap> FBitmap = std::make_unique<TBitmap>();
    int FRenderedWidth = 0;
    int FRenderedHeight = 0;
    int FRenderCount = 0;
};
