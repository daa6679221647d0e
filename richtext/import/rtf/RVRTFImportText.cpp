// Building documents from RTF: the import options, one read with its
// handlers installed, and what text, tabs, pictures, sequences, notes,
// bookmarks, page breaks, headers, footers and page parameters become;
// placing items into the root and into sub-documents.
#include <cmath>

#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/document/RVNote.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/items/RVPictures.h"
#include "richtext/engine/text/RVCodePages.h"
#include "richtext/import/rtf/RVRTFFields.h"
#include "richtext/import/rtf/RVRTFImport_p.h"

namespace {

// The picture shown for one that cannot be shown: a grey frame with a red
// cross, made once.
std::unique_ptr<TRVGraphic> InvalidPicture() {
    constexpr int Size = 20;
    auto image = std::make_unique<TRVBitmapImage>(Size, Size);
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            bool frame = x == 0 || y == 0 || x == Size - 1 || y == Size - 1;
            bool cross = x == y || x == Size - 1 - y;
            image->SetPixel(x, y, frame ? RGB(128, 128, 128) : cross ? RGB(220, 0, 0) : clWhite);
        }
    return image;
}

// The base placing of one item read: what a document without an editor
// does.
bool DefaultInsertLoadedItem(TCustomRVData& Data, int& Index, AnsiString& Text,
                             std::unique_ptr<TCustomRVItemInfo>& Item, bool, bool& FullReformat, bool& Left) {
    FullReformat = false;
    Left = true;
    Item->Inserting(&Data, Text, false);
    TCustomRVItemInfo* item = Item.get();
    Data.ItemList->InsertObject(Index, Text, std::move(Item));
    item->Inserted(&Data, Index);
    if (item->StyleNo < 0) {
        Data.AddSeqInList(Index);
        Data.AddMarkerInList(Index);
    }
    return true;
}

void LinkCheckpoint(TCustomRVData& Data, int ItemNo) {
    TCustomRVItemInfo& item = Data.LiveItem(ItemNo);
    if (!item.Checkpoint) return;
    item.Checkpoint->Item = &item;
    ++Data.CheckpointCount;
    Data.InsertCheckpointInOrder(item.Checkpoint.get(), ItemNo);
}

} // namespace

// ---------------------------------------------------------------- the options

TRVRTFReaderProperties::TRVRTFReaderProperties() = default;

TRVRTFReaderProperties::~TRVRTFReaderProperties() = default;

void TRVRTFReaderProperties::SetTextStyleNo(int Value) {
    if (Value < 0) throw Exception("Value must not be negative");
    FTextStyleNo = Value;
}

void TRVRTFReaderProperties::SetParaStyleNo(int Value) {
    if (Value < 0) throw Exception("Value must not be negative");
    FParaStyleNo = Value;
}

void TRVRTFReaderProperties::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TRVRTFReaderProperties*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    UnicodeMode = source->UnicodeMode;
    TextStyleMode = source->TextStyleMode;
    ParaStyleMode = source->ParaStyleMode;
    IgnorePictures = source->IgnorePictures;
    IgnoreNotes = source->IgnoreNotes;
    IgnoreSequences = source->IgnoreSequences;
    IgnoreTables = source->IgnoreTables;
    SkipHiddenText = source->SkipHiddenText;
    FParaStyleNo = source->FParaStyleNo;
    FTextStyleNo = source->FTextStyleNo;
    UseHypertextStyles = source->UseHypertextStyles;
    LineBreaksAsParagraphs = source->LineBreaksAsParagraphs;
    ExtractMetafileBitmaps = source->ExtractMetafileBitmaps;
    ConvertHighlight = source->ConvertHighlight;
}

void TRVRTFReaderProperties::TranslateKeyword(TRVRTFReader*, const AnsiString&, int, bool, AnsiString&,
                                              bool&) {}

TRVRTFErrorCode TRVRTFReaderProperties::ReadRTFFromStream(TStream& Stream, TCustomRVData* RVData,
                                                          int& Index) {
    return Read(Stream, RVData, Index, true);
}

TRVRTFErrorCode TRVRTFReaderProperties::LoadRTFFromStream(TStream& Stream, TCustomRVData* RVData) {
    int index = RVData->ItemCount();
    return Read(Stream, RVData, index, false);
}

