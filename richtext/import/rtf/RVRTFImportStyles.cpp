// Text and paragraph styles for imported RTF: the style given, the closest
// existing style by a weighted score, or an equal style added when there
// is none; RTF borders converted to paragraph borders.
#include <cmath>
#include <cstring>

#include "richtext/import/rtf/RVRTFImport_p.h"

// What the reader's character state asks of a text style.
struct TRVRTFTextStyleWish {
    AnsiString FontName;
    AnsiString FontNameLower;
    uint8_t Charset = 1;
    int Size = 12;
    TColor Color = RVRTFAutoColor;
    TColor BackColor = clNone;
    TColor UnderlineColor = clNone;
    TFontStyles Style = 0;
    bool AllCaps = false;
    int CharScale = 100;
    int CharSpacing = 0; // pixels
    TRVSubSuperScriptType SubSuperScript = rvsssNormal;
    int VShift = 0; // per cent of the size
    int Offset = 0; // half-points
    TRVUnderlineType UnderlineType = rvutNormal;
    bool Unicode = false;
    bool Hypertext = false;
    TRVProtectOptions Protection = 0;
};

struct TRVRTFBorderWish {
    TRVBorderStyle Style = rvbNone;
    int Width = 0;
    int InternalWidth = 0;
};

// What the reader's paragraph state asks of a paragraph style.
struct TRVRTFParaStyleWish {
    TRVAlignment Alignment = rvaLeft;
    int LeftIndent = 0, RightIndent = 0, FirstIndent = 0, SpaceBefore = 0, SpaceAfter = 0;
    bool LineSpacingMulti = true;
    int LineSpacing = 240; // twips, as \sl gave it
    int LineSpacingPercent = 100;
    TColor Background = clNone;
    bool KeepTogether = false, KeepWithNext = false;
    bool HasBorders = false;
    TRVRTFParaBorder Border;
    std::array<int, 4> Offsets{}; // pixels
    struct TTab {
        int Position;
        TRVTabAlign Align;
        AnsiString Leader;
    };
    std::vector<TTab> Tabs;
};

namespace {

int Sign(int Value) {
    return (Value > 0) - (Value < 0);
}

TRVTabAlign TabAlign(uint8_t Align) {
    return Align == 1 || Align == 3 ? rvtaRight : Align == 2 ? rvtaCenter : rvtaLeft;
}

AnsiString TabLeader(uint8_t Leader) {
    switch (Leader) {
    case 1:
        return ".";
    case 2:
        return "\xB7";
    case 3:
        return "-";
    case 4:
        return "_";
    case 5:
        return "=";
    default:
        return AnsiString();
    }
}

// An RTF border type and width (twips) as a paragraph border; R: the side
// is the right or the bottom one.
TRVRTFBorderWish ConvertBorder(int Type, int Width, double F, bool R) {
    int w = int(std::lround(Width * F));
    int h = int(std::lround(Width * F / 2));
    TRVRTFBorderWish b;
    auto thick = [&](bool InsideWhenR) { return (R == InsideWhenR) ? rvbThickInside : rvbThickOutside; };
    switch (Type) {
    case 0:
        return b;
    case 2:
        return {rvbSingle, int(std::lround(2 * Width * F)), 0};
    case 7:
        return {rvbSingle, 1, 0};
    case 4:
    case 22:
    case 11:
        return {Type == 11 ? rvbTriple : rvbDouble, w, 2 * w - 1};
    case 12:
        return {thick(true), h, h + (h + 1) / 2};
    case 13: {
        int k = int(std::lround(Width * F * 3 / 8)) + 1;
        return {thick(false), k, k + (k + 1) / 2};
    }
    case 15:
        return {thick(true), h, 2 * h + (h + 1) / 2};
    case 16:
        return {thick(false), h, 2 * h + (h + 1) / 2};
    case 18:
        return {thick(true), 1, w + 1};
    case 19:
        return {thick(false), 1, w + 1};
    case 14: {
        int t = int(std::lround(Width * F / 3));
        return {rvbTriple, t, 2 * t - 1};
    }
    case 17:
        return {rvbTriple, h, 3 * h - 1};
    case 20:
        return {rvbTriple, 1, w};
    default:
        if (Type > 27) return {rvbNone, 0, 0};
        return {rvbSingle, w, 0};
    }
}

int BorderThickness(const TRVRTFBorderWish& B) {
    switch (B.Style) {
    case rvbSingle:
        return B.Width;
    case rvbDouble:
        return 2 * B.Width + B.InternalWidth;
    case rvbTriple:
        return 3 * B.Width + 2 * B.InternalWidth;
    case rvbThickInside:
    case rvbThickOutside:
        return 3 * B.Width + B.InternalWidth;
    default:
        return 0;
    }
}

// The visible flag of a side of a paragraph border.
bool SideVisible(const TRVBorder& Border, int Side) {
    const TRVBooleanRect& v = Border.VisibleBorders();
    return Side == rtf_side_Left    ? v.Left
           : Side == rtf_side_Top   ? v.Top
           : Side == rtf_side_Right ? v.Right
                                    : v.Bottom;
}

int RectSide(const TRVRect& Rect, int Side) {
    return Side == rtf_side_Left    ? Rect.Left
           : Side == rtf_side_Top   ? Rect.Top
           : Side == rtf_side_Right ? Rect.Right
                                    : Rect.Bottom;
}

} // namespace

