// The RVF reader: lines by line mode, header lines, data lines of items
// and document blocks, style maps, encoding repair, and the commit that
// puts a whole stream into the document.
#include "richtext/engine/formats/rvf/RVRvfReader.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringLists.h"
#include "richtext/engine/document/RVDocParams.h"
#include "richtext/engine/formats/rvf/RVRvfStyles.h"
#include "richtext/engine/items/RVMarker.h"
#include "richtext/engine/style/RVStyle.h"

namespace {

// The fields of a header line, separated by single blanks.
class THeaderFields {
public:
    explicit THeaderFields(std::string_view Line) : FLine(Line) {}

    bool AtEnd() const { return FPos >= FLine.size(); }
    bool NextIsQuote() const { return FPos < FLine.size() && FLine[FPos] == '"'; }
    std::string_view Rest() const { return FPos < FLine.size() ? FLine.substr(FPos) : std::string_view(); }

    bool Token(std::string_view& Value) {
        if (AtEnd()) return false;
        std::size_t end = FLine.find(' ', FPos);
        if (end == std::string_view::npos) end = FLine.size();
        Value = FLine.substr(FPos, end - FPos);
        FPos = end < FLine.size() ? end + 1 : end;
        return true;
    }
    bool Int(int& Value) {
        std::string_view token;
        return Token(token) && TryStrToInt(AnsiString(token), Value);
    }
    // A double-quoted string, inner quotes doubled.
    bool Quoted(AnsiString& Value) {
        if (!NextIsQuote()) return false;
        Value.clear();
        std::size_t i = FPos + 1;
        for (;;) {
            if (i >= FLine.size()) return false;
            if (FLine[i] == '"') {
                if (i + 1 < FLine.size() && FLine[i + 1] == '"') {
                    Value += '"';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            Value += FLine[i++];
        }
        FPos = i < FLine.size() && FLine[i] == ' ' ? i + 1 : i;
        return true;
    }

private:
    std::string_view FLine;
    std::size_t FPos = 0;
};

int32_t ReadInt32(std::string_view Bytes, std::size_t Pos) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(uint8_t(Bytes[Pos + std::size_t(i)])) << (8 * i);
    return int32_t(v);
}

} // namespace

struct TRVFReader::THeader {
    int StyleNo = 0;
    int DataCount = 0;
    int ParaNo = 0;
    int SaveType = 0;
    int Subtype = 0;
    int LinesRead = 0;
    int BackStyle = 0;
    TColor BackColor = clNone;
    std::unique_ptr<TCustomRVItemInfo> Item;
    AnsiString Name;
    bool RaiseEvent = false;
    bool Persistent = false;
    TRVTag Tag;
};

TRVFReader::TRVFReader(TCustomRVData& AData, bool AWholeDocument, int ADepth, TRVFReader* AParent)
    : FData(AData), FWholeDocument(AWholeDocument), FDepth(ADepth), FParent(AParent),
      FOptions(AData.GetRVFOptions()), FHeader(std::make_unique<THeader>()) {}

TRVFReader::~TRVFReader() = default;

void TRVFReader::AddWarning(TRVFWarnings Warning) {
    Root().FWarnings |= Warning;
}

bool TRVFReader::ReadSubDocument(std::string_view Bytes, TCustomRVData& Doc) {
    if (FDepth + 1 >= RVFMaxDepth) return false;
    TRVFReader nested(Doc, false, FDepth + 1, this);
    nested.StartIndex = Doc.ItemCount();
    if (!nested.Read(Bytes)) return false;
    int index = Doc.ItemCount();
    TColor color = clNone;
    nested.Commit(index, nullptr, color);
    return true;
}

// ---------------------------------------------------------------- styles

int TRVFReader::TextStyleCount() const {
    const TRVFReader& root = Root();
    if (root.FTextStyles) return root.FTextStyles->Count();
    TRVStyle* style = FData.GetRVStyle();
    return style ? style->TextStyles().Count() : -1;
}

int TRVFReader::ParaStyleCount() const {
    const TRVFReader& root = Root();
    if (root.FParaStyles) return root.FParaStyles->Count();
    TRVStyle* style = FData.GetRVStyle();
    return style ? style->ParaStyles().Count() : -1;
}

int TRVFReader::ListStyleCount() const {
    const TRVFReader& root = Root();
    if (root.FListStyles) return root.FListStyles->Count();
    TRVStyle* style = FData.GetRVStyle();
    return style ? style->ListStyles().Count() : -1;
}

bool TRVFReader::IsUnicodeStyle(int StyleNo) const {
    const TRVFReader& root = Root();
    if (root.FTextStyles)
        return StyleNo >= 0 && StyleNo < root.FTextStyles->Count() &&
               root.FTextStyles->GetItem(StyleNo)->Unicode;
    TRVStyle* style = FData.GetRVStyle();
    return style && StyleNo >= 0 && StyleNo < style->TextStyles().Count() &&
           style->TextStyles().GetItem(StyleNo)->Unicode;
}

unsigned TRVFReader::StyleCodePage(int StyleNo) const {
    TRVStyle* style = FData.GetRVStyle();
    unsigned def = style ? style->DefCodePage : 0;
    const TRVFReader& root = Root();
    TFontInfos* infos = root.FTextStyles ? root.FTextStyles.get() : style ? &style->TextStyles() : nullptr;
    if (!infos || StyleNo < 0 || StyleNo >= infos->Count()) return def ? def : 1251;
    unsigned cp = infos->GetItem(StyleNo)->GetCodePage(def);
    return cp ? cp : 1251;
}

// A stream's text style number as the style sheet's; false when it must
// fail the reading.
bool TRVFReader::MapTextStyle(int& StyleNo) {
    if (StyleNo == rvsDefStyle) return true;
    bool convert = FOptions & rvfoConvUnknownStylesToZero;
    if (TRVIntegerList* map = Root().FTextMap.get()) {
        if (StyleNo >= map->Count()) {
            AddWarning(rvfwInvalidStyleIndex);
            if (!convert) return false;
            StyleNo = 0;
        } else {
            StyleNo = map->GetItem(StyleNo);
        }
    }
    int count = TextStyleCount();
    if (count >= 0 && StyleNo >= count) {
        AddWarning(rvfwInvalidStyleIndex);
        if (!convert) return false;
        StyleNo = 0;
    }
    return true;
}

bool TRVFReader::MapParaStyle(int& ParaNo) {
    if (ParaNo < 0) return true;
    if (TRVIntegerList* map = Root().FParaMap.get()) {
        if (ParaNo >= map->Count()) {
            AddWarning(rvfwInvalidStyleIndex);
            return false;
        }
        ParaNo = map->GetItem(ParaNo);
    }
    int count = ParaStyleCount();
    if (count >= 0 && ParaNo >= count) {
        AddWarning(rvfwInvalidStyleIndex);
        if (!(FOptions & rvfoConvUnknownStylesToZero)) return false;
        ParaNo = 0;
    }
    return true;
}

void TRVFReader::MapListNo(TCustomRVItemInfo& Item) {
    auto* marker = dynamic_cast<TRVMarkerItemInfo*>(&Item);
    if (!marker || marker->ListNo < 0) return;
    if (TRVIntegerList* map = Root().FListMap.get()) {
        if (marker->ListNo >= map->Count()) {
            AddWarning(rvfwInvalidStyleIndex);
            marker->ListNo = 0;
        } else {
            marker->ListNo = map->GetItem(marker->ListNo);
        }
    }
    int count = ListStyleCount();
    if (count >= 0 && marker->ListNo >= count) {
        AddWarning(rvfwInvalidStyleIndex);
        marker->ListNo = count > 0 ? 0 : -1;
    }
}

// ---------------------------------------------------------------- lines

bool TRVFReader::ReadLine(std::string_view& Line) {
    std::size_t left = FBytes.size() - FPos;
    if (FLineMode == 2) {
        if (left < 4) return false;
        int32_t length = ReadInt32(FBytes, FPos);
        if (length < 0 || std::size_t(length) > left - 4) return false;
        Line = FBytes.substr(FPos + 4, std::size_t(length));
        FPos += 4 + std::size_t(length);
        return true;
    }
    if (FLineMode == 4) {
        std::size_t end = FPos;
        while (end + 1 < FBytes.size()) {
            auto lo = uint8_t(FBytes[end]), hi = uint8_t(FBytes[end + 1]);
            if ((lo == 0 && hi == 0) || (lo == 0x29 && hi == 0x20)) break;
            end += 2;
        }
        Line = FBytes.substr(FPos, end - FPos);
        // An odd byte at the very end belongs to no unit.
        FPos = end + 1 < FBytes.size() ? end : FBytes.size();
        return true;
    }
    std::size_t end = FBytes.find_first_of(std::string_view("\r\n\0", 3), FPos);
    if (end == std::string_view::npos) end = FBytes.size();
    Line = FBytes.substr(FPos, end - FPos);
    FPos = end;
    return true;
}

bool TRVFReader::SkipLineEnd() {
    auto at = [&](char C) { return FPos < FBytes.size() && FBytes[FPos] == C; };
    auto crlf = [&] {
        if (!(FBytes.size() - FPos >= 2 && FBytes[FPos] == '\r' && FBytes[FPos + 1] == '\n')) return false;
        FPos += 2;
        return true;
    };
    auto unitEnd = [&] {
        if (FBytes.size() - FPos >= 2 && ((FBytes[FPos] == 0x29 && FBytes[FPos + 1] == 0x20) ||
                                          (FBytes[FPos] == 0 && FBytes[FPos + 1] == 0)))
            FPos += 2;
    };
    switch (FLineMode) {
    case 0:
        if (at('\r')) {
            ++FPos;
            if (at('\n')) ++FPos;
        } else if (at('\n') || at('\0')) {
            ++FPos;
        }
        return true;
    case 1:
        if (!crlf()) return false;
        FLineMode = 2;
        return true;
    case 3:
        if (!crlf()) return false;
        FLineMode = 4;
        return true;
    case 4:
        unitEnd();
        return true;
    case 5:
        unitEnd();
        FLineMode = 0;
        return true;
    default:
        FLineMode = 0;
        return true;
    }
}

// ---------------------------------------------------------------- headers

bool TRVFReader::ParseHeader(std::string_view Line) {
    FHeader = std::make_unique<THeader>();
    THeader& h = *FHeader;
    THeaderFields fields(Line);
    TRVStyle* style = FData.GetRVStyle();
    // 1. The style number, or a text style's name.
    if (fields.NextIsQuote()) {
        AnsiString name;
        if (!fields.Quoted(name)) return false;
        h.StyleNo = 0;
        TFontInfos* infos = Root().FTextStyles ? Root().FTextStyles.get()
                            : style            ? &style->TextStyles()
                                               : nullptr;
        for (int i = 0; infos && i < infos->Count(); ++i)
            if (infos->GetItem(i)->StyleName == name) {
                h.StyleNo = i;
                break;
            }
    } else if (!fields.Int(h.StyleNo)) {
        return false;
    }
    // 2. The version record.
    if (h.StyleNo == rvsVersionInfo) {
        if (!fields.Int(FVersion) || !fields.Int(FSubVersion)) return false;
        h.DataCount = 0;
        return true;
    }
    // 3. Lines that follow and the paragraph.
    if (!fields.Int(h.DataCount) || h.DataCount < 0) return false;
    if (fields.NextIsQuote()) {
        AnsiString name;
        if (!fields.Quoted(name)) return false;
        h.ParaNo = 0;
        TParaInfos* infos = Root().FParaStyles ? Root().FParaStyles.get()
                            : style            ? &style->ParaStyles()
                                               : nullptr;
        for (int i = 0; infos && i < infos->Count(); ++i)
            if (infos->GetItem(i)->StyleName == name) {
                h.ParaNo = i;
                break;
            }
    } else if (!fields.Int(h.ParaNo)) {
        return false;
    }
    // 4. The item the record makes.
    bool record = h.StyleNo == rvsBack || h.StyleNo == rvsCheckpoint || h.StyleNo == rvsDocProperty;
    if (!record) h.Item = CreateItemForStyleNo(h.StyleNo, &FData);
    // 5. Options.
    if (FVersion >= 1 && FSubVersion >= 2) {
        int options = 0;
        if (!fields.Int(options)) return false;
        if (h.Item) h.Item->ItemOptions = TRVItemOptions(options & 0x0F);
    }
    // 6, 7. Encoding and tag.
    if (!fields.Int(h.SaveType)) return false;
    TRVTag tag = int32_t(0);
    if (FData.TagsArePChars()) {
        if ((FVersion > 1 || FSubVersion > 2) && fields.NextIsQuote()) {
            AnsiString text;
            if (!fields.Quoted(text)) return false;
            tag = text;
        } else {
            std::string_view token;
            if (!fields.Token(token)) return false;
            tag = token == "0" ? AnsiString() : AnsiString(token);
        }
    } else {
        int value = 0;
        if (!fields.Int(value)) return false;
        tag = int32_t(value);
    }
    // 8, 9. Document blocks and checkpoints.
    if (h.StyleNo == rvsDocProperty) {
        if (!fields.Int(h.Subtype)) return false;
    }
    if (h.StyleNo == rvsCheckpoint)
        h.Tag = std::move(tag);
    else if (h.Item)
        h.Item->Tag = std::move(tag);
    // 10. Text styles.
    if (h.StyleNo >= 0 && !MapTextStyle(h.StyleNo)) return false;
    if (h.Item && h.StyleNo >= 0) h.Item->StyleNo = h.StyleNo;
    // 11. Paragraph styles.
    if ((h.Item || h.StyleNo >= 0) && !MapParaStyle(h.ParaNo)) return false;
    // 12. The rest of the line.
    if (h.StyleNo == rvsBack) {
        int color = 0;
        if (!fields.Int(h.BackStyle) || !fields.Int(color)) return false;
        h.BackColor = TColor(color);
        if ((FOptions & rvfoLoadBack) && FWholeDocument) FColor = h.BackColor;
    } else if (h.StyleNo == rvsCheckpoint) {
        int value = 0;
        if (!fields.AtEnd()) {
            if (!fields.Int(value)) return false;
            h.RaiseEvent = value != 0;
        }
        if (!fields.AtEnd()) {
            if (!fields.Int(value)) return false;
            h.Persistent = value != 0;
        }
    } else if (h.Item) {
        if (!h.Item->ReadRVFHeaderExtra(fields.Rest(), *this)) return false;
    }
    return true;
}

// ---------------------------------------------------------------- data lines

bool TRVFReader::ReadStyleBlock(std::string_view Payload) {
    TRVStyle* style = FData.GetRVStyle();
    int subtype = FHeader->Subtype;
    TRVFReaderStyleMode mode =
        subtype == 1 ? FData.GetRVFTextStylesReadMode() : FData.GetRVFParaStylesReadMode();
    if (mode == rvf_sIgnore || !style || FParent) return true;
    if (Payload.empty() || uint8_t(Payload[0]) != RVFStyleCollectionMarker) return false;
    TCustomRVInfos* target = subtype == 1   ? static_cast<TCustomRVInfos*>(&style->TextStyles())
                             : subtype == 2 ? static_cast<TCustomRVInfos*>(&style->ParaStyles())
                                            : static_cast<TCustomRVInfos*>(&style->ListStyles());
    std::unique_ptr<TCustomRVInfos> read = NewStyleCollectionLike(*target);
    try {
        LoadRvfStyles(Payload, *read, FData);
    } catch (const Exception&) {
        AddWarning(rvfwStyleReadError);
        return true;
    }
    std::unique_ptr<TRVIntegerList>& map = subtype == 1 ? FTextMap : subtype == 2 ? FParaMap : FListMap;
    if (read->Count() == 0 || map) return true;
    // The collection as the style sheet will hold it.
    std::unique_ptr<TCustomRVInfos> staged;
    if (FWholeDocument) {
        staged = std::move(read);
    } else {
        staged = NewStyleCollectionLike(*target);
        CopyStyles(*staged, *target);
        map = std::make_unique<TRVIntegerList>();
        staged->MergeStyles(*read, mode == rvf_sInsertMap ? rvsmmMap : rvsmmMerge, *map,
                            subtype == 1 ? nullptr : FTextMap.get());
    }
    if (subtype == 1)
        FTextStyles.reset(static_cast<TFontInfos*>(staged.release()));
    else if (subtype == 2)
        FParaStyles.reset(static_cast<TParaInfos*>(staged.release()));
    else
        FListStyles.reset(static_cast<TRVListInfos*>(staged.release()));
    return true;
}

bool TRVFReader::ReadDocBlockLine(const AnsiString& Line) {
    THeader& h = *FHeader;
    bool binary = h.SaveType == 2;
    auto payload = [&](AnsiString& Bytes) {
        return binary ? (Bytes = Line, true) : HexToString(Line, Bytes);
    };
    switch (h.Subtype) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6:
        if (h.LinesRead == 0) {
            if (binary) FLineMode = 1;
            return true;
        }
        if (h.LinesRead != 1) return true;
        if (h.Subtype == 3) {
            if (!FWholeDocument || !(FOptions & rvfoLoadLayout)) return true;
            AnsiString bytes;
            if (!payload(bytes)) return false;
            // The binary form carries the total size first.
            std::string_view block = bytes;
            if (binary) {
                if (block.size() < 4) return false;
                block.remove_prefix(4);
            }
            auto layout = std::make_unique<TRVLayoutInfo>();
            layout->LoadFromBytes(block);
            FLayout = std::move(layout);
            return true;
        }
        if (h.Subtype == 6) return true;
        {
            AnsiString bytes;
            if (!payload(bytes)) return false;
            return ReadStyleBlock(bytes);
        }
    case 5:
        if (FWholeDocument && (FOptions & rvfoLoadDocProperties)) {
            if (!FDocProperties) FDocProperties.emplace();
            FDocProperties->push_back(UnescapeLineBreaks(Line));
        }
        return true;
    case 7:
        if (FWholeDocument && (FOptions & rvfoLoadDocProperties)) {
            if (!FDocParameters) FDocParameters = std::make_unique<TRVDocParameters>();
            FDocParameters->ReadDocParameterRvf(Line);
        }
        return true;
    default:
        return true;
    }
}

