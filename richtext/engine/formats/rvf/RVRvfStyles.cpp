// The style collections as RVF style blocks: one list of named properties
// per style, written and read by the same visit of every property.
#include "richtext/engine/formats/rvf/RVRvfStyles.h"

#include <cstring>
#include <map>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"

namespace {

enum : uint8_t { kInt = 1, kString = 2, kObject = 3, kList = 4 };

void PutU32(AnsiString& Out, uint32_t V) {
    for (int i = 0; i < 4; ++i)
        Out += char((V >> (8 * i)) & 0xFF);
}

// ---------------------------------------------------------------- writing

class TPropWriter {
public:
    AnsiString Out;
    uint32_t Count = 0;

    void Name(const char* N, uint8_t Kind) {
        ++Count;
        Out += char(std::strlen(N));
        Out += N;
        Out += char(Kind);
    }
    template <class T> void Int(const char* N, T& Value) {
        Name(N, kInt);
        PutU32(Out, uint32_t(int32_t(Value)));
    }
    void Str(const char* N, AnsiString& Value) {
        Name(N, kString);
        PutU32(Out, uint32_t(Value.size()));
        Out += Value;
    }
    void WStr(const char* N, WideString& Value) {
        AnsiString bytes(reinterpret_cast<const char*>(Value.data()), Value.size() * 2);
        Str(N, bytes);
    }
    template <class F> void Object(const char* N, F&& Visit) {
        TPropWriter sub;
        Visit(sub);
        Name(N, kObject);
        PutU32(Out, sub.Count);
        Out += sub.Out;
    }
    // Count items, each visited by Visit(writer, index).
    template <class F> void List(const char* N, int Items, F&& Visit) {
        Name(N, kList);
        PutU32(Out, uint32_t(Items));
        for (int i = 0; i < Items; ++i) {
            TPropWriter sub;
            Visit(sub, i);
            PutU32(Out, sub.Count);
            Out += sub.Out;
        }
    }
};

// ---------------------------------------------------------------- reading

class TBytes {
public:
    explicit TBytes(std::string_view Data) : FData(Data) {}
    uint8_t U8() {
        Need(1);
        return uint8_t(FData[FPos++]);
    }
    uint32_t U32() {
        Need(4);
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(uint8_t(FData[FPos + std::size_t(i)])) << (8 * i);
        FPos += 4;
        return v;
    }
    std::string_view Take(std::size_t N) {
        Need(N);
        std::string_view s = FData.substr(FPos, N);
        FPos += N;
        return s;
    }
    std::size_t Left() const { return FData.size() - FPos; }

private:
    void Need(std::size_t N) const {
        if (FData.size() - FPos < N) throw EReadError("Invalid RVF format");
    }
    std::string_view FData;
    std::size_t FPos = 0;
};

constexpr int MaxNesting = 8;

// The properties of one object, parsed before they are applied.
struct TPropValues {
    std::map<AnsiString, int32_t> Ints;
    std::map<AnsiString, AnsiString> Strings;
    std::map<AnsiString, TPropValues> Objects;
    std::map<AnsiString, std::vector<TPropValues>> Lists;
};

void ParseProps(TBytes& In, uint32_t Count, TPropValues& Values, int Depth);

void ParseObject(TBytes& In, TPropValues& Values, int Depth) {
    if (Depth > MaxNesting) throw EReadError("Invalid RVF format");
    uint32_t count = In.U32();
    // Every property takes at least three bytes.
    if (count > In.Left() / 3) throw EReadError("Invalid RVF format");
    ParseProps(In, count, Values, Depth);
}

void ParseProps(TBytes& In, uint32_t Count, TPropValues& Values, int Depth) {
    for (uint32_t i = 0; i < Count; ++i) {
        AnsiString name(In.Take(In.U8()));
        switch (In.U8()) {
        case kInt:
            Values.Ints[name] = int32_t(In.U32());
            break;
        case kString: {
            uint32_t length = In.U32();
            Values.Strings[name] = AnsiString(In.Take(length));
            break;
        }
        case kObject:
            ParseObject(In, Values.Objects[name], Depth + 1);
            break;
        case kList: {
            uint32_t items = In.U32();
            if (items > In.Left() / 4) throw EReadError("Invalid RVF format");
            auto& list = Values.Lists[name];
            list.resize(items);
            for (uint32_t k = 0; k < items; ++k)
                ParseObject(In, list[k], Depth + 1);
            break;
        }
        default:
            throw EReadError("Invalid RVF format");
        }
    }
}

class TPropReader {
public:
    explicit TPropReader(const TPropValues& AValues) : Values(AValues) {}
    const TPropValues& Values;