TRVRTFErrorCode TRVRTFReaderProperties::Read(TStream& Stream, TCustomRVData* RVData, int& Index,
                                             bool InsertMode) {
    InsertedItemCount = 0;
    FullReformat = false;
    TRVRTFImportRun run(*this, RVData, Index, InsertMode);
    ErrorCode = run.Run(Stream);
    Index = run.FirstItemPlaced;
    return ErrorCode;
}

// ---------------------------------------------------------------- one read

TRVRTFImportRun::TRVRTFImportRun(TRVRTFReaderProperties& AProps, TCustomRVData* ARoot, int AIndex,
                                 bool AInsertMode)
    : Props(AProps), Root(ARoot), FCurrent(ARoot), FIndex(AIndex), FInsertMode(AInsertMode) {}

TRVRTFImportRun::~TRVRTFImportRun() = default;

TRVRTFErrorCode TRVRTFImportRun::Run(TStream& Stream) {
    FTwipsToPixels = GetScreenPixelsPerInchY() / 1440.0;
    FStyle = Root->GetRVStyle();
    Reader = std::make_unique<TRVRTFReader>(nullptr);
    TRVRTFReader& r = *Reader;
    r.PixelsPerInch = GetScreenPixelsPerInchY();
    static const TRVRTFHighlightConvert highlights[] = {rtf_hl_Ignore, rtf_hl_FixedColors, rtf_hl_ColorTable};
    r.ConvertHighlight = highlights[Props.ConvertHighlight % 3];
    r.BasePath = Props.BasePath;
    r.ExtractMetafileBitmaps = Props.ExtractMetafileBitmaps;
    r.AllowIncludedPictureFiles = Props.AllowIncludedPictureFiles;
    r.OnUpdateMarker = [this](TObject*) { UpdateMarker(); };
    if (!Props.IgnoreSequences)
        r.OnNewSeq = [this](TRVRTFReader*, TRVRTFPosition P, const AnsiString& N, TRVRTFSeqType T, bool R,
                            int S) { NewSeq(P, N, T, R, S); };
    if (!Props.IgnoreNotes)
        r.OnNote = [this](TRVRTFReader*, TRVRTFNoteEventType What, TRVRTFPosition P) { Note(What, P); };
    r.OnNewText = [this](TRVRTFReader*, const AnsiString& Text, TRVRTFPosition P) { NewText(Text, P); };
    if (Props.UnicodeMode != rvruNoUnicode)
        r.OnNewUnicodeText = [this](TRVRTFReader*, const WideString& Text, TRVRTFPosition P) {
            NewUnicodeText(Text, P);
        };
    if (!Props.IgnorePictures) {
        r.OnNewPicture = [this](TRVRTFReader*, TRVRTFPicture* Pic, std::unique_ptr<TRVGraphic>& G,
                                TRVRTFPosition P, const AnsiString& F,
                                bool& Inserted) { NewPicture(Pic, G, P, F, Inserted); };
        r.OnImportPicture = [this](TRVRTFReader*, const AnsiString& L, std::unique_ptr<TRVGraphic>& G,
                                   bool& Invalid) { ImportPicture(L, G, Invalid); };
    }
    if (Props.OnProgress)
        r.OnProgress = [this](TRVRTFReader*, TRVRTFProgressStage S, uint8_t P) { Props.OnProgress(S, P); };
    r.OnTranslateKeyword = [this](TRVRTFReader* Sender, const AnsiString& K, int P, bool F, AnsiString& T,
                                  bool& D) { Props.TranslateKeyword(Sender, K, P, F, T, D); };
    r.DefCodePage = uint32_t(Root->GetDefCodePage());
    r.OnRequiredPageBreak = [this](TObject*) { RequiredPageBreak(); };
    r.TabsAsItems = FStyle && FStyle->SpacesInTab == 0;
    r.OnEndParsing = [this](TObject*) { EndParsing(); };
    if (!Props.IgnoreTables)
        r.OnTable = [this](TRVRTFReader*, TRVRTFTableEventKind K, bool& Processed) { Table(K, Processed); };
    if (Props.Header || Props.Footer) {
        if (Props.Header) Props.Header->Clear();
        if (Props.Footer) Props.Footer->Clear();
        r.OnHeaderFooter = [this](TRVRTFReader*, TRVRTFHeaderFooterType T, bool Starting, bool& Supported) {
            HeaderFooter(T, Starting, Supported);
        };
    }
    if (!Props.IgnoreBookmarks)
        r.OnBookmarkStart = [this](TRVRTFReader*, const AnsiString& Name) { BookmarkStart(Name); };

    TRVRTFErrorCode result = r.ParseRtfStream(Stream);
    // What a failed read left open is kept: tables become what they hold so
    // far, and notes are left.
    try {
        while (!FSubStack.empty()) {
            if (FSubStack.back()->Table) {
                TableEnd(true);
            } else {
                FCurrent = FSubStack.back()->Document;
                FSubStack.pop_back();
            }
        }
        CompleteMarker();
    } catch (...) {
        if (result == rtf_ec_OK) result = rtf_ec_Exception;
    }
    Reader.reset();
    return result;
}

