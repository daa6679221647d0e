// The Qt side of data transfer, headless: this program's data objects on
// Qt's clipboard as MIME types, another program's data read back as
// clipboard formats, and Qt's drag events reaching a registered target.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

#include "platform/gui/Clipbrd.h"
#include "platform/gui/DragDrop.h"
#include "platform/gui/Forms.h"

namespace {
struct QtDataTransferTest : ::testing::Test {
    void SetUp() override {
        Application->Initialize();
        if (!QGuiApplication::clipboard()) GTEST_SKIP() << "no clipboard on this platform";
    }
    void TearDown() override { QGuiApplication::clipboard()->clear(); }
    const TClipFormat Html = RegisterClipboardFormat("HTML Format");
    const TClipFormat Rtf = RegisterClipboardFormat("Rich Text Format");
    const TClipFormat TreeData = RegisterClipboardFormat("Virtual Tree Data");
};

std::string AsString(const TBytes& Bytes) {
    return std::string(Bytes.begin(), Bytes.end());
}

// The HTML format's envelope: a header of byte offsets, then the HTML.
TBytes Envelope(const std::string& Html, long Start, long End) {
    char header[128];
    int n = std::snprintf(header, sizeof header, "Version:1.0\r\nStartHTML:%08ld\r\nEndHTML:%08ld\r\n", Start,
                          End);
    std::string block = std::string(header, std::size_t(n)) + Html;
    return TBytes(block.begin(), block.end());
}

class TRecordingTarget : public IDropTarget {
public:
    uint32_t Answer = DROPEFFECT_COPY;
    std::vector<std::string> Calls;
    std::vector<TPoint> Points;
    unsigned Keys = 0;
    std::string Dropped;

    HRESULT DragEnter(const std::shared_ptr<IDataObject>& Data, unsigned KeyState, const TPoint& Pt,
                      uint32_t& Effect) override {
        FData = Data;
        return Record("enter", KeyState, Pt, Effect);
    }
    HRESULT DragOver(unsigned KeyState, const TPoint& Pt, uint32_t& Effect) override {
        return Record("over", KeyState, Pt, Effect);
    }
    HRESULT DragLeave() override {
        Calls.push_back("leave");
        return S_OK;
    }
    HRESULT Drop(const std::shared_ptr<IDataObject>& Data, unsigned KeyState, const TPoint& Pt,
                 uint32_t& Effect) override {
        if (auto text = GetDataBytes(*Data, CF_TEXT)) Dropped = TextFromBlock(*text);
        EXPECT_EQ(Data, FData) << "the drop brings the data the enter brought";
        return Record("drop", KeyState, Pt, Effect);
    }

private:
    HRESULT Record(const char* Call, unsigned KeyState, const TPoint& Pt, uint32_t& Effect) {
        Calls.push_back(Call);
        Points.push_back(Pt);
        Keys = KeyState;
        Effect &= Answer;
        return S_OK;
    }
    std::shared_ptr<IDataObject> FData;
};
} // namespace

TEST_F(QtDataTransferTest, ADataObjectOfThisProgramIsOfferedAsMimeTypes) {
    auto data = std::make_shared<TBlockDataObject>();
    data->SetBlock(CF_UNICODETEXT, UnicodeTextBlock(u"Отчёт"));
    std::string html = "<html><body><b>x</b></body></html>", rtf = "{\\rtf1 x}";
    // The envelope's offsets point at the HTML after the header.
    long start = long(Envelope(html, 0, 0).size() - html.size());
    data->SetBlock(Html, Envelope(html, start, start + long(html.size())));
    data->SetBlock(Rtf, TBytes(rtf.begin(), rtf.end()));
    data->SetBlock(TreeData, MakeSizedBlock("\1\2\0\3", 4));
    ASSERT_EQ(OleSetClipboard(data), S_OK);

    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->text(), QString::fromUtf8("Отчёт"));
    EXPECT_EQ(mime->html().toStdString(), html);
    EXPECT_EQ(mime->data("text/rtf").toStdString(), rtf);
    QByteArray tree = mime->data("application/x-luvora-clipboard;format=\"Virtual Tree Data\"");
    EXPECT_EQ(TBytes(tree.begin(), tree.end()), MakeSizedBlock("\1\2\0\3", 4)) << "byte for byte";

    std::shared_ptr<IDataObject> content;
    ASSERT_EQ(OleGetClipboard(content), S_OK);
    EXPECT_EQ(content, data) << "this program reads its own object back, not a copy";

    // Offsets beyond the block are refused: no HTML rather than bytes from
    // elsewhere.
    auto broken = std::make_shared<TBlockDataObject>();
    broken->SetBlock(Html, Envelope(html, start, start + 1000));
    ASSERT_EQ(OleSetClipboard(broken), S_OK);
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->html().isEmpty());
}