    template <class T> void Int(const char* N, T& Value) {
        if (auto it = Values.Ints.find(N); it != Values.Ints.end()) Value = T(it->second);
    }
    void Str(const char* N, AnsiString& Value) {
        if (auto it = Values.Strings.find(N); it != Values.Strings.end()) Value = it->second;
    }
    void WStr(const char* N, WideString& Value) {
        if (auto it = Values.Strings.find(N); it != Values.Strings.end())
            Value.assign(reinterpret_cast<const char16_t*>(it->second.data()), it->second.size() / 2);
    }
    template <class F> void Object(const char* N, F&& Visit) {
        if (auto it = Values.Objects.find(N); it != Values.Objects.end()) {
            TPropReader sub(it->second);
            Visit(sub);
        }
    }
    // Grow(count) makes the items; Visit(reader, index) fills each.
    template <class G, class F> void ReadList(const char* N, G&& Grow, F&& Visit) {
        auto it = Values.Lists.find(N);
        if (it == Values.Lists.end()) return;
        Grow(int(it->second.size()));
        for (std::size_t i = 0; i < it->second.size(); ++i) {
            TPropReader sub(it->second[i]);
            Visit(sub, int(i));
        }
    }
};

// ---------------------------------------------------------------- the properties

template <class V> void VisitRect(V& v, TRVRect& R) {
    v.Int("Left", R.Left);
    v.Int("Right", R.Right);
    v.Int("Top", R.Top);
    v.Int("Bottom", R.Bottom);
}

template <class V> void VisitBase(V& v, TCustomRVInfo& S) {
    v.Int("BaseStyleNo", S.BaseStyleNo);
    v.Str("StyleName", S.StyleName);
    v.Int("Standard", S.Standard);
    v.Int("StyleTemplateId", S.StyleTemplateId);
}

template <class V> void VisitFont(V& v, TFontInfo& F) {
    VisitBase(v, F);
    v.Int("Charset", F.Charset);
    v.Str("FontName", F.FontName);
    v.Int("Size", F.Size);
    v.Int("Style", F.Style);
    v.Int("VShift", F.VShift);
    v.Int("Color", F.Color);
    v.Int("BackColor", F.BackColor);
    v.Int("HoverBackColor", F.HoverBackColor);
    v.Int("HoverColor", F.HoverColor);
    v.Int("HoverEffects", F.HoverEffects);
    v.Int("StyleEx", F.StyleEx);
    v.Int("Jump", F.Jump);
    v.Int("JumpCursor", F.JumpCursor);
    v.Int("CharScale", F.CharScale);
    v.Int("CharSpacing", F.CharSpacing);
    v.Int("BiDiMode", F.BiDiMode);
    v.Int("SubSuperScriptType", F.SubSuperScriptType);
    v.Int("Protection", F.Protection);
    v.Int("Options", F.Options);
    v.Int("UnderlineType", F.UnderlineType);
    v.Int("UnderlineColor", F.UnderlineColor);
    v.Int("HoverUnderlineColor", F.HoverUnderlineColor);
    v.Int("NextStyleNo", F.NextStyleNo);
    v.Int("Unicode", F.Unicode);
    v.Int("ModifiedProperties", F.ModifiedProperties);
}

template <class V> void VisitTabs(V& v, TRVTabInfos& Tabs);

template <class V> void VisitPara(V& v, TParaInfo& P) {
    VisitBase(v, P);
    v.Int("FirstIndent", P.FirstIndent);
    v.Int("LeftIndent", P.LeftIndent);
    v.Int("RightIndent", P.RightIndent);
    v.Int("SpaceBefore", P.SpaceBefore);
    v.Int("SpaceAfter", P.SpaceAfter);
    v.Int("Alignment", P.Alignment);
    v.Int("LineSpacing", P.LineSpacing);
    v.Int("LineSpacingType", P.LineSpacingType);
    v.Int("Options", P.Options);
    v.Int("BiDiMode", P.BiDiMode);
    v.Int("NextParaNo", P.NextParaNo);
    v.Int("DefStyleNo", P.DefStyleNo);
    v.Int("ModifiedProperties1", P.ModifiedProperties1);
    v.Int("ModifiedProperties2", P.ModifiedProperties2);
    v.Object("Border", [&](auto& b) {
        TRVBorder& border = P.Border();
        b.Int("Width", border.Width);
        b.Int("InternalWidth", border.InternalWidth);
        b.Int("Color", border.Color);
        b.Int("Style", border.Style);
        b.Object("VisibleBorders", [&](auto& r) {
            TRVBooleanRect& sides = border.VisibleBorders();
            r.Int("Left", sides.Left);
            r.Int("Right", sides.Right);
            r.Int("Top", sides.Top);
            r.Int("Bottom", sides.Bottom);
        });
        b.Object("BorderOffsets", [&](auto& r) { VisitRect(r, border.BorderOffsets()); });
    });
    v.Object("Background", [&](auto& b) {
        b.Int("Color", P.Background().Color);
        b.Object("BorderOffsets", [&](auto& r) { VisitRect(r, P.Background().BorderOffsets()); });
    });
    VisitTabs(v, P.Tabs());
}

template <class V> void VisitTab(V& v, TRVTabInfo& Tab) {
    int32_t position = Tab.Position();
    v.Int("Position", position);
    v.Int("Align", Tab.Align);
    v.Str("Leader", Tab.Leader);
    if (position != Tab.Position()) Tab.SetPosition(position);
}

template <> void VisitTabs(TPropWriter& v, TRVTabInfos& Tabs) {
    v.List("Tabs", Tabs.Count(), [&](TPropWriter& w, int i) { VisitTab(w, *Tabs.GetItem(i)); });
}

template <> void VisitTabs(TPropReader& v, TRVTabInfos& Tabs) {
    // Read in order; each position keeps the list sorted as it is set.
    auto it = v.Values.Lists.find("Tabs");
    if (it == v.Values.Lists.end()) return;
    Tabs.Clear();
    for (const TPropValues& values : it->second) {
        TPropReader r(values);
        VisitTab(r, *Tabs.Add());
    }
}

template <class V> void VisitMarkerFont(V& v, TRVMarkerFont& Font) {
    AnsiString name = Font.Name();
    int32_t height = Font.Height(), style = Font.Style(), color = Font.Color();
    v.Str("Name", name);
    v.Int("Height", height);
    v.Int("Style", style);
    v.Int("Color", color);
    v.Int("Charset", Font.Charset);
    if (name != Font.Name()) Font.SetName(name);
    if (height != Font.Height()) Font.SetHeight(height);
    if (style != int32_t(Font.Style())) Font.SetStyle(TFontStyles(style));
    if (color != int32_t(Font.Color())) Font.SetColor(TColor(color));
}

template <class V> void VisitLevel(V& v, TRVListLevel& L) {
    v.Int("ListType", L.ListType);
    v.Int("StartFrom", L.StartFrom);
    v.Int("ImageIndex", L.ImageIndex);
    v.Str("FormatString", L.FormatString);
    v.WStr("FormatStringW", L.FormatStringW);
    v.Int("LeftIndent", L.LeftIndent);
    v.Int("FirstIndent", L.FirstIndent);
    v.Int("MarkerIndent", L.MarkerIndent);
    v.Int("MarkerAlignment", L.MarkerAlignment);
    v.Int("Options", L.Options);
}

void VisitListWrite(TPropWriter& v, TRVListInfo& L) {
    VisitBase(v, L);
    v.Int("OneLevelPreview", L.OneLevelPreview);
    int32_t id = L.ListID();
    v.Int("LstID", id);
    v.List("Levels", L.Levels().Count(), [&](TPropWriter& w, int i) {
        TRVListLevel& level = *L.Levels().GetItem(i);
        VisitLevel(w, level);
        if (level.HasOwnFont()) w.Object("Font", [&](TPropWriter& f) { VisitMarkerFont(f, level.Font()); });
    });
}

void VisitListRead(TPropReader& v, TRVListInfo& L) {
    VisitBase(v, L);
    v.Int("OneLevelPreview", L.OneLevelPreview);
    int32_t id = 0;
    v.Int("LstID", id);
    if (id) L.SetListID(id);
    v.ReadList(
        "Levels",
        [&](int Count) {
            L.Levels().Clear();
            for (int i = 0; i < Count; ++i)
                L.Levels().Add();
        },
        [&](TPropReader& r, int i) {
            TRVListLevel& level = *L.Levels().GetItem(i);
            VisitLevel(r, level);
            r.Object("Font", [&](TPropReader& f) { VisitMarkerFont(f, level.Font()); });
        });
}

} // namespace

