// The read-only rich-text box on a Qt text edit: a document the RTF reader
// made, shown paragraph by paragraph, files loaded, and the plain lines.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/gui/ComCtrls.h"
#include "platform/gui/QtSupport_p.h"
#include "platform/gui/StdCtrls_p.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"

namespace {
constexpr int DefaultRichEditWidth = 185;
constexpr int DefaultRichEditHeight = 89;

QTextEdit* EditOf(const TCustomRichEdit* Edit) {
    return static_cast<QTextEdit*>(Edit->Widget());
}

Qt::Alignment QtAlignment(TRtfAlignment Alignment) {
    switch (Alignment) {
    case TRtfAlignment::raCenter:
        return Qt::AlignHCenter;
    case TRtfAlignment::raRight:
        return Qt::AlignRight;
    case TRtfAlignment::raJustify:
        return Qt::AlignJustify;
    default:
        return Qt::AlignLeft;
    }
}

// A line of plain text as a paragraph, in the box's font.
TRtfParagraph PlainParagraph(std::string_view Line) {
    TRtfParagraph p;
    if (!Line.empty()) {
        TRtfRun run;
        run.Text = AnsiToWide(Line);
        run.FontSize = 0; // the box's own
        p.Runs.push_back(std::move(run));
    }
    return p;
}

// Plain text as a document: one paragraph a line.
TRtfDocument PlainDocument(const TStrings& Lines) {
    TRtfDocument doc;
    for (int i = 0; i < Lines.Count(); ++i)
        doc.Paragraphs.push_back(PlainParagraph(Lines.Strings(i)));
    return doc;
}

// The same from the bytes of a file, lines ended by CR LF, LF or CR, up to
// MaxParts paragraphs and runs.
TRtfDocument PlainDocument(std::string_view Bytes, std::size_t MaxParts) {
    TRtfDocument doc;
    std::size_t parts = 0;
    for (std::size_t start = 0; start < Bytes.size();) {
        std::size_t end = std::min(Bytes.find_first_of("\r\n", start), Bytes.size());
        TRtfParagraph p = PlainParagraph(Bytes.substr(start, end - start));
        parts += 1 + p.Runs.size();
        if (parts > MaxParts) {
            doc.Cut = TRtfCut::rcLength;
            break;
        }
        doc.Paragraphs.push_back(std::move(p));
        if (end + 1 < Bytes.size() && Bytes[end] == '\r' && Bytes[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return doc;
}

// The whole of a regular file. A special file (a pipe, a device) is refused
// before anything is read from it, as it might never end.
std::string ReadFileBytes(const AnsiString& FileName, int64_t MaxSize) {
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw EReadError("Cannot open file \"" + FileName + "\": " + std::strerror(errno));
    TScopeGuard close([fd] { ::close(fd); });
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw EReadError("\"" + FileName + "\" is not a file that can be read");
    if (MaxSize >= 0 && st.st_size > MaxSize) throw EFileTooLarge("File \"" + FileName + "\" is too large");
    std::string bytes;
    bytes.reserve(std::size_t(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EReadError("Cannot read file \"" + FileName + "\": " + std::strerror(errno));
        if (n == 0) return bytes;
        bytes.append(buffer, std::size_t(n));
        // A file that grew while it was read is held to the same limit.
        if (MaxSize >= 0 && int64_t(bytes.size()) > MaxSize)
            throw EFileTooLarge("File \"" + FileName + "\" is too large");
    }
}
} // namespace

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TWinControl(AOwner),
      FLines(std::make_unique<TControlStrings>([this](TControlStrings::TChange, int) { LinesChanged(); })) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, DefaultRichEditWidth, DefaultRichEditHeight);
}

TCustomRichEdit::~TCustomRichEdit() = default;

QWidget* TCustomRichEdit::CreateWidget() {
    auto* edit = new QTextEdit();
    edit->setAcceptRichText(false);
    return edit;
}

void TCustomRichEdit::WidgetCreated() {
    QTextEdit* edit = EditOf(this);
    edit->setReadOnly(FReadOnly);
    edit->setTabChangesFocus(!WantTabs);
    edit->setLineWrapMode(FWordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    bool h = FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
    bool v = FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth;
    edit->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    ApplyControlColors(edit, this, true);
    ShowDocument();
}

void TCustomRichEdit::SetDocument(TRtfDocument Document) {
    FDocument = std::move(Document);
    {
        // Lines and Text follow the document's plain text.
        FSyncing = true;
        TScopeGuard end([this] { FSyncing = false; });
        FLines->Clear();
        AnsiString text;
        for (std::size_t i = 0; i < FDocument.Paragraphs.size(); ++i) {
            AnsiString line = WideToAnsi(FDocument.Paragraphs[i].Text());
            FLines->Add(line);
            if (i) text += "\r\n";
            text += line;
        }
        SetText(text);
    }
    ShowDocument();
}

void TCustomRichEdit::ShowDocument() {
    if (!HandleAllocated()) return;
    QTextEdit* edit = EditOf(this);
    QTextDocument* doc = edit->document();
    // The document shown is not an edit to undo, and one edit block lays it
    // out once: block by block, a document of many paragraphs took minutes.
    doc->setUndoRedoEnabled(false);
    doc->clear();
    doc->setDefaultFont(QtFont(Font()));
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    bool first = true;
    for (const TRtfParagraph& p : FDocument.Paragraphs) {
        QTextBlockFormat block;
        block.setAlignment(QtAlignment(p.Alignment));
        if (first)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        first = false;
        for (const TRtfRun& run : p.Runs) {
            QTextCharFormat format;
            if (!run.FontName.empty()) format.setFontFamilies({QtString(run.FontName)});
            if (run.FontSize > 0) format.setFontPointSize(run.FontSize / 2.0);
            format.setFontWeight(run.Bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.Italic);
            format.setFontUnderline(run.Underline);
            QString text = QString::fromStdU16String(run.Text);
            // A line break inside the paragraph.
            text.replace(QChar('\n'), QChar::LineSeparator);
            cursor.insertText(text, format);
        }
    }
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(true);
    edit->moveCursor(QTextCursor::Start);
}

void TCustomRichEdit::LoadFromFile(const AnsiString& FileName, const TRichEditLimits& Limits) {
    const std::string bytes = ReadFileBytes(FileName, Limits.MaxSize);
    if (!PlainText) {
        try {
            SetDocument(ReadRtf(bytes, Limits.MaxParts));
            return;
        } catch (const ERtfError&) {
            // Not rich text: shown as the plain text it is.
        }
    }
    SetDocument(PlainDocument(bytes, Limits.MaxParts));
}

void TCustomRichEdit::LinesChanged() {
    if (FSyncing) return;
    TStringList copy;
    copy.Assign(FLines.get());
    SetDocument(PlainDocument(copy));
}

void TCustomRichEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        if (!FSyncing) {
            TStringList lines;
            lines.SetText(Text());
            SetDocument(PlainDocument(lines));
        }
        break;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
        if (WantReturns) Message.Result |= DLGC_WANTALLKEYS;
        if (WantTabs) Message.Result |= DLGC_WANTTAB;
        return;
    case WM_COPY:
        EditOf(this)->copy();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
    FollowControlColors(this, Message.Msg, true);
    if (Message.Msg == CM_FONTCHANGED) ShowDocument();
}

void TCustomRichEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (HandleAllocated()) EditOf(this)->setReadOnly(Value);
}

void TCustomRichEdit::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    if (HandleAllocated()) WidgetCreated();
}

void TCustomRichEdit::SetWordWrap(bool Value) {
    FWordWrap = Value;
    if (HandleAllocated()) EditOf(this)->setLineWrapMode(Value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}
