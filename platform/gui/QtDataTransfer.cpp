// Data transfer on Qt: clipboard formats as MIME types, a data object
// offered to Qt and rendered when another program asks, another program's
// data read into a data object, the Qt clipboard and drag with their
// pictures, and the widgets of drop targets.
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <utility>

#include "platform/canvas/Graphics.h"
#include "platform/gui/QtDataTransfer_p.h"
#include "platform/gui/QtSupport_p.h"

namespace {
const QString PlainTextMime = QStringLiteral("text/plain");
const QString HtmlMime = QStringLiteral("text/html");
const QString RtfMime = QStringLiteral("text/rtf");
const QString RtfMimeAlias = QStringLiteral("application/rtf");
const QString UriListMime = QStringLiteral("text/uri-list");
const QString CsvMime = QStringLiteral("text/csv");
// A registered format travels under its own name as well, byte for byte.
const QString NamedFormatMime = QStringLiteral("application/x-luvora-clipboard;format=\"%1\"");
const QString NamedFormatPrefix = QStringLiteral("application/x-luvora-clipboard;format=\"");

// The registered formats that other programs know under a MIME type.
struct TStandardFormats {
    TClipFormat Rtf = RegisterClipboardFormat("Rich Text Format");
    TClipFormat Html = RegisterClipboardFormat("HTML Format");
    TClipFormat Url = RegisterClipboardFormat("UniformResourceLocator");
    TClipFormat Csv = RegisterClipboardFormat("CSV");
};
const TStandardFormats& Standard() {
    static const TStandardFormats formats;
    return formats;
}

QByteArray ToByteArray(const TBytes& Bytes) {
    return QByteArray(reinterpret_cast<const char*>(Bytes.data()), qsizetype(Bytes.size()));
}

TBytes FromByteArray(const QByteArray& Bytes) {
    return TBytes(Bytes.begin(), Bytes.end());
}

// The HTML format's header names byte offsets into the block: each one is
// checked against it. The HTML itself, or nothing for a broken header.
std::optional<QByteArray> HtmlFromEnvelope(const TBytes& Block) {
    std::string_view text(reinterpret_cast<const char*>(Block.data()), Block.size());
    std::string_view header = text.substr(0, text.find('<'));
    auto offset = [&](std::string_view Key) -> std::optional<std::size_t> {
        std::size_t at = header.find(Key);
        if (at == std::string_view::npos) return std::nullopt;
        std::string_view digits = header.substr(at + Key.size());
        std::size_t value = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end == digits.data()) return std::nullopt;
        return value;
    };
    auto range = [&](std::string_view Start, std::string_view End) -> std::optional<QByteArray> {
        auto from = offset(Start), to = offset(End);
        if (!from || !to || *from > *to || *to > Block.size()) return std::nullopt;
        return QByteArray(reinterpret_cast<const char*>(Block.data()) + *from, qsizetype(*to - *from));
    };
    if (auto html = range("StartHTML:", "EndHTML:")) return html;
    return range("StartFragment:", "EndFragment:");
}

// Another program's HTML in the HTML format's envelope, with one zero byte.
TBytes HtmlEnvelope(const QByteArray& Html) {
    const char* layout = "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\n"
                         "StartFragment:%010zu\r\nEndFragment:%010zu\r\n";
    std::size_t headerSize = std::size_t(
        std::snprintf(nullptr, 0, layout, std::size_t(0), std::size_t(0), std::size_t(0), std::size_t(0)));
    std::size_t end = headerSize + std::size_t(Html.size());
    std::string header(headerSize, '\0');
    std::snprintf(header.data(), headerSize + 1, layout, headerSize, end, headerSize, end);
    TBytes block(header.begin(), header.end());
    block.insert(block.end(), Html.begin(), Html.end());
    block.push_back(0);
    return block;
}

// The first address of a URI list.
QByteArray FirstUri(const QByteArray& List) {
    for (const QByteArray& line : List.split('\n')) {
        QByteArray uri = line.trimmed();
        if (!uri.isEmpty() && !uri.startsWith('#')) return uri;
    }
    return {};
}

// A data object of this program offered to Qt: its formats become MIME
// types, each rendered when asked for.
class TDataObjectMime : public QMimeData {
public:
    explicit TDataObjectMime(std::shared_ptr<IDataObject> Data) : FData(std::move(Data)) {}
    const std::shared_ptr<IDataObject>& Data() const { return FData; }