AnsiString SaveRvfStyles(TCustomRVInfos& Styles) {
    AnsiString out(1, char(RVFStyleCollectionMarker));
    PutU32(out, uint32_t(Styles.Count()));
    for (int i = 0; i < Styles.Count(); ++i) {
        TPropWriter w;
        TCollectionItem* item = Styles.Items(i);
        if (auto* font = dynamic_cast<TFontInfo*>(item))
            VisitFont(w, *font);
        else if (auto* para = dynamic_cast<TParaInfo*>(item))
            VisitPara(w, *para);
        else if (auto* list = dynamic_cast<TRVListInfo*>(item))
            VisitListWrite(w, *list);
        PutU32(out, w.Count);
        out += w.Out;
    }
    return out;
}

void LoadRvfStyles(std::string_view Payload, TCustomRVInfos& Styles, TCustomRVData&) {
    TBytes in(Payload);
    if (in.U8() != RVFStyleCollectionMarker) throw EReadError("Invalid RVF format");
    uint32_t count = in.U32();
    if (count > in.Left() / 4) throw EReadError("Invalid RVF format");
    std::vector<TPropValues> styles(count);
    for (TPropValues& values : styles)
        ParseObject(in, values, 0);
    Styles.Clear();
    for (const TPropValues& values : styles) {
        TPropReader r(values);
        TCollectionItem* item = Styles.Add();
        if (auto* font = dynamic_cast<TFontInfo*>(item))
            VisitFont(r, *font);
        else if (auto* para = dynamic_cast<TParaInfo*>(item))
            VisitPara(r, *para);
        else if (auto* list = dynamic_cast<TRVListInfo*>(item))
            VisitListRead(r, *list);
    }
}

