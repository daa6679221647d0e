// Where controls go and how windows are framed: anchors, tab order, labels'
// accelerators and sizes, size constraints, Escape, and pictures loaded
// from files into images and image lists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <cstdio>
#include <string>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/StdCtrls.h"

namespace {
template <class T> T* Put(TWinControl* Parent) {
    auto* c = new T(Parent);
    c->SetParent(Parent);
    return c;
}

// A picture file in the temporary folder, gone at the end of the test.
struct TPictureFile {
    TPictureFile(const QImage& Image, const char* Format) {
        Name = ::testing::TempDir() + "luvora_picture_" + std::to_string(reinterpret_cast<uintptr_t>(this)) +
               "." + Format;
        EXPECT_TRUE(Image.save(QString::fromStdString(Name), Format));
    }
    ~TPictureFile() { std::remove(Name.c_str()); }
    std::string Name;
};

// 16 x 16: a red square in the middle on a background that is transparent
// or, without alpha, white.
QImage Square(bool Alpha) {
    QImage image(16, 16, Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(Alpha ? Qt::transparent : Qt::white);
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}
} // namespace

TEST(AnchorsTest, ControlsKeepTheirDistancesToTheAnchoredEdges) {
    struct {
        TAnchors Anchors;
        TRect After; // the parent grows from 200 x 100 to 300 x 160
    } cases[] = {
        {akLeft | akTop, {10, 10, 60, 30}},
        {akRight | akBottom, {110, 70, 160, 90}},
        {akLeft | akTop | akRight, {10, 10, 160, 30}},
        {akLeft | akTop | akRight | akBottom, {10, 10, 160, 90}},
        {akTop, {60, 10, 110, 30}},
    };
    for (auto& c : cases) {
        TForm form(nullptr);
        auto* panel = Put<TPanel>(&form);
        panel->SetBorderWidth(0);
        panel->SetBevelOuter(TPanelBevel::bvNone);
        panel->SetBounds(0, 0, 200, 100);
        auto* edit = Put<TEdit>(panel);
        edit->SetBounds(10, 10, 50, 20);
        edit->SetAnchors(c.Anchors);
        panel->SetBounds(0, 0, 300, 160);
        EXPECT_EQ(edit->BoundsRect(), c.After) << c.Anchors;
    }
}

TEST(TabOrderTest, SettingAPlaceMovesTheOthersAlong) {
    TForm form(nullptr);
    auto* a = Put<TEdit>(&form);
    auto* b = Put<TEdit>(&form);
    auto* c = Put<TEdit>(&form);
    EXPECT_EQ(c->TabOrder(), 2) << "a new control comes last";
    c->SetTabOrder(0);
    EXPECT_EQ(a->TabOrder(), 1);
    EXPECT_EQ(b->TabOrder(), 2);
    a->SetTabOrder(99);
    EXPECT_EQ(a->TabOrder(), 2) << "past the end: last";
    auto list = form.TabOrderList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], c);
    EXPECT_EQ(list[1], b);
    EXPECT_EQ(list[2], a);
    delete b;
    EXPECT_EQ(a->TabOrder(), 1) << "the gap closes";
}

TEST(LabelTest, AutoSizeAndTheAcceleratorFocusesItsControl) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* label = Put<TLabel>(&form);
    auto* edit = Put<TEdit>(&form);
    auto* other = Put<TEdit>(&form);
    edit->SetTop(50);
    other->SetTop(100);
    label->SetCaption("&Фамилия:"_cp);
    int shortWidth = label->Width();
    label->SetCaption("&Фамилия, имя, отчество:"_cp);
    EXPECT_GT(label->Width(), shortWidth);
    label->SetFocusControl(edit);
    form.Show();
    QApplication::processEvents();
    other->SetFocus();
    EXPECT_NE(form.Perform(CM_DIALOGCHAR, uint8_t("ф"_cp[0]), 0), 0);
    EXPECT_TRUE(edit->Focused());
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr) << "a freed control is forgotten";
    form.Hide();
}

TEST(FormBorderTest, ConstraintsBoundTheSizeAndEscapeClosesOnlyWhenAsked) {
    TForm form(nullptr);
    form.Constraints()->SetMinWidth(605);
    form.Constraints()->SetMinHeight(500);
    EXPECT_EQ(form.Width(), 605) << "the form takes new limits at once";
    form.SetBounds(0, 0, 100, 900);
    EXPECT_EQ(form.Width(), 605);
    EXPECT_EQ(form.Height(), 900);
    form.SetBorderStyle(TFormBorderStyle::bsDialog);
    form.SetPosition(TPosition::poScreenCenter);
    for (bool closes : {false, true}) {
        form.CloseOnEscape = closes;
        form.Show();
        QApplication::processEvents();
        form.Perform(CM_DIALOGKEY, VK_ESCAPE, 0);
        EXPECT_EQ(form.Visible(), !closes);
        form.Hide();
    }
}

TEST(PictureTest, FilesLoadWithTheirTransparency) {
    TPictureFile png(Square(true), "png");
    TPictureFile bmp(Square(false), "bmp");
    TBitmap bitmap;
    TColor key = LoadPictureFile(png.Name, &bitmap);
    ASSERT_NE(key, clNone);
    EXPECT_EQ(bitmap.Pixel(0, 0), key) << "transparent pixels take the key";
    EXPECT_EQ(bitmap.Pixel(8, 8), RGB(255, 0, 0));
    EXPECT_NE(key, RGB(255, 0, 0));
    EXPECT_EQ(LoadPictureFile(bmp.Name, &bitmap), clNone);

    TImageList list(nullptr);
    list.SetWidth(16);
    list.SetHeight(16);
    EXPECT_EQ(list.AddImageFile(png.Name), 0);
    EXPECT_EQ(list.AddImageFile(bmp.Name, clDefault), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_THROW(list.AddImageFile(::testing::TempDir() + "no_such_picture.png"), EInvalidGraphic);

    // The bytes of a picture file built into a program: the same as the file.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(Square(true).save(&buffer, "png"));
    EXPECT_EQ(list.AddImageData(bytes.constData(), std::size_t(bytes.size())), 2);
    TBitmap fromFile, fromBytes;
    EXPECT_EQ(LoadPictureData(bytes.constData(), std::size_t(bytes.size()), &fromBytes),
              LoadPictureFile(png.Name, &fromFile));
    EXPECT_EQ(fromBytes.Pixel(0, 0), fromFile.Pixel(0, 0));
    EXPECT_EQ(fromBytes.Pixel(8, 8), RGB(255, 0, 0));
    EXPECT_THROW(list.AddImageData("not a picture", 13), EInvalidGraphic);
    EXPECT_EQ(list.Count(), 3);

    TForm form(nullptr);
    auto* image = new TImage(&form);
    image->SetParent(&form);
    image->SetAutoSize(true);
    image->Picture()->LoadFromFile(png.Name);
    EXPECT_EQ(image->Width(), 16);
    EXPECT_EQ(image->Picture()->TransparentColor(), key);
}
