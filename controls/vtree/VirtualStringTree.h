// The string tree: a virtual tree whose cells show UTF-16 text that the
// owner supplies through OnGetText every time it is needed, with shortening,
// static text, cell spanning, a cached width of the main column's text,
// hints from the text and a caption chunk in the tree stream.
#pragma once

#include "controls/vtree/VirtualTrees.h"
#include "platform/gui/DataObject.h"

enum TVSTTextType { ttNormal, ttStatic };

enum TVTStringOption { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TVTStringOptions = TSet<TVTStringOption, uint8_t>;

class TCustomVirtualStringTree;

// Which nodes a text export takes, in tree order.
enum TTextSourceKind { skAll, skInitialized, skSelected, skCutCopy, skVisible };

class TCustomStringTreeOptions : public TCustomVirtualTreeOptions {
public:
    explicit TCustomStringTreeOptions(TBaseVirtualTree* AOwner) : TCustomVirtualTreeOptions(AOwner) {}
    TVTStringOptions StringOptions() const { return FStringOptions; }
    void SetStringOptions(TVTStringOptions Value);

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    TVTStringOptions FStringOptions{toSaveCaptions, toAutoAcceptEditChange};
};

class TStringTreeOptions : public TCustomStringTreeOptions {
public:
    using TCustomStringTreeOptions::TCustomStringTreeOptions;
};

using TVTPaintText = std::function<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                        TColumnIndex Column, TVSTTextType TextType)>;
using TVSTGetTextEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                            TVSTTextType TextType, WideString& CellText)>;
using TVSTGetHintEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                            TVTTooltipLineBreakStyle& LineBreakStyle, WideString& HintText)>;
using TVSTNewTextEvent = std::function<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                            const WideString& NewText)>;
using TVSTShortenStringEvent = std::function<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas,
                                                  PVirtualNode Node, TColumnIndex Column, const WideString& S,
                                                  int TextSpace, WideString& Result, bool& Done)>;

class TCustomVirtualStringTree : public TBaseVirtualTree {
public:
    explicit TCustomVirtualStringTree(TComponent* AOwner);

    const WideString& DefaultText() const { return FDefaultText; }
    void SetDefaultText(const WideString& Value);
    TCustomStringTreeOptions* StringTreeOptions() const {
        return static_cast<TCustomStringTreeOptions*>(TreeOptions());
    }

    WideString GetCellText(PVirtualNode Node, TColumnIndex Column);
    void SetCellText(PVirtualNode Node, TColumnIndex Column, const WideString& Value);
    // The height of S word-wrapped in the cell; S empty: the cell's text.
    int ComputeNodeHeight(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column, WideString S = {});
    void InvalidateNode(PVirtualNode Node) override;
    void ReinitNode(PVirtualNode Node, bool Recursive) override;
    void GetCellTextInfo(PVirtualNode Node, TColumnIndex Column, TFont* Font, TRect& R,
                         WideString& Text) override;
    // The tree font's character height and the width of "..." in it.
    int TextHeight() const { return FTextHeight; }
    int EllipsisWidth() const { return FEllipsisWidth; }
    // The tree's font changed: measures it again and forgets the cached widths.
    void TreeFontChanged();
    void Dispatch(TMessage& Message) override;

    // Text exports of the nodes Source names: one line per node, a cell per
    // visible column (VirtualStringTreeExport.cpp).
    AnsiString ExportToText(TTextSourceKind Source, char Separator);
    WideString ExportToUnicodeText(TTextSourceKind Source, char16_t Separator);
    AnsiString ExportToRTF(TTextSourceKind Source);
    // A declaration of UTF-8, a style sheet and a table; the texts in UTF-8.
    AnsiString ExportToHTML(TTextSourceKind Source, const WideString& Caption = {});
    // A block with the text of a text format, its terminator included;
    // nullptr for other formats.
    HGLOBAL RenderClipboardData(TClipFormat Format, TTextSourceKind Source);
    HRESULT RenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) override;

    TVTPaintText OnPaintText;
    TVSTGetTextEvent OnGetText;
    TVSTGetHintEvent OnGetHint;
    TVSTNewTextEvent OnNewText;
    TVSTShortenStringEvent OnShortenString;

