// The picture radio buttons and their group: the layout in columns, the
// arrow keys, the choice and its clicks, the items, and the drawing.
#include <gtest/gtest.h>

#include <algorithm>

#include "DialogTesting.h"
#include "platform/gui/Themes.h"
#include "richtext/print/control/RVOfficeRadioBtn.h"

namespace {
TRVOfficeRadioGroup* NewGroup(TForm& Form, int Items, int Columns = 1) {
    auto* group = new TRVOfficeRadioGroup(&Form);
    group->SetParent(&Form);
    group->SetColumns(Columns);
    for (int i = 0; i < Items; ++i)
        group->Items()->Add()->SetCaption("Item " + IntToStr(i));
    return group;
}

int FontHeight(TFont* Font) {
    TBitmap measure(1, 1);
    measure.Canvas()->SetFont(Font);
    return measure.Canvas()->TextMetrics().tmHeight;
}

// The button as its window paints it.
std::unique_ptr<TBitmap> Paint(TRVOfficeRadioButton* Button) {
    auto bitmap = std::make_unique<TBitmap>(Button->Width(), Button->Height());
    Button->PaintTo(bitmap->Canvas(), 0, 0);
    return bitmap;
}

int CountColor(TBitmap* Bitmap, const TRect& R, TColor Color) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            n += Bitmap->Pixel(x, y) == ColorToRGB(Color);
    return n;
}

// Pixels lighter than Color: the highlight of an embossed text, whose
// smoothed edges blend into the background.
int CountLighter(TBitmap* Bitmap, const TRect& R, TColor Color) {
    int n = 0;
    const int level = GetRValue(ColorToRGB(Color));
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            n += GetRValue(Bitmap->Pixel(x, y)) > level;
    return n;
}

// The classic look, whatever the desktop's style.
class TClassicLook {
public:
    TClassicLook() : FOld(ThemeServices()->ThemesEnabled()) { ThemeServices()->SetThemesEnabled(false); }
    ~TClassicLook() { ThemeServices()->SetThemesEnabled(FOld); }

private:
    bool FOld;
};
} // namespace

TEST(RVOfficeRadioBtnTest, TheGroupLaysItsButtonsOutInColumns) {
    TForm form(nullptr);
    TRVOfficeRadioGroup* group = NewGroup(form, 2);
    group->SetBounds(4, 126, 92, 196);
    ASSERT_EQ(group->ButtonCount(), 2);
    // Below the caption's height, a margin all round, rows sharing the rest.
    const int h = FontHeight(group->Font()), rowH = (196 - (h + 1) - 20) / 2;
    for (int i = 0; i < 2; ++i) {
        TOfficeGroupButton* b = group->Buttons(i);
        EXPECT_EQ(b->BoundsRect(), Bounds(15, h + 1 + 10 + i * rowH, 62, rowH)) << i;
        EXPECT_TRUE(b->Visible());
        EXPECT_EQ(b->Caption(), "Item " + IntToStr(i));
    }
    // Five items in two columns: three in the first, two in the second.
    TRVOfficeRadioGroup* five = NewGroup(form, 5, 2);
    five->SetBounds(0, 0, 220, 200);
    EXPECT_EQ(five->Buttons(2)->Left(), five->Buttons(0)->Left());
    EXPECT_EQ(five->Buttons(3)->Top(), five->Buttons(0)->Top());
    EXPECT_GT(five->Buttons(3)->Left(), five->Buttons(2)->Left());
    for (auto [set, kept] : {std::pair{0, 1}, {20, 16}, {3, 3}}) {
        five->SetColumns(set);
        EXPECT_EQ(five->Columns(), kept) << set;
    }
}