    QStringList formats() const override {
        QStringList mimes;
        auto add = [&](const QString& Mime) {
            if (!mimes.contains(Mime)) mimes.push_back(Mime);
        };
        try {
            const TStandardFormats& s = Standard();
            for (const FORMATETC& f : OfferedFormats(*FData)) {
                TClipFormat c = f.cfFormat;
                if (c == CF_TEXT || c == CF_UNICODETEXT) add(PlainTextMime);
                if (c == s.Html) add(HtmlMime);
                if (c == s.Rtf) add(RtfMime);
                if (c == s.Url) add(UriListMime);
                if (c == s.Csv) add(CsvMime);
                AnsiString name = GetClipboardFormatName(c);
                if (!name.empty()) add(NamedFormatMime.arg(QtString(name)));
            }
        } catch (...) {
            // A data object that fails to list its formats offers none.
        }
        return mimes;
    }
    bool hasFormat(const QString& Mime) const override { return formats().contains(Mime); }

protected:
    QVariant retrieveData(const QString& Mime, QMetaType) const override {
        try {
            return Render(Mime);
        } catch (...) {
            return {}; // nothing may reach Qt's event loop
        }
    }

private:
    QVariant Render(const QString& Mime) const {
        const TStandardFormats& s = Standard();
        auto bytes = [&](TClipFormat Format) { return GetDataBytes(*FData, Format); };
        if (Mime == PlainTextMime) {
            if (auto wide = bytes(CF_UNICODETEXT)) {
                WideString text = UnicodeTextFromBlock(*wide);
                return QString::fromUtf16(text.data(), qsizetype(text.size()));
            }
            if (auto text = bytes(CF_TEXT)) return QtString(TextFromBlock(*text));
            return {};
        }
        if (Mime == HtmlMime) {
            auto block = bytes(s.Html);
            auto html = block ? HtmlFromEnvelope(*block) : std::nullopt;
            return html ? QVariant(*html) : QVariant();
        }
        if (Mime == RtfMime || Mime == RtfMimeAlias) {
            auto block = bytes(s.Rtf);
            return block ? QVariant(ToByteArray(*block)) : QVariant();
        }
        if (Mime == UriListMime) {
            auto block = bytes(s.Url);
            return block ? QVariant(QtString(TextFromBlock(*block)).toUtf8() + "\r\n") : QVariant();
        }
        if (Mime == CsvMime) {
            auto block = bytes(s.Csv);
            return block ? QVariant(QtString(TextFromBlock(*block)).toUtf8()) : QVariant();
        }
        if (Mime.startsWith(NamedFormatPrefix) && Mime.endsWith('"')) {
            QString name = Mime.mid(NamedFormatPrefix.size(), Mime.size() - NamedFormatPrefix.size() - 1);
            auto block = bytes(RegisterClipboardFormat(FromQtString(name)));
            return block ? QVariant(ToByteArray(*block)) : QVariant();
        }
        return {};
    }

    std::shared_ptr<IDataObject> FData;
};

// Another program's data, read once into blocks: its own named formats
// byte for byte, then the standard MIME types that no named format
// already gave.
std::shared_ptr<IDataObject> Snapshot(const QMimeData& Mime) {
    auto data = std::make_shared<TBlockDataObject>();
    for (const QString& m : Mime.formats())
        if (m.startsWith(NamedFormatPrefix) && m.endsWith('"')) {
            QString name = m.mid(NamedFormatPrefix.size(), m.size() - NamedFormatPrefix.size() - 1);
            if (TClipFormat f = RegisterClipboardFormat(FromQtString(name)))
                data->SetBlock(f, FromByteArray(Mime.data(m)));
        }
    auto missing = [&](TClipFormat Format) { return data->Block(Format) == nullptr; };
    const TStandardFormats& s = Standard();
    if (Mime.hasText()) {
        QString text = Mime.text();
        if (missing(CF_UNICODETEXT))
            data->SetBlock(CF_UNICODETEXT,
                           UnicodeTextBlock(WideString(reinterpret_cast<const char16_t*>(text.utf16()),
                                                       std::size_t(text.size()))));
        if (missing(CF_TEXT)) data->SetBlock(CF_TEXT, TextBlock(FromQtString(text)));
    }
    if (Mime.hasHtml() && missing(s.Html)) data->SetBlock(s.Html, HtmlEnvelope(Mime.data(HtmlMime)));
    for (const QString& rtf : {RtfMime, RtfMimeAlias})
        if (Mime.hasFormat(rtf) && missing(s.Rtf)) data->SetBlock(s.Rtf, FromByteArray(Mime.data(rtf)));
    if (Mime.hasFormat(UriListMime) && missing(s.Url))
        data->SetBlock(s.Url, TextBlock(FromQtString(QString::fromUtf8(FirstUri(Mime.data(UriListMime))))));
    if (Mime.hasFormat(CsvMime) && missing(s.Csv))
        data->SetBlock(s.Csv, TextBlock(FromQtString(QString::fromUtf8(Mime.data(CsvMime)))));
    return data->Empty() ? nullptr : data;
}