protected:
    // The string tree edits with its own link when the owner gives none.
    std::shared_ptr<IVTEditLink> DoCreateEditor(PVirtualNode Node, TColumnIndex Column) override;
    void AdjustPaintCellRect(TVTPaintInfo& PaintInfo, TColumnIndex& NextNonEmpty) override;
    bool ColumnIsEmpty(PVirtualNode Node, TColumnIndex Column) override;
    WideString DoGetNodeHint(PVirtualNode Node, TColumnIndex Column,
                             TVTTooltipLineBreakStyle& LineBreakStyle) override;
    WideString DoGetNodeTooltip(PVirtualNode Node, TColumnIndex Column,
                                TVTTooltipLineBreakStyle& LineBreakStyle) override;
    int DoGetNodeWidth(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas) override;
    int DoIncrementalSearch(PVirtualNode Node, const WideString& Text) override;
    void DoPaintNode(TVTPaintInfo& PaintInfo) override;
    void MainColumnChanged() override;
    void DoBeforePaint(TCanvas* Canvas) override;
    void DoAfterPaint(TCanvas* Canvas) override;
    // The caption chunk (VirtualStringTreeStream.cpp).
    void WriteChunks(TStream& Stream, PVirtualNode Node) override;
    bool ReadChunk(TStream& Stream, int Version, PVirtualNode Node, int ChunkType, int ChunkSize) override;

    virtual int CalculateTextWidth(TCanvas* Canvas, PVirtualNode Node, const WideString& Text,
                                   TColumnIndex Column);
    virtual void DoGetText(PVirtualNode Node, TColumnIndex Column, TVSTTextType TextType, WideString& Text);
    virtual void DoNewText(PVirtualNode Node, TColumnIndex Column, const WideString& Text);
    virtual void DoPaintText(PVirtualNode Node, TCanvas* Canvas, TColumnIndex Column, TVSTTextType TextType);
    virtual WideString DoShortenString(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                       const WideString& S, int Width, int EllipsisWidth);
    virtual void DrawCellText(TVTPaintInfo& PaintInfo, const WideString& Text, TRect R, unsigned DrawFormat);
    virtual int MeasureCellText(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                const WideString& Text);

private:
    void PrepareTextFont(TVTPaintInfo& PaintInfo);
    void PaintNormalText(TVTPaintInfo& PaintInfo, const WideString& Text);
    void PaintStaticText(TVTPaintInfo& PaintInfo, const WideString& Text);
    // The style sheet and the table, without a declaration of their encoding.
    AnsiString ExportHTMLFragment(TTextSourceKind Source, const WideString& Caption);
    // The node's cached width of its main-column text; nil for the root.
    uint32_t* WidthSlot(PVirtualNode Node) const;
    void ClearWidthCache();
    // The tree's canvas with the tree font, for measuring outside a paint.
    TCanvas* MeasureCanvas();

    // The last cell text asked for while painting: measuring and drawing a
    // cell ask the owner once.
    PVirtualNode FPaintTextNode = nullptr;
    TColumnIndex FPaintTextColumn = InvalidColumn;
    WideString FPaintText;
    WideString FDefaultText = u"Node";
    int FTextHeight = 0;
    int FEllipsisWidth = 0;
    int FInternalDataOffset = 0;
};

class TVirtualStringTree : public TCustomVirtualStringTree {
public:
    explicit TVirtualStringTree(TComponent* AOwner);
    TStringTreeOptions* TreeOptions() const {
        return static_cast<TStringTreeOptions*>(TBaseVirtualTree::TreeOptions());
    }
    void SetTreeOptions(TStringTreeOptions* Value) { TBaseVirtualTree::SetTreeOptions(Value); }
};

// Puts an HTML fragment in the envelope of the "HTML Format" clipboard
// format, whose header gives the byte offsets of the document and fragment.
void WrapClipboardHTML(AnsiString& HTML);
// The locale's list separator: ';' where the decimal separator is a comma.
char ListSeparator();
