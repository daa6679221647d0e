// The component stream: the writer, the parser that turns bytes into an
// image of the components (every length checked), and the reader that makes
// the components from that image.
#include "platform/rtl/ComponentStreams.h"

#include <cstring>
#include <set>

#include "platform/rtl/ScopeGuard.h"

namespace {
constexpr char Signature[] = {'\xA7', 'C', 'S', '\x01'};
// Children and nested objects deeper than this are refused; the writer
// refuses them too, so that it never writes what cannot be read.
constexpr int MaxDepth = 64;
constexpr std::size_t MaxSetBytes = sizeof(TSetValue);

enum TValueKind : uint8_t {
    vkInteger = 1,
    vkFloat = 2,
    vkString = 3,
    vkWideString = 4,
    vkSet = 5,
    vkReference = 6,
    vkObject = 7,
};

bool IsOrdinal(TTypeKind Kind) {
    return Kind == tkInteger || Kind == tkChar || Kind == tkWChar || Kind == tkEnumeration || Kind == tkInt64;
}
} // namespace

struct TValueImage {
    uint8_t Kind = 0;
    int64_t Integer = 0;
    double Float = 0;
    AnsiString String; // also a reference's name
    WideString Wide;
    TSetValue Set{};
    std::vector<TPropImage> Props; // an object's
};

struct TPropImage {
    AnsiString Name;
    TValueImage Value;
};

struct TComponentImage {
    AnsiString ClassName;
    std::vector<TPropImage> Props;
    std::vector<TComponentImage> Children;
};

// Writing

namespace {
class TComponentWriter {
public:
    std::string Write(TComponent* Root) {
        TNode tree = Collect(Root, Root, 0);
        FOut.assign(Signature, sizeof Signature);
        WriteNode(tree);
        return std::move(FOut);
    }

private:
    struct TNode {
        TComponent* Component;
        const TClassInfo* Info;
        std::vector<TNode> Children;
    };

    // The components of the stream, so that references know what is in it.
    TNode Collect(TComponent* C, TComponent* Root, int Depth) {
        if (Depth > MaxDepth) throw EWriteError("Components are nested too deeply to be written");
        const TClassInfo* info = GetClassInfo(C);
        if (!info || !info->Type || *info->Type != typeid(*C) || !info->Create)
            throw EWriteError("The class of " + (C->Name().empty() ? AnsiString("a component") : C->Name()) +
                              " is not registered for streaming");
        if (!FWritten.insert(C).second) throw EWriteError(C->Name() + " is written twice");
        TNode node{C, info, {}};
        C->GetChildren([&](TComponent* Child) { node.Children.push_back(Collect(Child, Root, Depth + 1)); },
                       Root);
        return node;
    }

    void WriteNode(const TNode& Node) {
        WriteString(Node.Info->Name);
        FOut += Properties(Node.Component, Node.Info, 0);
        WriteU32(uint32_t(Node.Children.size()));
        for (const TNode& child : Node.Children)
            WriteNode(child);
    }

    // The count and the stored properties of an object; Count tells how
    // many there are.
    std::string Properties(TObject* O, const TClassInfo* Info, int Depth, uint32_t* Count = nullptr) {
        std::string outer = std::exchange(FOut, std::string());
        uint32_t count = 0;
        for (const TPropInfo* p : GetPropList(Info))
            if (IsStoredProp(O, p) && WriteProperty(O, p, Depth)) ++count;
        std::string props = std::exchange(FOut, std::string());
        WriteU32(count);
        if (Count) *Count = count;
        return std::exchange(FOut, std::move(outer)) + props;
    }