void TRVRTFImportRun::DoAbort() {
    FAborted = true;
    throw ERVRTFAbort();
}

// ---------------------------------------------------------------- text

bool TRVRTFImportRun::Hypertext() const {
    const AnsiString& instruction = Reader->State().FieldInstruction();
    return !instruction.empty() && instruction.find("HYPERLINK") != AnsiString::npos;
}

bool TRVRTFImportRun::CurrentHyperlink(TRVRTFHyperlink& Link) {
    const AnsiString& instruction = Reader->State().FieldInstruction();
    if (instruction.empty() || !ParseRtfHyperlink(instruction, Link)) return false;
    if (Props.BasePathLinks && !IsAbsoluteLinkTarget(Link.Target)) Link.Target = Props.BasePath + Link.Target;
    return true;
}

void TRVRTFImportRun::ApplyHyperlink(TRVRTFHyperlink& Link, AnsiString& Text, TRVTag& Tag, int& StyleNo) {
    // What the root of a document with a control does first.
    if (StyleNo == rvsBullet) StyleNo = rvsHotspot;
    if (StyleNo == rvsPicture) StyleNo = rvsHotPicture;
    if (Props.OnReadHyperlink) Props.OnReadHyperlink(FCurrent, Link.Target, AnsiString(), Text, Tag, StyleNo);
}

int TRVRTFImportRun::ParaStyleAt(TRVRTFPosition Position) {
    if (Position == rtf_ts_NewPara) return ParaStyleFor();
    if (FCurrent == Root)
        return FIndex > 0 && FIndex <= Root->ItemCount() ? Root->LiveItem(FIndex - 1).ParaNo : 0;
    return FCurrent->ItemCount() > 0 ? FCurrent->LiveItem(FCurrent->ItemCount() - 1).ParaNo : 0;
}

void TRVRTFImportRun::NewText(const AnsiString& Text, TRVRTFPosition Position) {
    if (Props.SkipHiddenText && Reader->State().Char().Hidden) return;
    if (Props.LineBreaksAsParagraphs && Position == rtf_ts_NewLine) Position = rtf_ts_NewPara;
    if (FStyle && FStyle->SpacesInTab == 0 && Text.size() == 1 && Text[0] == '\t') {
        auto tab = std::make_unique<TRVTabItemInfo>(FCurrent);
        tab->TextStyleNo = TextStyleFor(Props.UnicodeMode == rvruOnlyUnicode, Hypertext(), 0);
        tab->ParaNo = ParaStyleAt(Position);
        Place(std::move(tab), AnsiString(), Position);
        return;
    }
    AddText(Text, false, Position);
}

void TRVRTFImportRun::NewUnicodeText(const WideString& Text, TRVRTFPosition Position) {
    if (Props.SkipHiddenText && Reader->State().Char().Hidden) return;
    if (Props.LineBreaksAsParagraphs && Position == rtf_ts_NewLine) Position = rtf_ts_NewPara;
    // The text always stays Unicode: no code page is known to hold it whole.
    AddText(WideToRawUnicode(Text), true, Position);
}

