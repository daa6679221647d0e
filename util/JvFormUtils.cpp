// Window placement values in an application storage, disabled glyphs and
// the drag cursors registered at start-up.
#include "util/JvFormUtils.h"

#include <algorithm>

#include "util/JclUnitVersioning.h"
#include "util/JvJCLUtils.h"

LIBRARY_UNIT_VERSION("util/JvFormUtils.cpp", "1", "2026-12-11", "JvLib\\run")

namespace {
// The drag cursors: multi-drag, drag, multi-drag, multi-drag.
struct TDragCursors {
    TDragCursors() {
        try {
            if (TScreen* screen = ScreenInstance()) {
                const TCursor shapes[] = {crMultiDrag, crDrag, crMultiDrag, crMultiDrag};
                for (TCursor id = crDragCursorFirst; id <= crDragCursorLast; ++id)
                    screen->SetCursors(id, StandardCursor(shapes[id - crDragCursorFirst]));
            }
        } catch (...) {
        }
    }
} gDragCursors;

const TSysCharSet WordDelimiters = {' ', ','};
// Screens usable for a window: at least this much of it lies on one.
constexpr int GripSize = 32;

AnsiString ValuePath(const AnsiString& StorePath, const char* Name) {
    return StorePath + "\\" + Name;
}

int WordOr(const AnsiString& Text, int N, int Default) {
    return StrToIntDef(NthWord(N, Text, WordDelimiters), Default);
}

bool Sizeable(const TCustomForm* Form) {
    return Form->BorderStyle() == TFormBorderStyle::bsSizeable ||
           Form->BorderStyle() == TFormBorderStyle::bsSizeToolWin;
}

bool IsMainForm(const TCustomForm* Form) {
    return Application->MainForm() == Form || !Application->MainForm();
}
} // namespace

AnsiString ScreenSizeSuffix() {
    return Format("(%dx%d)", {Screen->Width(), Screen->Height()});
}

void WriteScreenKeyedText(TJvCustomAppStorage* Storage, const AnsiString& Path, const AnsiString& Text) {
    Storage->StoreString(Path + ScreenSizeSuffix(), Text);
    Storage->StoreString(Path, Text);
}

AnsiString ReadScreenKeyedText(TJvCustomAppStorage* Storage, const AnsiString& Path) {
    AnsiString keyed = Path + ScreenSizeSuffix();
    if (Storage->HasValue(keyed)) return Storage->FetchString(keyed, "");
    return Storage->FetchString(Path, "");
}

bool IsApplicationIconic() {
    return Application->Minimized();
}

void WriteWindowPlacement(TCustomForm* Form, TJvCustomAppStorage* Storage, const AnsiString& StorePath,
                          TPlacementOptions Options) {
    if (Options == fpActiveControl) return;
    TWindowPlacement placement;
    GetWindowPlacement(Form, placement);
    if (Application->MainForm() == Form && IsApplicationIconic()) placement.showCmd = SW_SHOWMINIMIZED;
    if (Form->FormStyle() == TFormStyle::fsMDIChild && Form->WindowState() == TWindowState::wsMinimized)
        placement.flags |= WPF_SETMINPOSITION;
    if (Options & fpState) Storage->StoreInteger(ValuePath(StorePath, "ShowCmd"), int32_t(placement.showCmd));
    if (!(Options & (fpSize | fpLocation))) return;
    Storage->StoreInteger(ValuePath(StorePath, "Flags"), int32_t(placement.flags));
    Storage->StoreInteger(ValuePath(StorePath, "PixelsPerInch"), Screen->PixelsPerInch());
    WriteScreenKeyedText(Storage, ValuePath(StorePath, "MinMaxPos"),
                         Format("%d,%d,%d,%d", {placement.ptMinPosition.X, placement.ptMinPosition.Y,
                                                placement.ptMaxPosition.X, placement.ptMaxPosition.Y}));
    const TRect& r = placement.rcNormalPosition;
    WriteScreenKeyedText(Storage, ValuePath(StorePath, "NormPos"),
                         Format("%d,%d,%d,%d", {r.Left, r.Top, r.Right, r.Bottom}));
}

bool PlacementRectUsable(TCustomForm* Form, const TRect& R) {
    if (R.Right <= R.Left || R.Bottom <= R.Top) return false;
    TMinMaxInfo limits = Form->MinMaxInfo();
    if (R.Width() < limits.ptMinTrackSize.X || R.Height() < limits.ptMinTrackSize.Y) return false;
    if (R.Width() > limits.ptMaxTrackSize.X || R.Height() > limits.ptMaxTrackSize.Y) return false;
    for (int i = 0; i < Screen->MonitorCount(); ++i) {
        TRect screen = Screen->MonitorBounds(i), common;
        // The caption lies along the top edge: it must be reachable.
        if (R.Top < screen.Top || R.Top >= screen.Bottom) continue;
        if (!IntersectRect(common, R, screen)) continue;
        if (common.Width() >= std::min(GripSize, R.Width()) &&
            common.Height() >= std::min(GripSize, R.Height()))
            return true;
    }
    return false;
}