    bool WriteProperty(TObject* O, const TPropInfo* P, int Depth) {
        const TTypeInfo* t = P->PropType;
        if (t->Kind == tkClass) return WriteObject(O, P, Depth);
        if (!P->Set) return false;
        if (IsOrdinal(t->Kind)) {
            int64_t v = GetOrdProp(O, P);
            if (P->Default != NoDefault) {
                bool same = t->Kind == tkInt64
                                ? v == P->Default
                                : NarrowOrdinal(t->OrdType, v) == NarrowOrdinal(t->OrdType, P->Default);
                if (same) return false;
            }
            WriteName(P, vkInteger);
            WriteI64(v);
            return true;
        }
        switch (t->Kind) {
        case tkFloat: {
            double v = GetFloatProp(O, P);
            if (v == 0) return false;
            WriteName(P, vkFloat);
            char bytes[sizeof v];
            std::memcpy(bytes, &v, sizeof v);
            FOut.append(bytes, sizeof bytes);
            return true;
        }
        case tkLString:
        case tkString: {
            AnsiString v = GetStrProp(O, P);
            if (v.empty()) return false;
            WriteName(P, vkString);
            WriteString(v);
            return true;
        }
        case tkWString: {
            WideString v = GetWideStrProp(O, P);
            if (v.empty()) return false;
            WriteName(P, vkWideString);
            WriteU32(uint32_t(v.size()));
            for (char16_t c : v) {
                FOut += char(c & 0xFF);
                FOut += char(c >> 8);
            }
            return true;
        }
        case tkSet: {
            TSetValue v = GetSetProp(O, P);
            if (P->Default != NoDefault && IsDefaultSet(v, uint32_t(P->Default))) return false;
            std::size_t size = std::min<std::size_t>(std::size_t(SetByteSize(t)), MaxSetBytes);
            WriteName(P, vkSet);
            FOut += char(size);
            FOut.append(reinterpret_cast<const char*>(v.data()), size);
            return true;
        }
        default:
            return false;
        }
    }

    // A component is written as a reference to a component of the stream;
    // any other object as its own published properties.
    bool WriteObject(TObject* O, const TPropInfo* P, int Depth) {
        TObject* value = GetObjectProp(O, P);
        if (!value) return false;
        if (auto* component = dynamic_cast<TComponent*>(value)) {
            if (!P->Set || !FWritten.count(component) || component->Name().empty()) return false;
            WriteName(P, vkReference);
            WriteString(component->Name());
            return true;
        }
        const TClassInfo* info = GetClassInfo(value);
        if (!info) return false;
        if (Depth + 1 > MaxDepth) throw EWriteError("Objects are nested too deeply to be written");
        uint32_t count = 0;
        std::string props = Properties(value, info, Depth + 1, &count);
        if (count == 0) return false;
        WriteName(P, vkObject);
        FOut += props;
        return true;
    }

    static bool IsDefaultSet(const TSetValue& V, uint32_t Default) {
        for (std::size_t i = 0; i < V.size(); ++i)
            if (V[i] != (i < 4 ? uint8_t(Default >> (8 * i)) : 0)) return false;
        return true;
    }

    void WriteName(const TPropInfo* P, TValueKind Kind) {
        WriteString(P->Name);
        FOut += char(Kind);
    }
    void WriteU32(uint32_t V) {
        for (int i = 0; i < 4; ++i)
            FOut += char(V >> (8 * i));
    }
    void WriteI64(int64_t V) {
        for (int i = 0; i < 8; ++i)
            FOut += char(uint64_t(V) >> (8 * i));
    }
    void WriteString(const AnsiString& S) {
        WriteU32(uint32_t(S.size()));
        FOut += S;
    }

    std::string FOut;
    std::set<const TComponent*> FWritten;
};
} // namespace

std::string WriteComponent(TComponent* Instance) {
    return TComponentWriter().Write(Instance);
}

// Parsing

namespace {
class TComponentParser {
public:
    explicit TComponentParser(std::string_view Bytes) : FRest(Bytes) {}

    TComponentImage Stream() {
        if (Take(sizeof Signature) != std::string_view(Signature, sizeof Signature))
            Fail("it does not start as a component stream");
        TComponentImage root = Component(0);
        if (!FRest.empty()) Fail("bytes follow the component");
        return root;
    }

private:
    [[noreturn]] static void Fail(const char* What) {
        throw EReadError(AnsiString("Damaged component stream: ") + What);
    }
    std::string_view Take(std::size_t Count) {
        if (Count > FRest.size()) Fail("data runs past the end");
        std::string_view taken = FRest.substr(0, Count);
        FRest.remove_prefix(Count);
        return taken;
    }
    uint8_t U8() { return uint8_t(Take(1)[0]); }
    uint64_t Unsigned(std::size_t Bytes) {
        std::string_view b = Take(Bytes);
        uint64_t v = 0;
        for (std::size_t i = 0; i < Bytes; ++i)
            v |= uint64_t(uint8_t(b[i])) << (8 * i);
        return v;
    }
    uint32_t U32() { return uint32_t(Unsigned(4)); }
    AnsiString String() { return AnsiString(Take(U32())); }

