// The group state's reset and field instruction, and the stack of saved
// states with its runs of equal states.
#include "richtext/import/rtf/RVRTFState.h"

#include "richtext/import/rtf/RVRTFRecords.h"

const AnsiString& TRVRTFReaderState::FieldInstruction() const {
    static const AnsiString empty;
    return FFieldInstruction ? *FFieldInstruction : empty;
}

void TRVRTFReaderState::SetFieldInstruction(const AnsiString& Value) {
    if (Value.empty()) {
        FFieldInstruction.Clear();
        return;
    }
    if (FFieldInstruction && *FFieldInstruction == Value) return;
    FFieldInstruction.Edit() = Value;
}

void TRVRTFReaderState::AppendFieldInstruction(char Ch) {
    if (int(FieldInstruction().size()) >= RVRTFMaxFieldInstruction) return;
    FFieldInstruction.Edit() += Ch;
}

void TRVRTFReaderState::Reset() {
    DefLanguage = 0;
    FChar.Edit().Reset(0, 0);
    FPara.Edit().Reset();
    FSection.Edit().Reset();
    FDoc.Edit() = TRVRTFDocProperties();
    FRow.Clear();
    FFieldInstruction.Clear();
    BorderTarget = 1;
    HFType = rtf_hf_MainText;
    InFootnote = false;
    FieldResultHandled = false;
}

bool TRVRTFReaderState::SameAs(const TRVRTFReaderState& Other) const {
    return Destination == Other.Destination && InputState == Other.InputState &&
           BorderTarget == Other.BorderTarget && HFType == Other.HFType && InFootnote == Other.InFootnote &&
           FieldResultHandled == Other.FieldResultHandled && DefLanguage == Other.DefLanguage &&
           FChar.SameAs(Other.FChar) && FPara.SameAs(Other.FPara) && FSection.SameAs(Other.FSection) &&
           FDoc.SameAs(Other.FDoc) && FRow.SameAs(Other.FRow) &&
           FFieldInstruction.SameAs(Other.FFieldInstruction);
}

void TRVRTFStateStack::Push(const TRVRTFReaderState& State) {
    if (!FRuns.empty() && FRuns.back().first.SameAs(State))
        ++FRuns.back().second;
    else
        FRuns.emplace_back(State, 1);
    ++FDepth;
}

TRVRTFReaderState TRVRTFStateStack::Pop() {
    auto& top = FRuns.back();
    --FDepth;
    if (top.second > 1) {
        --top.second;
        return top.first;
    }
    TRVRTFReaderState state = std::move(top.first);
    FRuns.pop_back();
    return state;
}

TRVRTFReaderState& TRVRTFStateStack::EditTop() {
    auto& top = FRuns.back();
    if (top.second > 1) {
        --top.second;
        TRVRTFReaderState copy = top.first;
        FRuns.emplace_back(std::move(copy), 1);
    }
    return FRuns.back().first;
}

const TRVRTFReaderState* TRVRTFStateStack::Outer(int Levels) const {
    for (auto it = FRuns.rbegin(); it != FRuns.rend(); ++it) {
        if (Levels < int(it->second)) return &it->first;
        Levels -= int(it->second);
    }
    return nullptr;
}

void TRVRTFStateStack::Clear() {
    FRuns.clear();
    FDepth = 0;
}