void ReadWindowPlacement(TCustomForm* Form, TJvCustomAppStorage* Storage, const AnsiString& StorePath,
                         TPlacementOptions Options) {
    if (Options == fpActiveControl) return;
    TWindowPlacement placement;
    GetWindowPlacement(Form, placement);
    if (!Form->Visible()) placement.showCmd = SW_HIDE;
    if (Options & (fpSize | fpLocation)) {
        placement.flags =
            uint32_t(Storage->FetchInteger(ValuePath(StorePath, "Flags"), int32_t(placement.flags)));
        bool found = false;
        AnsiString minMax = ReadScreenKeyedText(Storage, ValuePath(StorePath, "MinMaxPos"));
        if (!minMax.empty()) {
            found = true;
            if (Options & fpLocation) placement.ptMinPosition = {WordOr(minMax, 1, 0), WordOr(minMax, 2, 0)};
            if (Options & fpSize) placement.ptMaxPosition = {WordOr(minMax, 3, 0), WordOr(minMax, 4, 0)};
        }
        AnsiString norm = ReadScreenKeyedText(Storage, ValuePath(StorePath, "NormPos"));
        int words[4];
        // A damaged rectangle is no rectangle: the window keeps its place.
        bool whole = !norm.empty();
        for (int i = 0; i < 4 && whole; ++i)
            whole = TryStrToInt(NthWord(i + 1, norm, WordDelimiters), words[i]);
        if (whole) {
            found = true;
            TRect& r = placement.rcNormalPosition;
            r.Left = Form->Left();
            r.Top = Form->Top();
            if (Options & fpLocation) {
                r.Left = words[0];
                r.Top = words[1];
            }
            if (Options & fpSize) {
                r.Right = r.Left + words[2] - words[0];
                r.Bottom = r.Top + words[3] - words[1];
            } else {
                r.Right = r.Left + Form->Width();
                r.Bottom = r.Top + Form->Height();
            }
        }
        bool counts = found && Storage->FetchInteger(ValuePath(StorePath, "PixelsPerInch"),
                                                     Screen->PixelsPerInch()) == Screen->PixelsPerInch();
        if (counts) {
            TRect& r = placement.rcNormalPosition;
            // A fixed-size form keeps its size.
            if (!Sizeable(Form)) r = Bounds(r.Left, r.Top, Form->Width(), Form->Height());
            if (PlacementRectUsable(Form, r)) {
                if (!(Form->ComponentState() & csDesigning)) {
                    bool size = Options & fpSize, location = Options & fpLocation;
                    TPosition position = Form->Position();
                    if (size && location)
                        position = TPosition::poDesigned;
                    else if (size && position == TPosition::poDefault)
                        position = TPosition::poDefaultPosOnly;
                    else if (location && position == TPosition::poDefault)
                        position = TPosition::poDefaultSizeOnly;
                    else if (location && position != TPosition::poDesigned)
                        position = TPosition::poDesigned;
                    Form->SetPosition(position);
                }
                SetWindowPlacement(Form, placement);
            }
        }
    }
    if (Options & fpState) {
        bool main = IsMainForm(Form);
        TWindowState state = TWindowState::wsNormal;
        if (main && (Form->FormStyle() == TFormStyle::fsMDIForm ||
                     (Form->FormStyle() == TFormStyle::fsNormal && Form->Position() == TPosition::poDefault)))
            state = TWindowState::wsMaximized;
        switch (Storage->FetchInteger(ValuePath(StorePath, "ShowCmd"), 0)) {
        case 1:
        case 5:
        case 9:
            state = TWindowState::wsNormal;
            break;
        case 2:
        case 6:
        case 7:
            state = TWindowState::wsMinimized;
            break;
        case 3:
            state = TWindowState::wsMaximized;
            break;
        default:
            break;
        }
        if (state == TWindowState::wsMinimized && main) {
            // The program minimises as one, once the window is up.
            Form->SetWindowState(TWindowState::wsNormal);
            PostMessage(Form, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return;
        }
        Form->SetWindowState(state);
    }
    Form->Invalidate();
}

std::unique_ptr<TBitmap> BuildDisabledBitmapEx(TBitmap* Glyph, TColor OutlineColor, TColor BackColor,
                                               TColor HighlightColor, TColor ShadowColor,
                                               bool DrawHighlight) {
    const int w = Glyph->Width(), h = Glyph->Height();
    auto result = std::make_unique<TBitmap>(w, h);
    const TColor outline = ColorToRGB(OutlineColor);
    TCanvas* canvas = result->Canvas();
    canvas->Brush()->SetColor(BackColor);
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas->FillRect({0, 0, w, h});
    // The pixels of the outline colour, as the monochrome mask marks them.
    std::vector<TPoint> marked;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ColorToRGB(Glyph->Pixel(x, y)) == outline) marked.push_back({x, y});
    const TColor highlight = ColorToRGB(HighlightColor), shadow = ColorToRGB(ShadowColor);
    if (DrawHighlight)
        for (const TPoint& p : marked)
            if (p.X + 1 < w && p.Y + 1 < h) result->SetPixel(p.X + 1, p.Y + 1, highlight);
    for (const TPoint& p : marked)
        result->SetPixel(p.X, p.Y, shadow);
    return result;
}

std::unique_ptr<TBitmap> BuildDisabledBitmap(TBitmap* Glyph, TColor OutlineColor) {
    return BuildDisabledBitmapEx(Glyph, OutlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}