bool TRVFReader::ReadDataLine(const AnsiString& Line) {
    THeader& h = *FHeader;
    if (h.StyleNo == rvsDocProperty) return ReadDocBlockLine(Line);
    if (h.StyleNo == rvsBack) {
        if (h.LinesRead == 0) {
            if (h.SaveType == 2) FLineMode = 1;
        } else if (h.LinesRead == 1) {
            AnsiString bytes;
            if (h.SaveType != 2 && !HexToString(Line, bytes)) return false;
            FRecordState = 2;
        }
        return true;
    }
    if (h.StyleNo == rvsCheckpoint) {
        if (!FPendingCheckpoint) {
            auto cp = std::make_unique<TRVCPInfo>();
            cp->Name = Line;
            cp->Tag = h.Tag;
            cp->RaiseEvent = h.RaiseEvent;
            cp->Persistent = h.Persistent;
            FPendingCheckpoint = std::move(cp);
        }
        return true;
    }
    if (h.StyleNo < 0) {
        bool nextBinary = false;
        if (!h.Item->ReadRVFLine(Line, *this, h.SaveType, h.LinesRead, h.DataCount, h.Name, nextBinary))
            return false;
        if (nextBinary) FLineMode = 1;
        if (h.LinesRead + 1 == h.DataCount) return ReadRecordItem(nullptr);
        return true;
    }
    return ReadRecordItem(&Line);
}

