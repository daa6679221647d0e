// The tree's colours, its scroll-bar options and its clipboard format lists;
// users of the tree get them with VirtualTrees.h.
// VirtualTrees.h includes this part at its end, after the tree; a guard
// instead of "once" lets a source include the part first all the same.
#include "controls/vtree/VirtualTrees.h"

#ifndef LUVORA_VIRTUALTREES_COLORS_H
#define LUVORA_VIRTUALTREES_COLORS_H

class TVTColors : public TPersistent {
public:
    explicit TVTColors(TBaseVirtualTree* AOwner);
    void Assign(TPersistent* Source) override;
    static constexpr int Count = 15;
    TColor GetColor(int Index) const { return FColors[Index]; }
    void SetColor(int Index, TColor Value);

    TColor DisabledColor() const { return FColors[0]; }
    TColor DropMarkColor() const { return FColors[1]; }
    TColor DropTargetColor() const { return FColors[2]; }
    TColor FocusedSelectionColor() const { return FColors[3]; }
    TColor GridLineColor() const { return FColors[4]; }
    TColor TreeLineColor() const { return FColors[5]; }
    TColor UnfocusedSelectionColor() const { return FColors[6]; }
    TColor BorderColor() const { return FColors[7]; }
    TColor HotColor() const { return FColors[8]; }
    TColor FocusedSelectionBorderColor() const { return FColors[9]; }
    TColor UnfocusedSelectionBorderColor() const { return FColors[10]; }
    TColor DropTargetBorderColor() const { return FColors[11]; }
    TColor SelectionRectangleBlendColor() const { return FColors[12]; }
    TColor SelectionRectangleBorderColor() const { return FColors[13]; }
    TColor HeaderHotColor() const { return FColors[14]; }

private:
    TBaseVirtualTree* FOwner;
    TColor FColors[Count];
};

class TScrollBarOptions : public TPersistent {
public:
    explicit TScrollBarOptions(TBaseVirtualTree* AOwner);
    void Assign(TPersistent* Source) override;
    TBaseVirtualTree* GetOwner() const { return FOwner; }
    bool AlwaysVisible() const { return FAlwaysVisible; }
    void SetAlwaysVisible(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
    void SetScrollBarStyle(TScrollBarStyle Value);
    TVTScrollIncrement HorizontalIncrement = 20;
    TVTScrollIncrement VerticalIncrement = 20;
    bool HasHorizontal() const { return FScrollBars == ssHorizontal || FScrollBars == ssBoth; }
    bool HasVertical() const { return FScrollBars == ssVertical || FScrollBars == ssBoth; }

private:
    bool FAlwaysVisible = false;
    TBaseVirtualTree* FOwner;
    TScrollStyle FScrollBars = ssBoth;
    TScrollBarStyle FScrollBarStyle = sbmRegular;
};

// The process-wide list of clipboard formats a tree class offers, kept by
// priority (smaller first; equal priorities in the order registered): a
// format applies to a tree of the class it was registered for.
using TVTTreeClassTest = std::function<bool(const TBaseVirtualTree*)>;
template <class TTree> TVTTreeClassTest TreeClassOf() {
    return [](const TBaseVirtualTree* Tree) { return dynamic_cast<const TTree*>(Tree) != nullptr; };
}

struct TClipboardFormatListEntry {
    AnsiString Description;
    TVTTreeClassTest TreeClass;
    int32_t Priority = 0;
    FORMATETC FormatEtc;
};

class TClipboardFormatList {
public:
    void Add(const AnsiString& Description, TVTTreeClassTest TreeClass, int32_t Priority,
             const FORMATETC& FormatEtc);
    void Clear() { FList.clear(); }
    int Count() const { return int(FList.size()); }
    const TClipboardFormatListEntry& Entry(int Index) const { return FList[size_t(Index)]; }
    // The formats, in list order, that apply to Tree and, with AllowedFormats
    // given, whose description that list holds.
    void FormatsForClass(const TBaseVirtualTree* Tree, TFormatEtcArray& Formats,
                         const TStrings* AllowedFormats) const;
    // The last entry of that description, whatever its letter case; nil when
    // there is none. Format gets its number.
    const TClipboardFormatListEntry* FindByDescription(const AnsiString& Description,
                                                       TClipFormat& Format) const;

private:
    std::vector<TClipboardFormatListEntry> FList;
};
// The process's list; the tree's own formats are registered on first use.
TClipboardFormatList& ClipboardFormatRegistry();

// The names of the platform's predefined formats 1 to 16.
struct TClipboardFormatEntry {
    uint16_t ID;
    const char* Description;
};
extern const TClipboardFormatEntry StandardClipboardFormatNames[16];

// Adds a format number the platform knows (0 adds nothing); false for 0.
bool RegisterTreeClipboardFormat(TClipFormat Format, TVTTreeClassTest TreeClass, int32_t Priority);
// Registers Description with the platform and adds it; returns its number.
TClipFormat RegisterTreeClipboardFormat(const AnsiString& Description, TVTTreeClassTest TreeClass,
                                        int32_t Priority, uint32_t Tymed = TYMED_HGLOBAL,
                                        const DVTARGETDEVICE* TargetDevice = nullptr,
                                        uint32_t Aspect = DVASPECT_CONTENT, int32_t LIndex = -1);
// Registers a format for a tree class after the formats of the tree itself.
void RegisterVTClipboardFormat(const AnsiString& Description, TVTTreeClassTest IsOfClass);
template <class TTree> void RegisterVTClipboardFormat(const AnsiString& Description) {
    RegisterVTClipboardFormat(Description, TreeClassOf<TTree>());
}

// The process-wide format numbers of the tree's own formats.
TClipFormat TreeDataFormat();
TClipFormat TreeReferenceFormat();
inline constexpr const char* CFSTR_VIRTUALTREE = "Virtual Tree Data";
inline constexpr const char* CFSTR_VTREFERENCE = "Virtual Tree Reference";
// The text formats a string tree renders.
TClipFormat HTMLFormat();
TClipFormat RTFFormat();
TClipFormat RTFNoObjectsFormat();
TClipFormat CSVFormat();
inline constexpr const char* CFSTR_HTML = "HTML Format";
inline constexpr const char* CFSTR_RTF = "Rich Text Format";
inline constexpr const char* CFSTR_RTFNOOBJS = "Rich Text Format Without Objects";
inline constexpr const char* CFSTR_CSV = "CSV";

// The sorted names of the clipboard formats a tree offers.
class TClipboardFormats : public TStringList {
public:
    explicit TClipboardFormats(TBaseVirtualTree* AOwner);
    TBaseVirtualTree* Owner() const { return FOwner; }
    // -1 and no change when the format is not registered for the tree's class.
    int Add(const AnsiString& S) override;
    void Insert(int Index, const AnsiString& S, TObject* Object = nullptr) override;

private:
    bool Admitted(const AnsiString& S) const;
    TBaseVirtualTree* FOwner;
};

#endif