int TRVRTFImportRun::ToPixels(double Twips) const {
    return int(std::lround(Twips * FTwipsToPixels));
}

bool TRVRTFImportRun::AllowStyle(int StyleNo, bool TextStyle) const {
    bool allow = true;
    if (Props.OnAllowUseStyle) Props.OnAllowUseStyle(StyleNo, TextStyle, allow);
    return allow;
}

// ---------------------------------------------------------------- text styles

namespace {

// The character state a text style is chosen by, as plain bytes.
struct TTextKey {
    int32_t FontIndex, Size, CharScale, CharSpacing, VShift;
    TColor Color, BackColor, UnderlineColor;
    TFontStyles Style;
    uint16_t Protection;
    uint8_t StyleEx, SubSuperScript, UnderlineType, Unicode, Hypertext, Mode;
};

template <class T> void AppendBytes(std::string& Key, const T& Value) {
    Key.append(reinterpret_cast<const char*>(&Value), sizeof Value);
}

} // namespace

int TRVRTFImportRun::TextStyleFor(bool Unicode, bool Hypertext, TRVProtectOptions Protection) {
    if (!FStyle || FStyle->TextStyles().Count() == 0) return 0;
    if (Props.TextStyleMode == rvrsUseSpecified)
        return Props.TextStyleNo() < FStyle->TextStyles().Count() ? Props.TextStyleNo() : 0;
    const TRVRTFCharProperties& ch = Reader->State().Char();
    const TRVRTFFont* font = Reader->CurrentFont();
    if (Props.TextStyleMode == rvrsAddIfNeeded && Reader->FontList().Count() == 0) return 0;
    TTextKey k;
    std::memset(&k, 0, sizeof k);
    k.FontIndex = ch.FontIndex;
    k.Size = ch.Size;
    k.CharScale = ch.CharScale;
    k.CharSpacing = ch.CharSpacing;
    k.VShift = ch.VShift;
    k.Color = ch.Color;
    k.BackColor = ch.BackColor;
    k.UnderlineColor = ch.UnderlineColor;
    k.Style = ch.Style;
    k.Protection = Protection;
    k.StyleEx = ch.StyleEx;
    k.SubSuperScript = ch.SubSuperScript;
    k.UnderlineType = ch.UnderlineType;
    k.Unicode = Unicode;
    k.Hypertext = Hypertext;
    k.Mode = Props.TextStyleMode;
    // The names, not the index: a later font table may change them.
    FKey.clear();
    AppendBytes(FKey, k);
    FKey += ch.FontNameOverride;
    FKey += '\0';
    if (font) {
        FKey += font->Name;
        FKey += char(font->Charset);
    }
    if (int cached = FTextStyleCache.Find(FKey); cached >= 0) return cached;

    TRVRTFTextStyleWish wish;
    wish.FontName = !ch.FontNameOverride.empty() ? ch.FontNameOverride : font ? font->Name : AnsiString();
    wish.FontNameLower = AnsiLowerCase(wish.FontName);
    wish.Charset = font ? font->Charset : 1;
    if (ch.FontNameOverride == "Symbol" || ch.FontNameOverride == "Wingdings") wish.Charset = 2;
    wish.Size = ch.Size > 0 ? ch.Size : 1;
    wish.Color = ch.Color;
    wish.BackColor = ch.BackColor;
    wish.UnderlineColor = ch.UnderlineColor;
    wish.Style = ch.Style;
    wish.AllCaps = ch.StyleEx & rvfsAllCaps;
    wish.CharScale = ch.CharScale;
    wish.CharSpacing = ToPixels(ch.CharSpacing);
    wish.SubSuperScript = ch.SubSuperScript;
    wish.Offset = ch.VShift;
    wish.VShift = int(std::lround(ch.VShift * 50.0 / wish.Size));
    wish.UnderlineType = ch.UnderlineType;
    wish.Unicode = Unicode;
    wish.Hypertext = Hypertext;
    wish.Protection = Protection;
    int styleNo = Props.TextStyleMode == rvrsAddIfNeeded ? AddedTextStyle(wish) : ClosestTextStyle(wish);
    FTextStyleCache.Add(FKey, styleNo);
    return styleNo;
}