// Step by step as an item of the record enters the read items.
bool TRVFReader::ReadRecordItem(const AnsiString* Line) {
    THeader& h = *FHeader;
    if (h.StyleNo == rvsBack || h.StyleNo == rvsVersionInfo || h.StyleNo == rvsCheckpoint) return true;
    std::unique_ptr<TCustomRVItemInfo> item;
    if (h.StyleNo >= 0) {
        if (!h.Item) return false;
        item = CreateItemForStyleNo(h.StyleNo, &FData);
        item->AssignProperties(*h.Item);
        item->StyleNo = h.StyleNo;
        item->Tag = DuplicateTag(h.Item->Tag);
    } else {
        item = std::move(h.Item);
        if (!item) {
            // A document block or an unknown kind: its checkpoint has no item.
            FPendingCheckpoint.reset();
            return true;
        }
        int textStyle = item->GetAssociatedTextStyleNo();
        if (textStyle >= 0) {
            if (!MapTextStyle(textStyle)) return true;
            item->SetAssociatedTextStyleNo(textStyle);
        }
        if (!item->GetBoolValue(iqValid)) {
            FPendingCheckpoint.reset();
            return true;
        }
    }
    // The paragraph: -1 continues the previous item when it may.
    const TCustomRVItemInfo* prev = !FItems.empty() ? FItems.back().Item.get()
                                    : StartIndex > 0 && StartIndex <= FData.ItemCount()
                                        ? FData.GetItem(StartIndex - 1)
                                        : nullptr;
    if (h.ParaNo == -1 && prev && !prev->GetBoolValue(iqFullLine) && !item->GetBoolValue(iqFullLine)) {
        item->SetContinuesParagraph(true);
        item->ParaNo = prev->ParaNo;
    } else {
        item->SetContinuesParagraph(false);
        item->ParaNo = h.ParaNo < 0 ? 0 : h.ParaNo;
    }
    if (FPendingCheckpoint) item->Checkpoint = std::move(FPendingCheckpoint);
    AnsiString text = item->StyleNo >= 0 && Line ? *Line : h.StyleNo < 0 ? h.Name : AnsiString();
    if (item->StyleNo >= 0) {
        if (item->IsUnicode() && h.SaveType == 3) {
            AnsiString bytes;
            if (!HexToString(text, bytes)) return false;
            text = std::move(bytes);
        }
        if (item->IsUnicode() && text.size() % 2) return false;
        int styleNo = item->GetActualStyleNo(FData.GetRVStyle());
        bool unicodeStyle = IsUnicodeStyle(styleNo);
        if (item->IsUnicode() && !unicodeStyle) {
            text = RawUnicodeToAnsi(StyleCodePage(styleNo), text);
            item->ItemOptions &= TRVItemOptions(~ioUnicodeText);
            AddWarning(rvfwTextFromUnicode);
        } else if (!item->IsUnicode() && unicodeStyle) {
            text = AnsiToRawUnicode(StyleCodePage(styleNo), text);
            item->ItemOptions |= ioUnicodeText;
            AddWarning(rvfwTextToUnicode);
        }
    }
    MapListNo(*item);
    FItems.push_back({std::move(text), std::move(item)});
    return true;
}