void TRVRTFImportRun::AddText(AnsiString Text, bool Unicode, TRVRTFPosition Position) {
    bool wantUnicode = Unicode || Props.UnicodeMode == rvruOnlyUnicode;
    int styleNo = TextStyleFor(wantUnicode, Hypertext(), 0);
    bool styleUnicode =
        FStyle && styleNo < FStyle->TextStyles().Count() && FStyle->TextStyles()[styleNo]->Unicode;
    const TRVRTFFont* font = Reader->CurrentFont();
    // 8-bit text is in the code page of its font; a font of the default
    // charset takes the document's \ansicpg.
    unsigned fontCodePage = !font                ? 0
                            : font->Charset == 1 ? Reader->CodePage()
                                                 : CharsetToCodePage(font->Charset);
    if (!font) fontCodePage = Reader->CodePage();
    if (Unicode && !styleUnicode) {
        Text = RawUnicodeToAnsi(unsigned(FCurrent->GetStyleCodePage(styleNo)), Text);
    } else if (!Unicode && styleUnicode) {
        Text = AnsiToRawUnicode(fontCodePage, Text);
    } else if (!Unicode) {
        unsigned styleCodePage = unsigned(FCurrent->GetStyleCodePage(styleNo));
        if (RVResolveCodePage(fontCodePage) != RVResolveCodePage(styleCodePage))
            Text = RVWideToCodePage(styleCodePage, RVCodePageToWide(fontCodePage, Text));
    }
    if (Text.find('\t') != AnsiString::npos) Text = FCurrent->ReplaceTabs(Text, styleNo, styleUnicode);
    std::unique_ptr<TCustomRVItemInfo> item = RVTextItemClass.Create(FCurrent);
    if (styleUnicode) item->ItemOptions |= ioUnicodeText;
    TRVRTFHyperlink link;
    if (CurrentHyperlink(link)) {
        int linkStyle = styleNo;
        ApplyHyperlink(link, Text, item->Tag, linkStyle);
        if (linkStyle >= 0 && FStyle && linkStyle < FStyle->TextStyles().Count()) styleNo = linkStyle;
        item->Hint = link.ScreenTip;
    }
    item->StyleNo = styleNo;
    item->ParaNo = ParaStyleAt(Position);
    Place(std::move(item), std::move(Text), Position);
}

// ---------------------------------------------------------------- pictures

void TRVRTFImportRun::ImportPicture(const AnsiString& Location, std::unique_ptr<TRVGraphic>& Graphic, bool&) {
    if (Props.OnImportPicture) Graphic = Props.OnImportPicture(Location);
}

void TRVRTFImportRun::NewPicture(TRVRTFPicture* RTFPicture, std::unique_ptr<TRVGraphic>& Graphic,
                                 TRVRTFPosition Position, const AnsiString& FileName, bool& Inserted) {
    if (Props.LineBreaksAsParagraphs && Position == rtf_ts_NewLine) Position = rtf_ts_NewPara;
    TRVRTFHyperlink link;
    bool hyper = CurrentHyperlink(link);
    std::unique_ptr<TCustomRVItemInfo> item;
    if (Props.OnNewPictureItem) Props.OnNewPictureItem(FCurrent, Graphic, Position, RTFPicture, hyper, item);
    if (!item) {
        if (!Graphic) {
            // The alternative of a picture that cannot be shown is read next.
            if (RTFPicture && RTFPicture->FromShpPict) {
                Inserted = false;
                return;
            }
            Graphic = InvalidPicture();
        }
        int shownWidth = 0, shownHeight = 0;
        if (RTFPicture) {
            int w = RTFPicture->PixelWidth >= 1 ? RTFPicture->PixelWidth : Graphic->Width();
            int h = RTFPicture->PixelHeight >= 1 ? RTFPicture->PixelHeight : Graphic->Height();
            if (RTFPicture->ScaleX != 100)
                shownWidth = int(std::lround(w * double(RTFPicture->ScaleX) / 100));
            if (RTFPicture->ScaleY != 100)
                shownHeight = int(std::lround(h * double(RTFPicture->ScaleY) / 100));
            // A goal size other than the picture's own is how large it is shown.
            if (!shownWidth && RTFPicture->PixelWidth >= 1 && RTFPicture->PixelWidth != Graphic->Width())
                shownWidth = RTFPicture->PixelWidth;
            if (!shownHeight && RTFPicture->PixelHeight >= 1 && RTFPicture->PixelHeight != Graphic->Height())
                shownHeight = RTFPicture->PixelHeight;
        }
        std::unique_ptr<TRVGraphicItemInfo> picture;
        TRVTag tag;
        if (hyper) {
            AnsiString text;
            int styleNo = rvsPicture;
            ApplyHyperlink(link, text, tag, styleNo);
            std::unique_ptr<TCustomRVItemInfo> made = CreateItemForStyleNo(styleNo, FCurrent);
            if (auto* graphicItem = dynamic_cast<TRVGraphicItemInfo*>(made.get())) {
                made.release();
                picture.reset(graphicItem);
                picture->Image = std::move(Graphic);
            }
        }
        if (!picture)
            picture = std::make_unique<TRVGraphicItemInfo>(FCurrent, std::move(Graphic), vaBaseline);
        picture->Tag = tag;
        picture->ImageWidth = std::max(shownWidth, 0);
        picture->ImageHeight = std::max(shownHeight, 0);
        item = std::move(picture);
    }
    item->ParaNo = ParaStyleAt(Position);
    if (hyper) item->Hint = link.ScreenTip;
    if (Props.StoreImagesFileNames && !FileName.empty()) item->SetExtraStrProperty(rvespFileName, FileName);
    Place(std::move(item), AnsiString(), Position);
    Inserted = true;
}

