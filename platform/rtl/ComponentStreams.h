// Component streams: a component with its published properties and its
// children written as bytes in the program's own format, and read back
// through the class registry.
//
// The format (all integers little-endian):
//   stream    = signature component
//   signature = A7 'C' 'S' 01 (the first byte tells it from other formats)
//   component = string class-name, u32 count, property*, u32 count, component*
//   property  = string name, value
//   value     = u8 kind, then by kind: 1 integer (i64), 2 float (IEEE double),
//               3 string, 4 wide string (u32 count, UTF-16 units),
//               5 set (u8 count <= 32, bytes), 6 reference (string: the
//               name of a component of the stream), 7 object (u32 count,
//               property*: the published properties of an object that a
//               property holds)
//   string    = u32 length, bytes
// The name is the published property Name. Properties are written in the
// order of the class's property list and only when stored: an ordinal equal
// to its declared default, an empty string, a zero float or a nil object is
// left out; a reference to a component outside the stream is left out.
// Events are not written.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"

// Writes Instance, its children (GetChildren with Instance as the root)
// and theirs. Raises EWriteError for a component whose class the registry
// cannot make again.
std::string WriteComponent(TComponent* Instance);

// The reader's entry point: makes the component the bytes hold, with its
// children (owned by it), and gives it back; a control joins Parent. Every
// length is checked against the input; on any error (damaged bytes, an
// unknown class or property, a value a property refuses) nothing read is
// left and EReadError is raised.
std::unique_ptr<TComponent> ReadComponent(std::string_view Bytes, TComponent* Parent = nullptr);

struct TComponentImage;
struct TPropImage;
struct TValueImage;

// What a component sees while it is read (TComponent::ReadState).
class TReader {
public:
    // The component whose children are being read (for the root, the
    // parent ReadComponent was given).
    TComponent* Parent() const { return FParent; }
    // The component made first; every other one read is owned by it.
    TComponent* Root() const { return FRoot; }
    // Reads the published properties and the children of the component
    // being read into Instance.
    void ReadData(TComponent* Instance);

private:
    // A reference is set once every component is read.
    struct TFixup {
        TObject* Instance;
        const TPropInfo* Prop;
        AnsiString Name;
    };
    explicit TReader(TComponent* Parent) : FParent(Parent) {}
    std::unique_ptr<TComponent> ReadRoot(const TComponentImage& Image);
    // Makes a component of the class named, owned by Owner.
    std::unique_ptr<TComponent> Make(const AnsiString& ClassName, TComponent* Owner);
    void ReadComponentData(TComponent* Instance, const TComponentImage& Image);
    void ReadProperties(TObject* Instance, const std::vector<TPropImage>& Props);
    void ReadValue(TObject* Instance, const TPropInfo* Prop, const TValueImage& Value);
    void ResolveFixups();

    TComponent* FParent;
    TComponent* FRoot = nullptr;
    const TComponentImage* FImage = nullptr;
    // Every component made, in the order read; Loaded runs in this order.
    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;

    friend std::unique_ptr<TComponent> ReadComponent(std::string_view Bytes, TComponent* Parent);
};