    TComponentImage Component(int Depth) {
        if (Depth > MaxDepth) Fail("components are nested too deeply");
        TComponentImage c;
        c.ClassName = String();
        c.Props = Properties(Depth);
        for (uint32_t n = U32(); n > 0; --n)
            c.Children.push_back(Component(Depth + 1));
        return c;
    }

    std::vector<TPropImage> Properties(int Depth) {
        std::vector<TPropImage> props;
        for (uint32_t n = U32(); n > 0; --n) {
            TPropImage p;
            p.Name = String();
            p.Value = Value(Depth);
            props.push_back(std::move(p));
        }
        return props;
    }

    TValueImage Value(int Depth) {
        TValueImage v;
        v.Kind = U8();
        switch (v.Kind) {
        case vkInteger:
            v.Integer = int64_t(Unsigned(8));
            break;
        case vkFloat: {
            uint64_t bits = Unsigned(8);
            std::memcpy(&v.Float, &bits, sizeof bits);
            break;
        }
        case vkString:
        case vkReference:
            v.String = String();
            break;
        case vkWideString: {
            std::string_view units = Take(std::size_t(U32()) * 2);
            for (std::size_t i = 0; i < units.size(); i += 2)
                v.Wide += char16_t(uint8_t(units[i]) | uint8_t(units[i + 1]) << 8);
            break;
        }
        case vkSet: {
            std::size_t size = U8();
            if (size > MaxSetBytes) Fail("a set is too large");
            std::memcpy(v.Set.data(), Take(size).data(), size);
            break;
        }
        case vkObject:
            if (Depth + 1 > MaxDepth) Fail("objects are nested too deeply");
            v.Props = Properties(Depth + 1);
            break;
        default:
            Fail("a value of an unknown kind");
        }
        return v;
    }

    std::string_view FRest;
};

// Whether an ordinal value lies within its type.
bool InRange(const TTypeInfo* T, int64_t V) {
    if (T->Kind == tkInt64) return true;
    if (T->OrdType == otULong) return V >= 0 && V <= int64_t(UINT32_MAX);
    return V >= T->MinValue && V <= T->MaxValue;
}

// Whether every element of a set value belongs to its type.
bool IsValidSet(const TTypeInfo* T, const TSetValue& V) {
    TSetValue valid{};
    if (const TTypeInfo* e = T->CompType)
        for (int64_t i = e->MinValue; i <= e->MaxValue; ++i)
            if (int bit = SetElementBit(T, int(i)); bit >= 0)
                valid[std::size_t(bit / 8)] |= uint8_t(1 << (bit % 8));
    for (std::size_t i = 0; i < V.size(); ++i)
        if (V[i] & ~valid[i]) return false;
    return true;
}
} // namespace

// Reading

void TComponent::ReadState(TReader& Reader) {
    Reader.ReadData(this);
}

std::unique_ptr<TComponent> ReadComponent(std::string_view Bytes, TComponent* Parent) {
    TComponentImage image = TComponentParser(Bytes).Stream();
    TReader reader(Parent);
    try {
        return reader.ReadRoot(image);
    } catch (const EReadError&) {
        throw;
    } catch (const std::exception& e) {
        throw EReadError(e.what());
    }
}

std::unique_ptr<TComponent> TReader::ReadRoot(const TComponentImage& Image) {
    // Whatever fails from here on frees the root, and with it every
    // component read so far, which it owns.
    std::unique_ptr<TComponent> root = Make(Image.ClassName, nullptr);
    FRoot = root.get();
    ReadComponentData(root.get(), Image);
    ResolveFixups();
    for (TComponent* c : FLoaded)
        c->SetComponentState(csLoading, false);
    for (TComponent* c : FLoaded)
        c->Loaded();
    return root;
}