// ---------------------------------------------------------------- the loop

bool TRVFReader::Read(std::string_view Bytes) {
    FBytes = Bytes;
    FPos = 0;
    try {
        while (FPos < FBytes.size()) {
            std::string_view line;
            if (!ReadLine(line)) return false;
            switch (FRecordState) {
            case 0: {
                if (!ParseHeader(line)) return false;
                THeader& h = *FHeader;
                if (h.StyleNo == rvsVersionInfo) break;
                if (h.DataCount == 0) {
                    if (!ReadRecordItem(nullptr)) return false;
                    break;
                }
                bool record =
                    h.StyleNo == rvsBack || h.StyleNo == rvsCheckpoint || h.StyleNo == rvsDocProperty;
                if (record || (h.Item && h.Item->GetBoolValue(iqHasRVFLines))) {
                    FRecordState = 1;
                    if (h.Item && h.Item->IsUnicode() && h.SaveType != 3) FLineMode = 3;
                } else {
                    FRecordState = 2;
                    if (h.DataCount == 1 && h.SaveType == 2) FLineMode = 1;
                }
                break;
            }
            case 1: {
                THeader& h = *FHeader;
                int state = FRecordState;
                if (!ReadDataLine(AnsiString(line))) return false;
                if (++h.LinesRead >= h.DataCount) {
                    FRecordState = 0;
                    if (FLineMode == 4) FLineMode = 5;
                } else if (state != FRecordState && h.DataCount - h.LinesRead == 1 && h.SaveType == 2) {
                    FLineMode = 1;
                }
                break;
            }
            default: {
                THeader& h = *FHeader;
                ++h.LinesRead;
                if (h.DataCount - h.LinesRead == 1 && h.SaveType == 2) FLineMode = 1;
                if (h.LinesRead >= h.DataCount) {
                    if (!ReadRecordItem(nullptr)) return false;
                    FRecordState = 0;
                }
                break;
            }
            }
            if (!SkipLineEnd()) return false;
        }
    } catch (const Exception&) {
        return false;
    }
    if (FRecordState != 0) return false;
    // A list marker never ends its paragraph.
    if (!FItems.empty() && FItems.back().Item->StyleNo == rvsListMarker) {
        auto empty = CreateItemForStyleNo(0, &FData);
        empty->SetContinuesParagraph(true);
        empty->ParaNo = FItems.back().Item->ParaNo;
        FItems.push_back({AnsiString(), std::move(empty)});
    }
    return true;
}