std::unique_ptr<TCustomRVInfos> NewStyleCollectionLike(TCustomRVInfos& Styles) {
    TRVStyle* style = dynamic_cast<TRVStyle*>(Styles.GetOwner());
    if (dynamic_cast<TFontInfos*>(&Styles))
        return std::make_unique<TFontInfos>(style, style ? TCollection::TItemFactory([style](TCollection* C) {
                                                return static_cast<TCollectionItem*>(
                                                    style->NewTextStyleClass(C));
                                            })
                                                         : nullptr);
    if (dynamic_cast<TParaInfos*>(&Styles))
        return std::make_unique<TParaInfos>(style, style ? TCollection::TItemFactory([style](TCollection* C) {
                                                return static_cast<TCollectionItem*>(
                                                    style->NewParaStyleClass(C));
                                            })
                                                         : nullptr);
    return std::make_unique<TRVListInfos>(style, style ? TCollection::TItemFactory([style](TCollection* C) {
                                              return static_cast<TCollectionItem*>(
                                                  style->NewListStyleClass(C));
                                          })
                                                       : nullptr);
}

void CopyStyles(TCustomRVInfos& Target, TCustomRVInfos& Source) {
    if (&Target == &Source) return;
    Target.Clear();
    for (int i = 0; i < Source.Count(); ++i)
        Target.Add()->Assign(Source.Items(i));
}

void AssignListStylesKeepingIds(TRVListInfos& Target, TRVListInfos& Source) {
    bool old = Target.CopyIds;
    Target.CopyIds = true;
    TScopeGuard restore([&] { Target.CopyIds = old; });
    CopyStyles(Target, Source);
}