// ---------------------------------------------------------------- sequences and notes

void TRVRTFImportRun::NewSeq(TRVRTFPosition Position, const AnsiString& SeqName, TRVRTFSeqType NumberingType,
                             bool Reset, int StartFrom) {
    AnsiString name = SeqName;
    // The names of the notes' own sequences are not for fields.
    if (SameText(name, "@footnote@") || SameText(name, "@endnote@")) name.insert(name.begin(), '_');
    int styleNo = TextStyleFor(false, false, 0);
    auto item = std::make_unique<TRVSeqItemInfo>(FCurrent, name, TRVSeqType(NumberingType), styleNo,
                                                 StartFrom, Reset);
    item->ParaNo = ParaStyleAt(Position);
    Place(std::move(item), AnsiString(), Position);
}

void TRVRTFImportRun::PlaceNoteReference(TRVRTFPosition Position) {
    int styleNo = TextStyleFor(false, false, rvprDoNotAutoSwitch);
    auto item = std::make_unique<TRVNoteReferenceItemInfo>(FCurrent, styleNo);
    item->ParaNo = ParaStyleAt(Position);
    Place(std::move(item), AnsiString(), Position);
}

void TRVRTFImportRun::Note(TRVRTFNoteEventType What, TRVRTFPosition Position) {
    switch (What) {
    case rtf_ne_Character:
        PlaceNoteReference(Position);
        break;
    case rtf_ne_Start: {
        if (FLastNoteRef < 0 || FLastNoteRefData != FCurrent) PlaceNoteReference(Position);
        if (FLastNoteRef < 0 || FLastNoteRefData != FCurrent) break;
        TCustomRVData& data = *FCurrent;
        auto* ref = dynamic_cast<TRVNoteReferenceItemInfo*>(data.GetItem(FLastNoteRef));
        if (!ref) break;
        auto note = std::make_unique<TRVFootnoteItemInfo>(&data, ref->TextStyleNo, 1, false);
        note->ParaNo = ref->ParaNo;
        note->ItemOptions = ref->ItemOptions;
        note->Tag = ref->Tag;
        note->Hint = ref->Hint;
        note->Checkpoint = std::move(ref->Checkpoint);
        if (note->Checkpoint) note->Checkpoint->Item = note.get();
        TCustomRVNoteItemInfo* placed = note.get();
        AnsiString text = data.GetItemText(FLastNoteRef);
        data.ItemList->ReleaseObject(FLastNoteRef);
        data.ItemList->Delete(FLastNoteRef);
        data.ItemList->InsertObject(FLastNoteRef, text, std::move(note));
        placed->Inserted(&data, FLastNoteRef);
        data.AddSeqInList(FLastNoteRef);
        auto entry = std::make_unique<TRVRTFSubDataInfo>();
        entry->Document = FCurrent;
        entry->Row = FRow;
        entry->Col = FCol;
        FSubStack.push_back(std::move(entry));
        FOpenNoteData = &data;
        FOpenNote = FLastNoteRef;
        FOpenNoteDepth = int(FSubStack.size());
        FRow = FCol = -1;
        FCurrent = placed->Document.get();
        FLastNoteRef = -1;
        break;
    }
    case rtf_ne_EndNote: {
        // Only while the note's own document is being filled.
        if (!FOpenNoteData || int(FSubStack.size()) != FOpenNoteDepth) break;
        TCustomRVData& data = *FOpenNoteData;
        auto* foot = dynamic_cast<TRVFootnoteItemInfo*>(data.GetItem(FOpenNote));
        if (!foot) break;
        auto note = std::make_unique<TRVEndnoteItemInfo>(&data, foot->TextStyleNo, 1, false);
        note->ParaNo = foot->ParaNo;
        note->ItemOptions = foot->ItemOptions;
        note->Tag = foot->Tag;
        note->Hint = foot->Hint;
        note->Checkpoint = std::move(foot->Checkpoint);
        if (note->Checkpoint) note->Checkpoint->Item = note.get();
        TCustomRVNoteItemInfo* placed = note.get();
        AnsiString text = data.GetItemText(FOpenNote);
        data.RemoveSeqFromList(foot, false);
        data.ItemList->Delete(FOpenNote);
        data.ItemList->InsertObject(FOpenNote, text, std::move(note));
        placed->Inserted(&data, FOpenNote);
        data.AddSeqInList(FOpenNote);
        FCurrent = placed->Document.get();
        break;
    }
    case rtf_ne_End:
        FLastNoteRef = -1;
        // Tables the note left open end with it.
        while (!FSubStack.empty() && int(FSubStack.size()) > FOpenNoteDepth && FSubStack.back()->Table)
            TableEnd(true);
        if (FSubStack.empty() || (FOpenNoteDepth > 0 && int(FSubStack.size()) != FOpenNoteDepth)) break;
        FCurrent = FSubStack.back()->Document;
        FRow = FSubStack.back()->Row;
        FCol = FSubStack.back()->Col;
        FSubStack.pop_back();
        FOpenNoteData = nullptr;
        FOpenNote = -1;
        FOpenNoteDepth = 0;
        break;
    }
    FStyle = FCurrent->GetRVStyle();
}

