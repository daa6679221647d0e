// What the painting tests share: a formatted document that answers the
// viewer's questions (scroll offsets, focus, events, clipboard) from fields
// a test sets, and painting it onto a recording canvas.
#pragma once

#include "richtext/engine/RVLayoutTestData.h"
#include "richtext/engine/document/RVBack.h"
#include "richtext/engine/layout/CRVFData.h"

// A clipboard in memory: the formats written, in order.
class TTestClipboard : public IRVClipboardTarget {
public:
    std::vector<std::pair<AnsiString, AnsiString>> Formats;
    int Clears = 0;
    void Clear() override {
        ++Clears;
        Formats.clear();
    }
    void SetText(const AnsiString& Text) override { Formats.push_back({"text", Text}); }
    void SetUnicodeText(const WideString& Text) override {
        Formats.push_back({"unicode", WideToRawUnicode(Text)});
    }
    void SetFormat(const AnsiString& Name, const AnsiString& Bytes) override {
        Formats.push_back({Name, Bytes});
    }
    void SetPicture(const TRVGraphic& Picture) override {
        Formats.push_back({"picture", IntToStr(Picture.Width()) + "x" + IntToStr(Picture.Height())});
    }
};

class TPaintTestData : public TTestFormattedData {
public:
    using TTestFormattedData::TTestFormattedData;
    int HOffs = 0, VOffs = 0;
    bool Focused = true;
    TColor Color = clNone;
    std::unique_ptr<TRVBackground> Background;
    TTestClipboard* Clipboard = nullptr;
    // Events as "jump 3", "move -1", "select", "dblclick word 0" ...
    std::vector<AnsiString> Events;
    TCursor Cursor = 0;
    bool JumpAssigned = true;
    bool DblClickAssigned = false;

    int GetHOffs() const override { return HOffs; }
    int GetVOffs() const override { return VOffs; }
    bool IsControlFocused() const override { return Focused; }
    TColor GetColor() const override { return Color; }
    TRVBackground* GetBackground() const override { return Background.get(); }
    IRVClipboardTarget* GetClipboard() const override { return Clipboard; }
    bool IsAssigned(TRVDataEvent E) const override {
        return (E == rveJump && JumpAssigned) || (E == rveRVDblClick && DblClickAssigned);
    }
    void DoJump(int Id) override { Events.push_back("jump " + IntToStr(Id)); }
    void DoRVMouseMove(int Id) override { Events.push_back("move " + IntToStr(Id)); }
    void DoSelect() override { Events.push_back("select"); }
    void DoRVDblClick(const AnsiString& Word, int StyleNo) override {
        Events.push_back("dblclick " + Word + " " + IntToStr(StyleNo));
    }
    void SetCursor(TCursor C) override { Cursor = C; }
};

// Paints the whole client area (Width x Height) and answers the log.
inline std::vector<AnsiString> PaintLog(TPaintTestData& Data, bool PrintMode = false) {
    TRecordingCanvas canvas;
    Data.PaintDocument(canvas, Rect(0, 0, Data.Width, Data.Height), PrintMode, false, false, false);
    return canvas.Log;
}