// The data object behind Qt's data: this program's own object when it
// comes from here, a snapshot of another program's otherwise.
std::shared_ptr<IDataObject> DataObjectOf(const QMimeData* Mime) {
    if (!Mime) return nullptr;
    if (auto* own = dynamic_cast<const TDataObjectMime*>(Mime)) return own->Data();
    return Snapshot(*Mime);
}

class TQtClipboard : public IClipboardService {
public:
    bool GetContent(std::shared_ptr<IDataObject>& Data) override {
        Data = nullptr;
        QClipboard* clipboard = Clipboard();
        if (!clipboard) return false;
        Data = DataObjectOf(clipboard->mimeData());
        return true;
    }
    bool SetContent(std::shared_ptr<IDataObject> Data) override {
        QClipboard* clipboard = Clipboard();
        if (!clipboard) return false;
        if (Data)
            clipboard->setMimeData(new TDataObjectMime(std::move(Data)));
        else
            clipboard->clear();
        return true;
    }

private:
    static QClipboard* Clipboard() {
        EnsureQtApplication();
        return QGuiApplication::clipboard();
    }
};

Qt::DropActions ActionsOf(uint32_t Effects) {
    Qt::DropActions actions;
    if (Effects & DROPEFFECT_COPY) actions |= Qt::CopyAction;
    if (Effects & DROPEFFECT_MOVE) actions |= Qt::MoveAction;
    if (Effects & DROPEFFECT_LINK) actions |= Qt::LinkAction;
    return actions;
}

uint32_t EffectsOf(Qt::DropActions Actions) {
    uint32_t effects = DROPEFFECT_NONE;
    if (Actions & Qt::CopyAction) effects |= DROPEFFECT_COPY;
    if (Actions & Qt::MoveAction) effects |= DROPEFFECT_MOVE;
    if (Actions & Qt::LinkAction) effects |= DROPEFFECT_LINK;
    return effects;
}

// Qt takes one action: with several effects, copy comes first, as it
// leaves the source's data alone.
Qt::DropAction ActionOf(uint32_t Effect) {
    if (Effect & DROPEFFECT_COPY) return Qt::CopyAction;
    if (Effect & DROPEFFECT_MOVE) return Qt::MoveAction;
    if (Effect & DROPEFFECT_LINK) return Qt::LinkAction;
    return Qt::IgnoreAction;
}

// A drag picture's pixels with their alpha bytes.
QImage PictureImage(const TBitmap& Image) {
    QImage image = static_cast<const QImage*>(Image.Image())->copy();
    image.reinterpretAsFormat(QImage::Format_ARGB32);
    return image;
}

// A window of the picture's shape that the window system blends over what
// lies below it; the mouse passes through it.
class TPictureWindow : public QWidget {
public:
    TPictureWindow()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput) {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QImage Picture;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, Picture);
    }
};

class TQtDrag : public IDragService {
public:
    bool SetDragPicture(const std::shared_ptr<IDataObject>& Data, const TDragPicture& Picture) override {
        if (!Data || !Picture.Image || Picture.Image->Empty()) return false;
        FPictureData = Data;
        FPicture = PictureImage(*Picture.Image);
        FHotSpot = QPoint(Picture.HotSpot.X, Picture.HotSpot.Y);
        return true;
    }

    void ShowDragPicture(const TBitmap& Image, TPoint ScreenPos) override {
        EnsureQtApplication();
        if (!FWindow) FWindow = std::make_unique<TPictureWindow>();
        FWindow->Picture = PictureImage(Image);
        FWindow->setGeometry(ScreenPos.X, ScreenPos.Y, Image.Width(), Image.Height());
        FWindow->show();
        FWindow->update();
    }

    // The window goes with the picture, never outliving the application.
    void HideDragPicture() override { FWindow.reset(); }

