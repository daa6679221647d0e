// Text on the Qt canvas: one Qt font per canvas font with its metrics and
// character advances, made once and kept, and text drawn as glyphs placed
// at those integer advances.
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QString>
#include <algorithm>
#include <array>
#include <map>
#include <tuple>
#include <vector>

#include "platform/canvas/QtCanvasSupport.h"
#include "platform/canvas/QtCanvas_p.h"

namespace {
// A font's orientation counts tenths of a degree.
constexpr double OrientationUnitsPerDegree = 10.0;
// Advances are kept in pages of this many UTF-16 units, made on first use.
constexpr std::size_t PageSize = 256;
constexpr std::size_t PageCount = 0x10000 / PageSize;
constexpr int Unmeasured = -1;
// Fonts made before the cache is emptied; canvases keep the ones they use.
constexpr std::size_t CacheLimit = 256;

bool IsHighSurrogate(char16_t C) {
    return C >= 0xD800 && C <= 0xDBFF;
}
bool IsLowSurrogate(char16_t C) {
    return C >= 0xDC00 && C <= 0xDFFF;
}
} // namespace

class TQtFont {
public:
    explicit TQtFont(const TFont& Font)
        : Font(QtFont(&Font)), Metrics(this->Font), Raw(QRawFont::fromFont(this->Font)) {
        Metric.tmAscent = Metrics.ascent();
        Metric.tmDescent = Metrics.descent();
        Metric.tmHeight = Metric.tmAscent + Metric.tmDescent;
        Metric.tmInternalLeading = std::max(0, Metric.tmHeight - Font.PixelSize());
        Metric.tmExternalLeading = std::max(0, Metrics.leading());
        Metric.tmAveCharWidth = Metrics.averageCharWidth();
        Metric.tmMaxCharWidth = Metrics.maxWidth();
    }

    int Advance(char16_t C) {
        auto& page = FPages[C / PageSize];
        if (!page) {
            page = std::make_unique<std::array<int, PageSize>>();
            page->fill(Unmeasured);
        }
        int& advance = (*page)[C % PageSize];
        if (advance == Unmeasured) advance = Metrics.horizontalAdvance(QChar(C));
        return advance;
    }

    QFont Font;
    QFontMetrics Metrics;
    // The first face of the font, whose glyphs are drawn at our positions;
    // characters it lacks are drawn one by one in the face Qt falls back to.
    QRawFont Raw;
    TTextMetric Metric;

private:
    std::array<std::unique_ptr<std::array<int, PageSize>>, PageCount> FPages;
};

namespace {
using TFontKey = std::tuple<AnsiString, int, TFontStyles>;

std::shared_ptr<TQtFont> FindFont(const TFont& Font) {
    // Never destroyed: fonts must not outlive the Qt application at exit.
    static auto* cache = new std::map<TFontKey, std::shared_ptr<TQtFont>>;
    TFontKey key{Font.Name(), Font.Height(), Font.Style()};
    auto found = cache->find(key);
    if (found != cache->end()) return found->second;
    if (cache->size() >= CacheLimit) cache->clear();
    auto made = std::make_shared<TQtFont>(Font);
    cache->emplace(std::move(key), made);
    return made;
}

QString ToQString(std::u16string_view Text) {
    return QString::fromUtf16(Text.data(), qsizetype(Text.size()));
}
} // namespace

TQtFont& TQtCanvas::CurrentFont() {
    TFont* font = Font();
    TImpl& d = *FImpl;
    if (!d.Font || d.FontHeight != font->Height() || d.FontStyle != font->Style() ||
        d.FontName != font->Name()) {
        d.Font = FindFont(*font);
        d.FontName = font->Name();
        d.FontHeight = font->Height();
        d.FontStyle = font->Style();
    }
    return *d.Font;
}

TTextMetric TQtCanvas::DoTextMetrics() {
    return CurrentFont().Metric;
}

void TQtCanvas::DoCharAdvances(std::u16string_view Text, int* Advances) {
    TQtFont& font = CurrentFont();
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char16_t c = Text[i];
        if (IsHighSurrogate(c) && i + 1 < Text.size() && IsLowSurrogate(Text[i + 1])) {
            Advances[i] = font.Metrics.horizontalAdvance(ToQString(Text.substr(i, 2)));
            Advances[++i] = 0;
        } else {
            Advances[i] = font.Advance(c);
        }
    }
}

void TQtCanvas::DoText(int X, int Y, std::u16string_view Text, const int* Advances, const TRect* Clip) {
    QPainter* painter = Painter();
    if (!painter) return;
    TQtFont& font = CurrentFont();
    TQtPaintScope p(painter, FOrigin, FClip, FScale.Window, FScale.Viewport);
    if (Clip) p->setClipRect(QRect(Clip->Left, Clip->Top, Clip->Width(), Clip->Height()), Qt::IntersectClip);
    p->translate(X, Y);
    int width = 0;
    for (std::size_t i = 0; i < Text.size(); ++i)
        width += Advances[i];
    if (Font()->Orientation() != 0)
        p->rotate(-Font()->Orientation() / OrientationUnitsPerDegree);
    else if (Brush()->Style() != TBrushStyle::bsClear)
        p->fillRect(QRect(0, 0, width, font.Metric.tmHeight), QtColor(Brush()->Color()));
    if (Text.empty()) return;
    p->setPen(QtColor(Font()->Color()));
    p->setFont(font.Font);

    // The first face's glyphs go as one run at our positions; the rest (a
    // fallback face, a surrogate pair) one character at a time.
    const qreal baseline = font.Metric.tmAscent;
    std::vector<quint32> glyphs(Text.size());
    int count = int(Text.size());
    bool oneToOne = std::none_of(Text.begin(), Text.end(),
                                 [](char16_t c) { return IsHighSurrogate(c) || IsLowSurrogate(c); });
    if (!oneToOne || !font.Raw.isValid() ||
        !font.Raw.glyphIndexesForChars(reinterpret_cast<const QChar*>(Text.data()), count, glyphs.data(),
                                       &count) ||
        count != int(Text.size()))
        std::fill(glyphs.begin(), glyphs.end(), 0);
    QList<quint32> runGlyphs;
    QList<QPointF> runPositions;
    int x = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (glyphs[i] != 0) {
            runGlyphs.append(glyphs[i]);
            runPositions.append(QPointF(x, baseline));
        } else if (!IsLowSurrogate(Text[i]) && Text[i] >= u' ') {
            std::size_t n = IsHighSurrogate(Text[i]) && i + 1 < Text.size() ? 2 : 1;
            p->drawText(QPointF(x, baseline), ToQString(Text.substr(i, n)));
        }
        x += Advances[i];
    }
    if (runGlyphs.isEmpty()) return;
    QGlyphRun run;
    run.setRawFont(font.Raw);
    run.setGlyphIndexes(runGlyphs);
    run.setPositions(runPositions);
    run.setUnderline(font.Font.underline());
    run.setStrikeOut(font.Font.strikeOut());
    p->drawGlyphRun(QPointF(0, 0), run);
}
