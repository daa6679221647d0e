// The RTF reader's group state, shared between groups until a group
// changes it, and the stack of saved states that "{" pushes: a group that
// changes nothing costs nothing but a count.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "richtext/import/rtf/RVRTFProps.h"

// A value shared by copies until one of them is changed (copy on write).
// Single-threaded: the count is a plain integer.
template <class T> class TRVCow {
public:
    TRVCow() : FBox(new TBox{1, T()}) {}
    TRVCow(const TRVCow& Other) : FBox(Other.FBox) {
        if (FBox) ++FBox->Refs;
    }
    TRVCow(TRVCow&& Other) noexcept : FBox(std::exchange(Other.FBox, nullptr)) {}
    TRVCow& operator=(TRVCow Other) noexcept {
        std::swap(FBox, Other.FBox);
        return *this;
    }
    ~TRVCow() { Release(); }
    // An empty one, for values made on first use.
    static TRVCow Null() { return TRVCow(nullptr); }

    explicit operator bool() const { return FBox != nullptr; }
    const T& operator*() const { return FBox->Value; }
    const T* operator->() const { return &FBox->Value; }
    const T* Get() const { return FBox ? &FBox->Value : nullptr; }
    // The value for changing: copied first when another holder shares it,
    // made when there is none.
    T& Edit() {
        if (!FBox) {
            FBox = new TBox{1, T()};
        } else if (FBox->Refs > 1) {
            auto* copy = new TBox{1, FBox->Value};
            --FBox->Refs;
            FBox = copy;
        }
        return FBox->Value;
    }
    void Clear() {
        Release();
        FBox = nullptr;
    }
    bool SameAs(const TRVCow& Other) const { return FBox == Other.FBox; }

private:
    struct TBox {
        uint32_t Refs;
        T Value;
    };
    explicit TRVCow(std::nullptr_t) : FBox(nullptr) {}
    void Release() {
        if (FBox && --FBox->Refs == 0) delete FBox;
    }
    TBox* FBox;
};

// The live formatting and destination of a group. Scalars are copied at
// every "{"; the property records are shared until changed.
class TRVRTFReaderState {
public:
    TRVRTFDestination Destination = rtfd_Normal;
    TRVRTFInputState InputState = rtfis_Normal;
    uint8_t BorderTarget = 1; // 0 none, 1 paragraph, 2 row, 3 cell
    TRVRTFHeaderFooterType HFType = rtf_hf_MainText;
    bool InFootnote = false;
    bool FieldResultHandled = false;
    int32_t DefLanguage = 0;

    const TRVRTFCharProperties& Char() const { return *FChar; }
    TRVRTFCharProperties& EditChar() { return FChar.Edit(); }
    const TRVRTFParaProperties& Para() const { return *FPara; }
    TRVRTFParaProperties& EditPara() { return FPara.Edit(); }
    const TRVRTFSectionProperties& Section() const { return *FSection; }
    TRVRTFSectionProperties& EditSection() { return FSection.Edit(); }
    const TRVRTFDocProperties& Doc() const { return *FDoc; }
    TRVRTFDocProperties& EditDoc() { return FDoc.Edit(); }
    // Nil until a row word made it.
    const TRVRTFRowProperties* Row() const { return FRow.Get(); }
    TRVRTFRowProperties& EditRow() { return FRow.Edit(); }
    const AnsiString& FieldInstruction() const;
    void SetFieldInstruction(const AnsiString& Value);
    void AppendFieldInstruction(char Ch);

    // The reset of the whole state; destination and input state stay.
    void Reset();
    // Whether the two share everything, so one saved copy stands for both.
    bool SameAs(const TRVRTFReaderState& Other) const;

private:
    TRVCow<TRVRTFCharProperties> FChar;
    TRVCow<TRVRTFParaProperties> FPara;
    TRVCow<TRVRTFSectionProperties> FSection;
    TRVCow<TRVRTFDocProperties> FDoc;
    TRVCow<TRVRTFRowProperties> FRow = TRVCow<TRVRTFRowProperties>::Null();
    TRVCow<AnsiString> FFieldInstruction = TRVCow<AnsiString>::Null();
};

// The saved states of the open groups, innermost last. Runs of equal
// states are kept once with a count.
class TRVRTFStateStack {
public:
    bool Empty() const { return FRuns.empty(); }
    // The number of saved states.
    int Depth() const { return FDepth; }
    void Push(const TRVRTFReaderState& State);
    // Removes the innermost saved state and gives it back.
    TRVRTFReaderState Pop();
    const TRVRTFReaderState& Top() const { return FRuns.back().first; }
    // The innermost saved state, for changing it alone.
    TRVRTFReaderState& EditTop();
    // The saved state Levels groups further out than the innermost; nil
    // when there are not so many.
    const TRVRTFReaderState* Outer(int Levels) const;
    void Clear();

private:
    std::vector<std::pair<TRVRTFReaderState, uint32_t>> FRuns;
    int FDepth = 0;
};