// ---------------------------------------------------------------- commit

void TRVFReader::Commit(int& Index, TRVLayoutInfo* Layout, TColor& Color) {
    TRVStyle* style = FData.GetRVStyle();
    if (FWholeDocument) FData.Clear();
    if (style && !FParent) {
        if (FTextStyles) CopyStyles(style->TextStyles(), *FTextStyles);
        if (FParaStyles) CopyStyles(style->ParaStyles(), *FParaStyles);
        if (FListStyles) AssignListStylesKeepingIds(style->ListStyles(), *FListStyles);
    }
    Index = std::clamp(Index, 0, FData.ItemCount());
    int first = Index;
    if (Index == FData.ItemCount()) {
        FData.BeginItemsLoad();
        TScopeGuard endLoad([&] { FData.EndItemsLoad(); });
        for (TReadItem& read : FItems)
            FData.AddItemAsIs(read.Text, std::move(read.Item));
        if (FPendingCheckpoint && !FData.PendingCheckpoint) {
            FData.PendingCheckpoint = std::move(FPendingCheckpoint);
            ++FData.CheckpointCount;
        }
    } else {
        FData.UpdateCheckpointItemNos();
        TRVCPInfo* after = FData.FindCheckpointBefore(Index);
        int at = Index;
        for (TReadItem& read : FItems) {
            std::unique_ptr<TRVCPInfo> cp = std::move(read.Item->Checkpoint);
            TCustomRVItemInfo* item = read.Item.get();
            item->Inserting(&FData, read.Text, false);
            FData.ItemList->InsertObject(at, read.Text, std::move(read.Item));
            item->Inserted(&FData, at);
            if (cp) {
                FData.LinkCheckpoint(*item, after, cp);
                ++FData.CheckpointCount;
                after = item->Checkpoint.get();
            }
            FData.AddSeqInList(at);
            FData.AddMarkerInList(at);
            ++at;
        }
    }
    FItems.clear();
    FData.NormalizeParaNos(first);
    Index = first;
    if (FWholeDocument && !FParent) {
        if (FDocProperties)
            if (TStringList* props = FData.GetDocProperties()) {
                props->Clear();
                for (const AnsiString& line : *FDocProperties)
                    props->Add(line);
            }
        if (FDocParameters) FData.GetDocParameters(true)->Assign(FDocParameters.get());
        if (FLayout && Layout) Layout->CopyFrom(*FLayout);
        if (FColor) Color = *FColor;
    }
}

// ---------------------------------------------------------------- entry point

bool RVReadRvf(std::string_view Bytes, TCustomRVData& Data, int& Index, bool WholeDocument,
               TRVLayoutInfo* Layout, TColor& Color) {
    TRVFReader reader(Data, WholeDocument, 0, nullptr);
    Index = std::clamp(Index, 0, Data.ItemCount());
    reader.StartIndex = WholeDocument ? 0 : Index;
    bool ok = reader.Read(Bytes);
    Data.SetRVFWarnings(reader.Warnings());
    if (!ok) return false;
    reader.Commit(Index, Layout, Color);
    return true;
}