// ---------------------------------------------------------------- bookmarks, breaks, headers

void TRVRTFImportRun::BookmarkStart(const AnsiString& Name) {
    FPendingCheckpoint = Name;
    FHasPendingCheckpoint = true;
}

void TRVRTFImportRun::RequiredPageBreak() {
    FPageBreakData = FCurrent;
}

void TRVRTFImportRun::HeaderFooter(TRVRTFHeaderFooterType HFType, bool Starting, bool& Supported) {
    Supported = false;
    if (!Starting) {
        FCurrent = Root;
    } else if (HFType == rtf_hf_Header && Props.Header) {
        FCurrent = Props.Header;
        FCurrent->Clear();
        Supported = true;
        Props.HeaderY = int(std::lround(Reader->HeaderY() * 127.0 / 7200));
    } else if (HFType == rtf_hf_Footer && Props.Footer) {
        FCurrent = Props.Footer;
        FCurrent->Clear();
        Supported = true;
        Props.FooterY = int(std::lround(Reader->FooterY() * 127.0 / 7200));
    }
    FStyle = FCurrent->GetRVStyle();
}

void TRVRTFImportRun::EndParsing() {
    if (FInsertMode || !Props.ReadDocParameters) return;
    TRVDocParameters& params = *Root->GetOuterRootData()->GetDocParameters(true);
    const TRVRTFDocProperties& doc = Reader->State().Doc();
    params.PageWidth = params.FromTwips(doc.PaperWidth);
    params.PageHeight = params.FromTwips(doc.PaperHeight);
    params.LeftMargin = params.FromTwips(doc.LeftMargin);
    params.RightMargin = params.FromTwips(doc.RightMargin);
    params.TopMargin = params.FromTwips(doc.TopMargin);
    params.BottomMargin = params.FromTwips(doc.BottomMargin);
    params.ZoomPercent = doc.ViewScale;
    static const TRVZoomMode modes[] = {rvzmCustom, rvzmFullPage, rvzmPageWidth};
    if (doc.ViewZoomKind <= 2) params.ZoomMode = modes[doc.ViewZoomKind];
    params.MirrorMargins = doc.MirrorMargins;
    params.Orientation = doc.Landscape ? poLandscape : poPortrait;
    if (Reader->HeaderY() > 0) params.HeaderY = params.FromTwips(Reader->HeaderY());
    if (Reader->FooterY() > 0) params.FooterY = params.FromTwips(Reader->FooterY());
}

// ---------------------------------------------------------------- placing

void TRVRTFImportRun::TakePendingCheckpoint(TCustomRVItemInfo& Item) {
    if (!FHasPendingCheckpoint) return;
    FHasPendingCheckpoint = false;
    if (Item.Checkpoint) return;
    Item.Checkpoint = std::make_unique<TRVCPInfo>();
    Item.Checkpoint->Name = FPendingCheckpoint;
    Item.Checkpoint->ItemNo = FCurrent == Root ? FIndex : FCurrent->ItemCount();
}