    HRESULT DoDragDrop(const std::shared_ptr<IDataObject>& Data, IDropSource&, uint32_t OkEffects,
                       uint32_t& Effect) override {
        Effect = DROPEFFECT_NONE;
        EnsureQtApplication();
        // The picture given for this data goes with this drag only.
        const bool withPicture = FPictureData.lock() == Data;
        QImage picture = std::exchange(FPicture, QImage());
        FPictureData.reset();
        Qt::DropActions allowed = ActionsOf(OkEffects);
        if (!allowed) return DRAGDROP_S_CANCEL;
        QObject* from = QApplication::focusWidget();
        if (!from) from = QApplication::activeWindow();
        if (!from) from = QCoreApplication::instance();
        // Qt's drag loop decides on dropping and cancelling (releasing the
        // button, Escape) and frees the drag itself.
        auto* drag = new QDrag(from);
        drag->setMimeData(new TDataObjectMime(Data));
        if (withPicture) {
            drag->setPixmap(QPixmap::fromImage(picture));
            drag->setHotSpot(FHotSpot);
        }
        Qt::DropAction done = drag->exec(allowed);
        Effect = EffectsOf(done) & OkEffects;
        return done == Qt::IgnoreAction ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }

private:
    std::weak_ptr<IDataObject> FPictureData;
    QImage FPicture;
    QPoint FHotSpot;
    std::unique_ptr<TPictureWindow> FWindow;
};

// Hands the drag events of a drop target's widget to its registered target.
class TDropBridge : public QObject {
public:
    TDropBridge(TWinControl* Control, QWidget* Widget) : QObject(Widget), FControl(Control) {}

    bool eventFilter(QObject* Watched, QEvent* Event) override {
        switch (Event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            Handle(static_cast<QWidget*>(Watched), static_cast<QDropEvent*>(Event));
            return true;
        case QEvent::DragLeave:
            Call([&](IDropTarget& Target) { Target.DragLeave(); });
            FData.reset();
            return true;
        default:
            return false;
        }
    }

private:
    template <class F> void Call(F&& Action) {
        std::shared_ptr<IDropTarget> target = FindDropTarget(FControl);
        if (target) CallAtEventBoundary(FControl, [&] { Action(*target); });
    }

    void Handle(QWidget* Widget, QDropEvent* E) {
        QPoint global = Widget->mapToGlobal(E->position().toPoint());
        TPoint pt{global.x(), global.y()};
        unsigned keys = 0;
        if (E->buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
        if (E->buttons() & Qt::RightButton) keys |= MK_RBUTTON;
        if (E->buttons() & Qt::MiddleButton) keys |= MK_MBUTTON;
        if (E->modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
        if (E->modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
        if (E->modifiers() & Qt::AltModifier) keys |= MK_ALT;
        uint32_t allowed = EffectsOf(E->possibleActions());
        uint32_t effect = allowed;
        HRESULT result = E_FAIL;
        switch (E->type()) {
        case QEvent::DragEnter:
            FData = DataObjectOf(E->mimeData());
            Call([&](IDropTarget& Target) { result = Target.DragEnter(FData, keys, pt, effect); });
            break;
        case QEvent::DragMove:
            Call([&](IDropTarget& Target) { result = Target.DragOver(keys, pt, effect); });
            break;
        default: {
            std::shared_ptr<IDataObject> data = FData ? std::move(FData) : DataObjectOf(E->mimeData());
            FData.reset();
            Call([&](IDropTarget& Target) { result = Target.Drop(data, keys, pt, effect); });
            break;
        }
        }
        Qt::DropAction action = SUCCEEDED(result) ? ActionOf(effect & allowed) : Qt::IgnoreAction;
        if (action != Qt::IgnoreAction) {
            E->setDropAction(action);
            E->accept();
        } else if (E->type() == QEvent::DragEnter) {
            // Accepted all the same: a refused enter would hide the moves
            // after it, where the target may well take the drop.
            E->accept();
        } else {
            E->ignore();
        }
    }

    TWinControl* FControl;
    std::shared_ptr<IDataObject> FData;
};
} // namespace

IClipboardService* QtClipboardService() {
    static TQtClipboard clipboard;
    return &clipboard;
}

IDragService* QtDragService() {
    static TQtDrag drag;
    return &drag;
}

void AcceptQtDrops(TWinControl* Control, bool Accept) {
    QWidget* widget = Control->Widget();
    for (QObject* child : widget->children())
        if (auto* bridge = dynamic_cast<TDropBridge*>(child)) {
            widget->removeEventFilter(bridge);
            delete bridge;
        }
    widget->setAcceptDrops(Accept);
    if (Accept) widget->installEventFilter(new TDropBridge(Control, widget));
}