TEST(RVOfficeRadioBtnTest, ArrowsGoFromButtonToButtonOverEmptyPlaces) {
    TForm form(nullptr);
    TRVOfficeRadioGroup* group = NewGroup(form, 5, 2);
    struct TCase {
        int From;
        uint16_t Key;
        int To;
    };
    const TCase cases[] = {
        {2, VK_RIGHT, 0}, // past the empty sixth place
        {0, VK_RIGHT, 3}, {3, VK_RIGHT, 1}, {0, VK_LEFT, 2}, {3, VK_LEFT, 0},
        {2, VK_DOWN, 3},  {0, VK_UP, 4},    {4, VK_DOWN, 0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(group->FindNextButton(c.From, c.Key), c.To) << c.From << " key " << c.Key;
    group->Buttons(3)->SetEnabled(false);
    EXPECT_EQ(group->FindNextButton(2, VK_DOWN), 4) << "a disabled button is passed";
    group->SetEnabled(false);
    EXPECT_EQ(group->FindNextButton(0, VK_DOWN), -1);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(group->Buttons(i)->Enabled()) << i;
}

TEST(RVOfficeRadioBtnTest, TheChoiceClicksOnceAndTheGroupsOwnUpdatesDoNot) {
    TForm form(nullptr);
    TRVOfficeRadioGroup* group = NewGroup(form, 3);
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    group->SetItemIndex(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(group->Buttons(1)->Checked());
    group->SetItemIndex(7);
    EXPECT_EQ(group->ItemIndex(), 2) << "kept within the items";
    EXPECT_FALSE(group->Buttons(1)->Checked());
    EXPECT_EQ(clicks, 2);
    group->SetItemIndex(-1);
    EXPECT_EQ(clicks, 2) << "no choice is no click";
    EXPECT_FALSE(group->Buttons(2)->Checked());

    group->SetItemIndex(0);
    clicks = 0;
    group->Items()->Add()->SetCaption("Fourth");
    group->Items()->Items(0)->SetCaption("First");
    EXPECT_EQ(clicks, 0) << "rebuilding checks the chosen button without a click";
    EXPECT_TRUE(group->Buttons(0)->Checked());
    EXPECT_EQ(group->Buttons(0)->Caption(), "First");
    EXPECT_EQ(group->Buttons(3)->Caption(), "Fourth");
    group->Items()->Delete(0);
    EXPECT_EQ(group->ButtonCount(), 3);
    EXPECT_EQ(group->Buttons(0)->Caption(), "Item 1");
    group->Items()->Items(1)->SetEnabled(false);
    EXPECT_FALSE(group->Buttons(1)->Enabled());
    group->Items()->Clear();
    EXPECT_EQ(group->ButtonCount(), 0);
    EXPECT_EQ(group->ItemIndex(), -1);
}

TEST(RVOfficeRadioBtnTest, TheUserChoosesWithTheMouseTheArrowsAndTab) {
    TForm form(nullptr);
    form.SetBounds(30, 30, 400, 300);
    auto* before = new TButton(&form);
    before->SetParent(&form);
    TRVOfficeRadioGroup* group = NewGroup(form, 3, 3);
    group->SetBounds(10, 40, 360, 200);
    int clicks = 0, doubles = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    group->OnDblClickItem = [&](TObject*) { ++doubles; };
    ShowWindow(form);

    QTest::mouseClick(group->Buttons(2)->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    Pump();
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_EQ(clicks, 1);
    QTest::mouseDClick(group->Buttons(2)->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    Pump();
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(clicks, 1) << "the chosen button clicked again changes nothing";

    Press(group->Buttons(2), Qt::Key_Left);
    EXPECT_TRUE(group->Buttons(1)->Focused());
    EXPECT_EQ(group->ItemIndex(), 1) << "the button the focus reaches is chosen";
    EXPECT_EQ(clicks, 2);
    // Tab from the button before goes to the chosen one, the only tab stop.
    Press(before, Qt::Key_Tab);
    EXPECT_TRUE(group->Buttons(1)->Focused());
    EXPECT_EQ(group->ItemIndex(), 1);
}

TEST(RVOfficeRadioBtnTest, AGroupThatCannotBeChangedKeepsItsChoice) {
    class TFixedGroup : public TRVOfficeRadioGroup {
    public:
        using TRVOfficeRadioGroup::TRVOfficeRadioGroup;
        bool CanModify() const override { return false; }
    };
    TForm form(nullptr);
    form.SetBounds(30, 30, 300, 250);
    auto* group = new TFixedGroup(&form);
    group->SetParent(&form);
    group->SetBounds(10, 10, 260, 200);
    group->SetColumns(2);
    group->Items()->Add();
    group->Items()->Add();
    group->SetItemIndex(0);
    ShowWindow(form);
    Press(group->Buttons(0), Qt::Key_Right);
    EXPECT_TRUE(group->Buttons(1)->Focused());
    EXPECT_EQ(group->ItemIndex(), 0);
    Press(group->Buttons(1), Qt::Key_Space);
    QTest::mouseClick(group->Buttons(1)->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    Pump();
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_TRUE(group->Buttons(0)->Checked());
}

TEST(RVOfficeRadioBtnTest, TheButtonDrawsItsPictureFrameAndCaption) {
    TClassicLook classic;
    TForm form(nullptr);
    TImageList images(nullptr);
    images.SetSize(10, 10);
    TBitmap red(10, 10);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect({0, 0, 10, 10});
    images.Add(&red);
    auto* button = new TRVOfficeRadioButton(&form);
    button->SetParent(&form);
    button->SetBounds(0, 0, 65, 68);
    button->SetCaption("&Left");
    button->SetImages(&images);
    button->SetImageIndex(0);
    button->SetSelColor(clBlue);
    button->SetSquare(true);
    EXPECT_EQ(button->PictureBox(button->ClientRect()), Bounds(13, 0, 38, 38))
        << "the square in a 65 x 38 box";

    auto unchecked = Paint(button);
    EXPECT_EQ(unchecked->Pixel(32, 19), ColorToRGB(clRed)) << "the picture in the middle of the box";
    EXPECT_EQ(CountColor(unchecked.get(), {13, 0, 51, 38}, clBlue), 0);
    button->SetChecked(true);
    auto checked = Paint(button);
    // Two pixels of frame, four inside the box's edge.
    EXPECT_EQ(checked->Pixel(17, 19), ColorToRGB(clBlue));
    EXPECT_EQ(checked->Pixel(18, 19), ColorToRGB(clBlue));
    EXPECT_NE(checked->Pixel(19, 19), ColorToRGB(clBlue));
    EXPECT_GT(CountColor(checked.get(), {0, 40, 65, 68}, clBtnText), 0) << "the caption below";

    TRect given;
    button->OnCustomDraw = [&](TRVOfficeRadioButton*, TCanvas*, const TRect& R, bool& DoDefault) {
        given = R;
        DoDefault = false;
    };
    auto custom = Paint(button);
    EXPECT_EQ(given, Rect(13 + 6, 6, 51 - 6, 38 - 6));
    EXPECT_EQ(CountColor(custom.get(), {13, 0, 51, 38}, clRed), 0) << "no picture when the handler says so";
    button->OnCustomDraw = nullptr;

    // Disabled: an embossed caption, or a grey one.
    button->SetEnabled(false);
    auto embossed = Paint(button);
    EXPECT_GT(CountLighter(embossed.get(), {0, 40, 65, 68}, clBtnFace), 0);
    button->SetDisabled3D(false);
    auto grey = Paint(button);
    EXPECT_EQ(CountLighter(grey.get(), {0, 40, 65, 68}, clBtnFace), 0);
    EXPECT_GT(CountColor(grey.get(), {0, 40, 65, 68}, clBtnShadow), 0);
}

TEST(RVOfficeRadioBtnTest, ThemedTheBoxIsTheStylesAndTheParentShowsAround) {
    ThemeServices()->SetThemesEnabled(true);
    TForm form(nullptr);
    auto* button = new TRVOfficeRadioButton(&form);
    button->SetParent(&form);
    button->SetBounds(0, 0, 60, 80);
    button->SetSquare(true);
    EXPECT_TRUE(button->ControlStyle() & csParentBackground);
    // What lies beneath: the parent's painting.
    TBitmap bitmap(60, 80);
    bitmap.Canvas()->Brush()->SetColor(clLime);
    bitmap.Canvas()->FillRect({0, 0, 60, 80});
    button->PaintTo(bitmap.Canvas(), 0, 0);
    const TRect box = button->PictureBox(button->ClientRect());
    EXPECT_EQ(box, Bounds(5, 0, 50, 50));
    EXPECT_EQ(bitmap.Pixel(2, 25), clLime) << "beside the box";
    EXPECT_EQ(bitmap.Pixel(30, 25), ColorToRGB(clWindow)) << "inside it";
    EXPECT_NE(bitmap.Pixel(5, 25), clLime) << "its frame, drawn by the style";
    EXPECT_NE(bitmap.Pixel(5, 25), ColorToRGB(clWindow));
    button->SetUseXPThemes(false);
    button->PaintTo(bitmap.Canvas(), 0, 0);
    EXPECT_EQ(bitmap.Pixel(2, 25), ColorToRGB(button->Color())) << "unthemed, it paints its own background";
}