void TRVRTFImportRun::Place(std::unique_ptr<TCustomRVItemInfo> Item, AnsiString Text,
                            TRVRTFPosition Position) {
    switch (Position) {
    case rtf_ts_ContinuePara:
        Item->SetContinuesParagraph(true);
        break;
    case rtf_ts_NewLine:
        Item->SetLineBreakBefore(true);
        if (!Item->GetLineBreakBefore()) Item->SetContinuesParagraph(false);
        break;
    case rtf_ts_NewPara:
        Item->SetContinuesParagraph(false);
        Item->SetLineBreakBefore(false);
        if (Item->StyleNo != rvsListMarker && Item->StyleNo != rvsTable && !FMovingOut && PlaceMarker()) {
            Item->SetContinuesParagraph(true);
            Item->ParaNo = ParaStyleAt(rtf_ts_ContinuePara);
        }
        break;
    }
    TakePendingCheckpoint(*Item);
    if (FPageBreakData == FCurrent) {
        Item->SetPageBreakBefore(true);
        FPageBreakData = nullptr;
    }
    if (!FInsertMode && AppendToPreviousText(*Item, Text)) return;
    if (FCurrent != Root) {
        PlaceInSubDocument(std::move(Item), Text);
        return;
    }
    PlaceInRoot(Item, Text);
}

bool TRVRTFImportRun::AppendToPreviousText(const TCustomRVItemInfo& Item, const AnsiString& Text) {
    // Longer runs start an item of their own, so that appending stays cheap.
    constexpr std::size_t MaxJoinedText = 65536;
    TCustomRVData& data = *FCurrent;
    int last = data.ItemCount() - 1;
    if (Item.StyleNo < 0 || !Item.GetContinuesParagraph() || Item.Checkpoint || last < 0) return false;
    if (&data == Root && (FFirstItem || FIndex != data.ItemCount())) return false;
    const TCustomRVItemInfo& prev = data.LiveItem(last);
    const AnsiString& prevText = data.GetItemText(last);
    if (prev.StyleNo != Item.StyleNo || prev.IsUnicode() != Item.IsUnicode() || prev.Hint != Item.Hint ||
        !TagsAreEqual(prev.Tag, Item.Tag) || prev.ParaNo != Item.ParaNo || prevText.size() >= MaxJoinedText)
        return false;
    if (FStyle && Item.StyleNo < FStyle->TextStyles().Count() &&
        (FStyle->TextStyles()[Item.StyleNo]->Protection & (rvprModifyProtect | rvprConcateProtect)))
        return false;
    data.ItemList->SetString(last, prevText + Text);
    if (TRVRTFSubDataInfo* table = TopTable(); table && &data == &table->Table->CurrentCell())
        table->RowComplete = false;
    return true;
}

void TRVRTFImportRun::PlaceInSubDocument(std::unique_ptr<TCustomRVItemInfo> Item, const AnsiString& Text) {
    TCustomRVData& data = *FCurrent;
    const bool special = Item->StyleNo < 0;
    int count = data.ItemCount();
    bool inLine = Item->ItemOptions & (ioContinuesParagraph | ioLineBreakBefore);
    if (inLine && (count == 0 || data.LiveItem(count - 1).GetBoolValue(iqFullLine))) {
        Item->SetContinuesParagraph(false);
        Item->SetLineBreakBefore(false);
    }
    if (Item->GetBoolValue(iqFullLine)) {
        Item->SetContinuesParagraph(false);
        Item->SetLineBreakBefore(false);
    }
    // An item that does not start a paragraph keeps its paragraph's style.
    if (!Item->StartsParagraph() && count > 0) Item->ParaNo = data.LiveItem(count - 1).ParaNo;
    AnsiString text = Text;
    Item->Inserting(&data, text, false);
    bool isMarker = Item->StyleNo == rvsListMarker;
    bool isNoteRef = special && dynamic_cast<TRVNoteReferenceItemInfo*>(Item.get()) != nullptr;
    TCustomRVItemInfo* item = Item.get();
    data.ItemList->AddObject(text, std::move(Item));
    int index = data.ItemCount() - 1;
    LinkCheckpoint(data, index);
    item->Inserted(&data, index);
    // Text items are neither sequences nor markers.
    if (special) {
        data.AddSeqInList(index);
        data.AddMarkerInList(index);
    }
    if (isNoteRef) {
        FLastNoteRef = index;
        FLastNoteRefData = &data;
    }
    if (isMarker) {
        FLastMarker = index;
        FLastMarkerData = &data;
    }
    if (TRVRTFSubDataInfo* table = TopTable(); table && &data == &table->Table->CurrentCell())
        table->RowComplete = false;
}