TEST_F(QtDataTransferTest, AnotherProgramsDataBecomesClipboardFormats) {
    auto* mime = new QMimeData;
    mime->setText(QString::fromUtf8("Группа 1"));
    mime->setHtml("<p>Группа</p>");
    mime->setData("text/rtf", "{\\rtf1 g}");
    mime->setData("application/x-luvora-clipboard;format=\"ZoroZudo Format\"", QByteArray("\2\0\0\0ab", 6));
    QGuiApplication::clipboard()->setMimeData(mime);

    TClipboard* clipboard = Clipboard();
    EXPECT_EQ(clipboard->AsText(), "Группа 1"_cp);
    EXPECT_EQ(UnicodeTextFromBlock(*clipboard->GetAsHandle(CF_UNICODETEXT)), u"Группа 1");
    EXPECT_EQ(AsString(*clipboard->GetAsHandle(Rtf)), "{\\rtf1 g}");
    auto native = ReadSizedBlock(*clipboard->GetAsHandle(RegisterClipboardFormat("ZoroZudo Format")));
    ASSERT_TRUE(native);
    EXPECT_EQ(AsString(*native), "ab");

    // The HTML arrives in the envelope, its offsets pointing at it.
    std::string envelope = TextFromBlock(*clipboard->GetAsHandle(Html));
    auto offset = [&](const char* Key) {
        return std::stoul(envelope.substr(envelope.find(Key) + strlen(Key)));
    };
    std::size_t from = offset("StartHTML:"), to = offset("EndHTML:");
    ASSERT_LE(to, envelope.size());
    EXPECT_EQ(envelope.substr(from, to - from), std::string("<p>Группа</p>"));
}

TEST_F(QtDataTransferTest, QtDragEventsReachTheRegisteredTarget) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* pane = new TCustomControl(&form);
    pane->SetParent(&form);
    pane->SetBounds(10, 20, 100, 50);
    auto target = std::make_shared<TRecordingTarget>();
    EXPECT_EQ(RegisterDragDrop(pane, target), DRAGDROP_E_INVALIDHWND) << "a drop target needs its window";
    pane->HandleNeeded();
    ASSERT_EQ(RegisterDragDrop(pane, target), S_OK);
    EXPECT_EQ(RegisterDragDrop(pane, target), DRAGDROP_E_ALREADYREGISTERED);
    QWidget* widget = pane->Widget();
    EXPECT_TRUE(widget->acceptDrops());

    QMimeData mime;
    mime.setText("dragged");
    QDragEnterEvent enter(QPoint(5, 6), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                          Qt::ControlModifier);
    QCoreApplication::sendEvent(widget, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    EXPECT_EQ(target->Keys, MK_LBUTTON | MK_CONTROL);
    QPoint global = widget->mapToGlobal(QPoint(5, 6));
    EXPECT_EQ(target->Points.back(), (TPoint{global.x(), global.y()})) << "points come in screen coordinates";

    target->Answer = DROPEFFECT_NONE;
    QDragMoveEvent refused(QPoint(7, 8), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &refused);
    EXPECT_FALSE(refused.isAccepted()) << "a target that would do nothing refuses the drop there";

    target->Answer = DROPEFFECT_COPY;
    QDropEvent drop(QPointF(9, 9), Qt::CopyAction | Qt::MoveAction, &mime, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(target->Dropped, "dragged");
    EXPECT_EQ(target->Calls, (std::vector<std::string>{"enter", "over", "drop"}));

    ASSERT_EQ(RevokeDragDrop(pane), S_OK);
    EXPECT_FALSE(widget->acceptDrops());
    EXPECT_EQ(RevokeDragDrop(pane), DRAGDROP_E_NOTREGISTERED);
}