int TRVRTFImportRun::ClosestTextStyle(const TRVRTFTextStyleWish& Wish) {
    TFontInfos& styles = FStyle->TextStyles();
    int best = 0, bestScore = 0;
    for (int i = 0; i < styles.Count(); ++i) {
        const TFontInfo& s = *styles[i];
        if (s.Unicode != Wish.Unicode) continue;
        if (Wish.Hypertext ? !s.Jump : (s.Jump && !Props.UseHypertextStyles)) continue;
        if (!AllowStyle(i, true)) continue;
        int score = 0;
        if (AnsiLowerCase(s.FontName) == Wish.FontNameLower) score += 10000;
        if (s.Charset == Wish.Charset)
            score += 50000;
        else if (s.Charset == 1 || Wish.Charset == 1)
            score += 12500;
        score += NumberSimilarity(Wish.Size, s.Size, 10000);
        score += ColorSimilarity(s.Color, Wish.Color, 3333, 3000);
        score += ColorSimilarity(s.BackColor, Wish.BackColor, 10000, 50000);
        score += ColorSimilarity(s.UnderlineColor, Wish.UnderlineColor, 10000, 50000);
        if (bool(s.StyleEx & rvfsAllCaps) == Wish.AllCaps) score += 50000;
        for (TFontStyles bit : {fsBold, fsItalic, fsUnderline, fsStrikeOut})
            if (bool(s.Style & bit) == bool(Wish.Style & bit)) score += 50000;
        if ((s.Style & fsUnderline) && (Wish.Style & fsUnderline) && s.UnderlineType != Wish.UnderlineType)
            score -= 25000;
        if ((s.Style == 0) == (Wish.Style == 0)) score += 50000;
        score += int(std::lround((1 - std::abs(s.CharScale - Wish.CharScale) / 100.0) * 300));
        score += NumberSimilarity(Wish.CharSpacing, s.CharSpacing, 10000);
        if (s.SubSuperScriptType == Wish.SubSuperScript) score += 50000;
        if (Sign(s.VShift) == Sign(Wish.Offset))
            score += NumberSimilarity(s.VShift, Wish.VShift, 50000);
        else
            score -= 50000;
        if (s.StyleEx != 0) score /= 4;
        if (s.Protection == Wish.Protection) score += 100000;
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

int TRVRTFImportRun::AddedTextStyle(const TRVRTFTextStyleWish& Wish) {
    TFontInfos& styles = FStyle->TextStyles();
    for (int i = 0; i < styles.Count(); ++i) {
        const TFontInfo& s = *styles[i];
        if (Wish.Hypertext ? !s.Jump : (s.Jump && !Props.UseHypertextStyles)) continue;
        if (AnsiLowerCase(s.FontName) == Wish.FontNameLower && s.Size == Wish.Size && s.Color == Wish.Color &&
            s.BackColor == Wish.BackColor && s.Style == Wish.Style && s.Charset == Wish.Charset &&
            s.CharScale == Wish.CharScale && s.CharSpacing == Wish.CharSpacing &&
            bool(s.StyleEx & rvfsAllCaps) == Wish.AllCaps && !(s.StyleEx & ~rvfsAllCaps) &&
            s.SubSuperScriptType == Wish.SubSuperScript && s.VShift == Wish.VShift &&
            s.Protection == Wish.Protection && s.UnderlineType == Wish.UnderlineType &&
            s.UnderlineColor == Wish.UnderlineColor && s.Unicode == Wish.Unicode)
            return i;
    }
    TFontInfo& s = *styles.Add();
    s.Standard = false;
    s.Jump = Wish.Hypertext;
    s.Unicode = Wish.Unicode;
    s.Style = Wish.Style;
    s.Size = Wish.Size;
    s.Color = Wish.Color;
    s.BackColor = Wish.BackColor;
    s.FontName = Wish.FontName;
    s.Charset = Wish.Charset;
    s.CharScale = Wish.CharScale;
    s.CharSpacing = Wish.CharSpacing;
    s.SubSuperScriptType = Wish.SubSuperScript;
    s.VShift = Wish.VShift;
    s.StyleEx = Wish.AllCaps ? rvfsAllCaps : 0;
    s.UnderlineType = Wish.UnderlineType;
    s.UnderlineColor = Wish.UnderlineColor;
    s.Protection = Wish.Protection;
    return styles.Count() - 1;
}

int TRVRTFImportRun::EmptyCellTextStyle() const {
    if (Props.TextStyleMode != rvrsUseSpecified || !FStyle) return 0;
    return Props.TextStyleNo() < FStyle->TextStyles().Count() ? Props.TextStyleNo() : 0;
}

// ---------------------------------------------------------------- paragraph styles

int TRVRTFImportRun::ParaStyleFor() {
    if (!FStyle || FStyle->ParaStyles().Count() == 0) return 0;
    if (Props.ParaStyleMode == rvrsUseSpecified)
        return Props.ParaStyleNo() < FStyle->ParaStyles().Count() ? Props.ParaStyleNo() : 0;
    const TRVRTFParaProperties& p = Reader->FinalisedPara();
    TRVRTFParaStyleWish wish;
    wish.Alignment = p.Alignment;
    wish.LeftIndent = ToPixels(p.LeftIndent);
    wish.RightIndent = ToPixels(p.RightIndent);
    wish.FirstIndent = ToPixels(p.FirstIndent);
    wish.SpaceBefore = ToPixels(p.SpaceBefore);
    wish.SpaceAfter = ToPixels(p.SpaceAfter);
    wish.LineSpacingMulti = p.LineSpacingMulti;
    wish.LineSpacing = p.LineSpacing;
    wish.LineSpacingPercent = std::max(100, std::abs(p.LineSpacing) * 100 / 240);
    wish.Background = p.Background;
    wish.KeepTogether = p.KeepTogether;
    wish.KeepWithNext = p.KeepWithNext;
    wish.HasBorders = p.HasBorders();
    if (wish.HasBorders) {
        wish.Border = *p.Border;
        for (int side = 0; side < 4; ++side)
            wish.Offsets[std::size_t(side)] = ToPixels(p.Border->Sides[std::size_t(side)].Space);
    }
    for (const TRVRTFTab& tab : p.Tabs)
        wish.Tabs.push_back({ToPixels(tab.Position), TabAlign(tab.Align), TabLeader(tab.Leader)});
    FKey.clear();
    for (int v : {int(wish.Alignment), wish.LeftIndent, wish.RightIndent, wish.FirstIndent, wish.SpaceBefore,
                  wish.SpaceAfter, int(wish.LineSpacingMulti), wish.LineSpacing, int(wish.KeepTogether),
                  int(wish.KeepWithNext), int(Props.ParaStyleMode), int(wish.HasBorders)})
        AppendBytes(FKey, v);
    AppendBytes(FKey, wish.Background);
    if (wish.HasBorders)
        for (const TRVRTFBorderSide& side : wish.Border.Sides)
            for (int v : {int(side.Type), side.Width, int(side.Color), side.Space})
                AppendBytes(FKey, v);
    for (const auto& tab : wish.Tabs) {
        AppendBytes(FKey, tab.Position);
        AppendBytes(FKey, tab.Align);
        FKey += tab.Leader;
        FKey += '\0';
    }
    if (int cached = FParaStyleCache.Find(FKey); cached >= 0) return cached;
    int styleNo = Props.ParaStyleMode == rvrsAddIfNeeded ? AddedParaStyle(wish) : ClosestParaStyle(wish);
    FParaStyleCache.Add(FKey, styleNo);
    return styleNo;
}

int TRVRTFImportRun::ClosestParaStyle(const TRVRTFParaStyleWish& Wish) {
    TParaInfos& styles = FStyle->ParaStyles();
    int best = 0, bestScore = 0;
    for (int i = 0; i < styles.Count(); ++i) {
        if (!AllowStyle(i, false)) continue;
        const TParaInfo& s = *styles[i];
        const TRVBorder& border = s.Border();
        int bw = border.GetTotalWidth();
        int score = 0;
        if (s.Alignment == Wish.Alignment) score += 50000;
        if (s.Options != 0) score -= 100000;
        score += NumberSimilarity(Wish.LeftIndent + bw, s.LeftIndent, 1000);
        score += NumberSimilarity(Wish.RightIndent + bw, s.RightIndent, 1000);
        score += NumberSimilarity(Wish.FirstIndent, s.FirstIndent, 1000);
        score += NumberSimilarity(Wish.SpaceBefore + bw, s.SpaceBefore, 1000);
        score += NumberSimilarity(Wish.SpaceAfter + bw, s.SpaceAfter, 1000);
        score += ColorSimilarity(s.Background().Color, Wish.Background, 10000, 50000);
        if (bool(s.Options & rvpaoKeepLinesTogether) == Wish.KeepTogether) score += 500;
        if (bool(s.Options & rvpaoKeepWithNext) == Wish.KeepWithNext) score += 500;
        if (Wish.LineSpacingMulti) {
            if (s.LineSpacingType == rvlsSpaceBetween) {
                if (s.LineSpacing > 1)
                    score -= 20000;
                else if (Wish.LineSpacingPercent <= 100)
                    score += 5000;
            } else {
                score += NumberSimilarity(Wish.LineSpacingPercent, std::max(s.LineSpacing, 100), 5000);
            }
        }
        if (Wish.HasBorders) {
            for (int side = 0; side < 4; ++side) {
                int offset = Wish.Offsets[std::size_t(side)];
                score += NumberSimilarity(offset, RectSide(border.BorderOffsets(), side), 1000);
                score += NumberSimilarity(offset, RectSide(s.Background().BorderOffsets(), side), 1000);
            }
            for (int side = 0; side < 4; ++side) {
                const TRVRTFBorderSide& rtf = Wish.Border.Sides[std::size_t(side)];
                TRVRTFBorderWish conv =
                    ConvertBorder(Wish.Border.Present(side) ? rtf.Type : 0, rtf.Width, FTwipsToPixels,
                                  side == rtf_side_Right || side == rtf_side_Bottom);
                bool styleHas = border.Style != rvbNone && SideVisible(border, side);
                if (conv.Style == rvbNone) {
                    if (!styleHas) score += 20000;
                } else if (styleHas) {
                    score += NumberSimilarity(conv.Width, border.Width, 1000) +
                             NumberSimilarity(conv.InternalWidth, border.InternalWidth, 1000) +
                             ColorSimilarity(border.Color, rtf.Color, 3333, 3000) +
                             (conv.Style == border.Style ? 6000 : 5000);
                }
            }
        } else if (border.Style == rvbNone) {
            score += 20000;
        }
        if (FStyle->SpacesInTab <= 0) {
            const TRVTabInfos& tabs = s.Tabs();
            int n = std::min(tabs.Count(), int(Wish.Tabs.size()));
            for (int t = 0; t < n; ++t) {
                const TRVTabInfo& tab = *tabs[t];
                score += NumberSimilarity(Wish.Tabs[std::size_t(t)].Position, tab.Position(), 200);
                if (tab.Align == Wish.Tabs[std::size_t(t)].Align) score += 100;
                if (tab.Leader == Wish.Tabs[std::size_t(t)].Leader) score += 50;
            }
            score -= 400 * (std::max(tabs.Count(), int(Wish.Tabs.size())) - n);
        }
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

int TRVRTFImportRun::AddedParaStyle(const TRVRTFParaStyleWish& Wish) {
    TParaInfos& styles = FStyle->ParaStyles();
    // The border summed up in its main side.
    TRVRTFBorderWish conv;
    TColor borderColor = clNone;
    int left = Wish.LeftIndent, right = Wish.RightIndent, before = Wish.SpaceBefore, after = Wish.SpaceAfter;
    if (Wish.HasBorders) {
        int main = Wish.Border.Present(rtf_side_Top)      ? rtf_side_Top
                   : Wish.Border.Present(rtf_side_Left)   ? rtf_side_Left
                   : Wish.Border.Present(rtf_side_Bottom) ? rtf_side_Bottom
                                                          : rtf_side_Right;
        const TRVRTFBorderSide& side = Wish.Border.Sides[std::size_t(main)];
        borderColor = side.Color;
        conv = ConvertBorder(side.Type, side.Width, FTwipsToPixels,
                             main == rtf_side_Right || main == rtf_side_Bottom);
        int t = BorderThickness(conv);
        left = std::max(left, Wish.Offsets[rtf_side_Left] + t - 1);
        before = std::max(before, Wish.Offsets[rtf_side_Top] + t - 1);
        right = std::max(right, Wish.Offsets[rtf_side_Right] + t - 1);
        after = std::max(after, Wish.Offsets[rtf_side_Bottom] + t - 1);
    }
    bool ignoreTabs = FStyle->SpacesInTab > 0;
    auto offsetsEqual = [&](const TRVRect& R) {
        return R.Left == Wish.Offsets[rtf_side_Left] && R.Top == Wish.Offsets[rtf_side_Top] &&
               R.Right == Wish.Offsets[rtf_side_Right] && R.Bottom == Wish.Offsets[rtf_side_Bottom];
    };
    for (int i = 0; i < styles.Count(); ++i) {
        const TParaInfo& s = *styles[i];
        if (s.Alignment != Wish.Alignment || s.LeftIndent != left || s.RightIndent != right ||
            s.FirstIndent != Wish.FirstIndent || s.SpaceBefore != before || s.SpaceAfter != after ||
            s.Background().Color != Wish.Background)
            continue;
        if (s.Options & ~(rvpaoKeepLinesTogether | rvpaoKeepWithNext)) continue;
        if (bool(s.Options & rvpaoKeepLinesTogether) != Wish.KeepTogether ||
            bool(s.Options & rvpaoKeepWithNext) != Wish.KeepWithNext)
            continue;
        bool spacing;
        if (!Wish.LineSpacingMulti)
            spacing = true;
        else if (s.LineSpacingType == rvlsSpaceBetween)
            spacing = s.LineSpacing < 2 && Wish.LineSpacingPercent <= 100;
        else
            spacing = Wish.LineSpacingPercent == s.LineSpacing;
        if (!spacing) continue;
        if (!ignoreTabs) {
            const TRVTabInfos& tabs = s.Tabs();
            if (tabs.Count() != int(Wish.Tabs.size())) continue;
            bool same = true;
            for (int t = 0; t < tabs.Count() && same; ++t)
                same = tabs[t]->Position() == Wish.Tabs[std::size_t(t)].Position &&
                       tabs[t]->Align == Wish.Tabs[std::size_t(t)].Align &&
                       tabs[t]->Leader == Wish.Tabs[std::size_t(t)].Leader;
            if (!same) continue;
        }
        const TRVBorder& border = s.Border();
        if (!Wish.HasBorders) {
            if (border.Style != rvbNone) continue;
        } else {
            if (border.Style != conv.Style || border.Width != conv.Width ||
                (conv.Style != rvbSingle && border.InternalWidth != conv.InternalWidth) ||
                border.Color != borderColor)
                continue;
            bool sides = true;
            for (int side = 0; side < 4; ++side)
                sides = sides && SideVisible(border, side) == Wish.Border.Present(side);
            if (!sides || !offsetsEqual(border.BorderOffsets()) ||
                !offsetsEqual(s.Background().BorderOffsets()))
                continue;
        }
        return i;
    }
    TParaInfo& s = *styles.Add();
    s.Standard = false;
    s.Alignment = Wish.Alignment;
    s.FirstIndent = Wish.FirstIndent;
    s.LeftIndent = left;
    s.RightIndent = right;
    s.SpaceBefore = before;
    s.SpaceAfter = after;
    // \sl0 (automatic) and exact spacing are single spacing, not none.
    if (Wish.LineSpacingMulti) s.LineSpacing = Wish.LineSpacingPercent;
    s.Background().Color = Wish.Background;
    s.Options = TRVParaOptions((Wish.KeepTogether ? rvpaoKeepLinesTogether : 0) |
                               (Wish.KeepWithNext ? rvpaoKeepWithNext : 0));
    if (!ignoreTabs)
        for (const auto& tab : Wish.Tabs) {
            TRVTabInfo& t = *s.Tabs().Add();
            t.SetPosition(tab.Position);
            t.Align = tab.Align;
            t.Leader = tab.Leader;
        }
    if (Wish.HasBorders) {
        TRVBorder& border = s.Border();
        border.Style = conv.Style;
        border.Width = conv.Width;
        border.InternalWidth = conv.InternalWidth;
        border.Color = borderColor;
        border.VisibleBorders().SetValues(
            Wish.Border.Present(rtf_side_Left), Wish.Border.Present(rtf_side_Top),
            Wish.Border.Present(rtf_side_Right), Wish.Border.Present(rtf_side_Bottom));
        for (TRVRect* rect : {&border.BorderOffsets(), &s.Background().BorderOffsets()}) {
            rect->Left = Wish.Offsets[rtf_side_Left];
            rect->Top = Wish.Offsets[rtf_side_Top];
            rect->Right = Wish.Offsets[rtf_side_Right];
            rect->Bottom = Wish.Offsets[rtf_side_Bottom];
        }
    }
    return styles.Count() - 1;
}

int TRVRTFImportRun::DefaultParaStyle(TRVAlignment Alignment) {
    if (Alignment == rvaLeft && FLeftParaStyle >= 0) return FLeftParaStyle;
    int result = 0;
    if (Props.ParaStyleMode == rvrsUseSpecified) {
        result = Props.ParaStyleNo();
    } else if (Props.ParaStyleMode == rvrsAddIfNeeded && FStyle && FStyle->ParaStyles().Count() > 0) {
        TParaInfos& styles = FStyle->ParaStyles();
        const TParaInfo& first = *styles[0];
        if (first.LeftIndent != 0 || first.RightIndent != 0 || first.FirstIndent != 0 ||
            first.Alignment != Alignment) {
            TParaInfos scratch(nullptr);
            TParaInfo& wanted = *scratch.Add();
            wanted.Assign(styles[0]);
            wanted.LeftIndent = wanted.RightIndent = wanted.FirstIndent = 0;
            wanted.Alignment = Alignment;
            result = styles.FindMatchingStyle(0, wanted, AllParaStyleProperties);
            if (result < 0) {
                TParaInfo& added = *styles.Add();
                added.Assign(&wanted);
                added.Standard = false;
                result = styles.Count() - 1;
            }
        }
    }
    if (FStyle && result >= FStyle->ParaStyles().Count()) result = 0;
    if (Alignment == rvaLeft) FLeftParaStyle = result;
    return result;
}