bool TRVRTFImportRun::PlaceInRoot(std::unique_ptr<TCustomRVItemInfo>& Item, AnsiString& Text) {
    const bool special = Item->StyleNo < 0;
    bool isMarker = Item->StyleNo == rvsListMarker;
    bool isNoteRef = special && dynamic_cast<TRVNoteReferenceItemInfo*>(Item.get()) != nullptr;
    auto cannotContinue = [&] {
        return FIndex <= 0 || FIndex > Root->ItemCount() ||
               Root->LiveItem(FIndex - 1).GetBoolValue(iqFullLine) || Item->GetBoolValue(iqFullLine);
    };
    if (FFirstItem) {
        if (!FInsertMode && cannotContinue()) {
            Item->SetContinuesParagraph(false);
            Item->SetLineBreakBefore(false);
        }
        int index = FIndex;
        bool fullReformat = false, left = false;
        bool ok = Props.OnInsertLoadedItem
                      ? Props.OnInsertLoadedItem(*Root, index, Text, Item, FInsertMode, fullReformat, left)
                      : DefaultInsertLoadedItem(*Root, index, Text, Item, FInsertMode, fullReformat, left);
        Props.FullReformat = Props.FullReformat || fullReformat;
        if (!ok) DoAbort();
        if (!left || index < 0 || index >= Root->ItemCount()) return false;
        if (!FInsertMode) LinkCheckpoint(*Root, index);
        FirstItemPlaced = index;
        FIndex = index + 1;
        FFirstItem = false;
        if (isMarker) {
            FLastMarker = index;
            FLastMarkerData = Root;
        }
        FLastNoteRef = isNoteRef ? index : -1;
        FLastNoteRefData = Root;
        return true;
    }
    if (cannotContinue()) {
        Item->SetContinuesParagraph(false);
        Item->SetLineBreakBefore(false);
    }
    if (!Item->StartsParagraph() && FIndex > 0) Item->ParaNo = Root->LiveItem(FIndex - 1).ParaNo;
    Item->Inserting(Root, Text, false);
    TCustomRVItemInfo* item = Item.get();
    Root->ItemList->InsertObject(FIndex, Text, std::move(Item));
    if (!FInsertMode) LinkCheckpoint(*Root, FIndex);
    item->Inserted(Root, FIndex);
    if (special) {
        Root->AddSeqInList(FIndex);
        Root->AddMarkerInList(FIndex);
    }
    if (isMarker) {
        FLastMarker = FIndex;
        FLastMarkerData = Root;
    }
    FLastNoteRef = isNoteRef ? FIndex : -1;
    FLastNoteRefData = Root;
    ++FIndex;
    ++Props.InsertedItemCount;
    return true;
}

// ---------------------------------------------------------------- what table builders get

void TRVRTFImportRun::PlaceItem(std::unique_ptr<TCustomRVItemInfo> Item, const AnsiString& Text,
                                TRVRTFPosition Position) {
    bool moving = FMovingOut;
    FMovingOut = true;
    TScopeGuard restore([&] { FMovingOut = moving; });
    std::unique_ptr<TRVCPInfo> checkpoint = std::move(Item->Checkpoint);
    if (checkpoint) {
        FPendingCheckpoint = checkpoint->Name;
        FHasPendingCheckpoint = true;
    }
    if (Position != rtf_ts_NewPara) Item->ParaNo = ParaStyleAt(rtf_ts_ContinuePara);
    Place(std::move(Item), Text, Position);
}

void TRVRTFImportRun::PlaceTab(int TextStyleNo, int ParaNo, TRVRTFPosition Position) {
    bool moving = FMovingOut;
    FMovingOut = true;
    TScopeGuard restore([&] { FMovingOut = moving; });
    std::unique_ptr<TCustomRVItemInfo> item;
    AnsiString text;
    if (FStyle && FStyle->SpacesInTab == 0) {
        auto tab = std::make_unique<TRVTabItemInfo>(FCurrent);
        tab->TextStyleNo = TextStyleNo;
        item = std::move(tab);
    } else {
        bool unicode = FStyle && TextStyleNo < FStyle->TextStyles().Count() &&
                       FStyle->TextStyles()[TextStyleNo]->Unicode;
        text =
            FCurrent->ReplaceTabs(unicode ? WideToRawUnicode(u"\t") : AnsiString("\t"), TextStyleNo, unicode);
        item = RVTextItemClass.Create(FCurrent);
        item->StyleNo = TextStyleNo;
        if (unicode) item->ItemOptions |= ioUnicodeText;
    }
    item->ParaNo = Position == rtf_ts_NewPara ? ParaNo : ParaStyleAt(rtf_ts_ContinuePara);
    Place(std::move(item), text, Position);
}