std::unique_ptr<TComponent> TReader::Make(const AnsiString& ClassName, TComponent* Owner) {
    const TClassInfo* info = FindComponentClass(ClassName);
    if (!info) throw EReadError("Class " + ClassName + " not found");
    return info->Create(Owner);
}

void TReader::ReadComponentData(TComponent* Instance, const TComponentImage& Image) {
    Instance->SetComponentState(csLoading | csReading, true);
    FLoaded.push_back(Instance);
    const TComponentImage* outer = std::exchange(FImage, &Image);
    TScopeGuard restore([&] { FImage = outer; });
    Instance->ReadState(*this);
    Instance->SetComponentState(csReading, false);
}

void TReader::ReadData(TComponent* Instance) {
    if (!FImage) return;
    const TComponentImage& image = *FImage;
    ReadProperties(Instance, image.Props);
    TComponent* outer = std::exchange(FParent, Instance);
    TScopeGuard restore([&] { FParent = outer; });
    int order = 0;
    for (const TComponentImage& childImage : image.Children) {
        // Owned by the root from the start, so that a failure frees it.
        TComponent* child = Make(childImage.ClassName, FRoot).release();
        ReadComponentData(child, childImage);
        Instance->SetChildOrder(child, order++);
    }
}

void TReader::ReadProperties(TObject* Instance, const std::vector<TPropImage>& Props) {
    const TClassInfo* info = GetClassInfo(Instance);
    for (const TPropImage& p : Props) {
        const TPropInfo* prop = info ? GetPropInfo(info, p.Name) : nullptr;
        if (!prop) throw EReadError("Property " + p.Name + " does not exist");
        ReadValue(Instance, prop, p.Value);
    }
}

void TReader::ReadValue(TObject* Instance, const TPropInfo* Prop, const TValueImage& Value) {
    const TTypeInfo* t = Prop->PropType;
    auto refuse = [&] { throw EReadError("Invalid value of property " + Prop->Name); };
    if (Value.Kind == vkObject) {
        TObject* target = t->Kind == tkClass ? GetObjectProp(Instance, Prop) : nullptr;
        if (!target || dynamic_cast<TComponent*>(target)) refuse();
        ReadProperties(target, Value.Props);
        return;
    }
    if (!Prop->Set) throw EReadError("Property " + Prop->Name + " is read-only");
    if (IsOrdinal(t->Kind)) {
        if (Value.Kind != vkInteger || !InRange(t, Value.Integer)) refuse();
        SetOrdProp(Instance, Prop, Value.Integer);
        return;
    }
    switch (t->Kind) {
    case tkFloat:
        if (Value.Kind != vkFloat) refuse();
        SetFloatProp(Instance, Prop, Value.Float);
        break;
    case tkLString:
    case tkString:
        if (Value.Kind != vkString) refuse();
        SetStrProp(Instance, Prop, Value.String);
        break;
    case tkWString:
        if (Value.Kind != vkWideString) refuse();
        SetWideStrProp(Instance, Prop, Value.Wide);
        break;
    case tkSet:
        if (Value.Kind != vkSet || !IsValidSet(t, Value.Set)) refuse();
        SetSetProp(Instance, Prop, Value.Set);
        break;
    case tkClass:
        if (Value.Kind != vkReference || Value.String.empty()) refuse();
        FFixups.push_back({Instance, Prop, Value.String});
        break;
    default:
        refuse();
    }
}

void TReader::ResolveFixups() {
    for (const TFixup& f : FFixups) {
        TComponent* found = nullptr;
        for (TComponent* c : FLoaded)
            if (SameText(c->Name(), f.Name)) found = c;
        const TClassInfo* wanted = f.Prop->PropType->ClassType;
        if (!found || (wanted && wanted->IsInstance && !wanted->IsInstance(found)))
            throw EReadError("Property " + f.Prop->Name + " refers to no component " + f.Name +
                             " of its kind");
        f.Prop->Set(f.Instance, static_cast<TObject*>(found));
    }
}
