// Timers through the timer seam (on screen a Qt timer, in tests the manual
// clock of platform/testing that the test advances), and the panels,
// bevels, radio groups and pictures of the windows.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/canvas/Graphics.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Classes.h"

class TTimer;

class ITimerService {
public:
    ITimerService();
    virtual ~ITimerService();
    ITimerService(const ITimerService&) = delete;
    ITimerService& operator=(const ITimerService&) = delete;
    // The service still exists.
    static bool Alive(ITimerService* Service);
    // (Re)starts Timer with its Interval; Stop forgets it.
    virtual void Start(TTimer* Timer) = 0;
    virtual void Stop(TTimer* Timer) = 0;
    // Milliseconds of the service's clock.
    virtual int64_t TickCount() = 0;
};
// Installs a service and returns the one it replaces (nullptr: the Qt one).
ITimerService* SetTimerService(ITimerService* Service);
ITimerService* TimerService();
int64_t GetTickCount();

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    TNotifyEvent OnTimer;
    // Called by the service when the interval has passed; an exception goes
    // to the application's handler.
    void Fire();

private:
    void Update();
    bool FEnabled = true;
    unsigned FInterval = 1000;
    // The service the timer runs on; a timer stops where it started.
    ITimerService* FService = nullptr;
};

enum class TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

// A container with bevels and a caption, painted by the layer.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;
    // Inside the border and the bevels.
    void AdjustClientRect(TRect& R) override;

    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void Paint() override;

private:
    void LayoutChanged();
    TPanelBevel FBevelOuter = TPanelBevel::bvRaised;
    TPanelBevel FBevelInner = TPanelBevel::bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = TAlignment::taCenter;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

// A line or frame that only decorates.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = TBevelShape::bsBox;
    TBevelStyle FStyle = TBevelStyle::bsLowered;
};

// A group box of radio buttons, one for each item, laid out in Columns.
// Choosing an item, by the user or by setting ItemIndex in code, fires
// OnClick; clearing the choice (-1) fires nothing.
class TCustomRadioGroup : public TCustomGroupBox {
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;
    void Dispatch(TMessage& Message) override;

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    // The radio button of item Index.
    TRadioButton* Buttons(int Index) const { return ListItem(FButtons, Index); }

protected:
    // A button of the group was checked.
    void ButtonClick(TRadioButton* Button);

private:
    void ItemsChanged();
    void ArrangeButtons();
    std::unique_ptr<TControlStrings> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
public:
    using TCustomRadioGroup::TCustomRadioGroup;
};

// A picture: a bitmap loaded from a BMP or PNG file. Pixels the file leaves
// transparent are drawn as nothing.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* Source) override;
    // Raises EInvalidGraphic when the file is not a picture it reads.
    void LoadFromFile(const AnsiString& FileName);
    TBitmap* Bitmap() const { return FBitmap.get(); }
    // The colour of the transparent pixels, clNone when there are none.
    TColor TransparentColor() const { return FTransparentColor; }
    int Width() const { return FBitmap->Width(); }
    int Height() const { return FBitmap->Height(); }
    bool Empty() const { return FBitmap->Empty(); }
    TNotifyEvent OnChange;

private:
    void Changed();
    std::unique_ptr<TBitmap> FBitmap;
    TColor FTransparentColor = clNone;
};

// Shows a picture at its top-left corner, centred or stretched over it.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    // Stretched keeping the picture's proportions.
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    // Takes the picture's size when the picture changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

protected:
    void Paint() override;

private:
    void PictureChanged();
    // Where the picture goes in the control.
    TRect DestRect() const;
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
    bool FAutoSize = false;
};
