// Object model: TObject, TPersistent and TComponent with owner, name, free
// notification and the hooks through which components are streamed.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/SysUtils.h"

class TObject {
public:
    virtual ~TObject() = default;
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// A list index out of range.
class EListError : public Exception {
public:
    using Exception::Exception;
};

class TPersistent : public TObject {
public:
    // Copies Source into this object; raises EConvertError when the classes
    // cannot be assigned, as the run-time does.
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
};

enum class TOperation { opInsert, opRemove };

class TComponent;
class TReader;
using TGetChildProc = std::function<void(TComponent* Child)>;

enum TComponentStateFlag : unsigned {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
};

// A component is freed by its owner. Components told of each other with
// FreeNotification learn of the other's end through Notification.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const AnsiString& Name() const { return FName; }
    virtual void SetName(const AnsiString& NewName);
    int ComponentCount() const { return int(FComponents.size()); }
    TComponent* Components(int Index) const { return FComponents.at(std::size_t(Index)); }
    TComponent* FindComponent(const AnsiString& AName) const;
    unsigned ComponentState() const { return FComponentState; }
    bool IsDestroying() const { return FComponentState & csDestroying; }

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);
    // Marks this component and its owned components as being destroyed.
    virtual void Destroying();

    // Streaming (ComponentStreams.h). GetChildren hands out the components
    // written with this one, in the order they are read back; Root is the
    // component the stream is written from. SetChildOrder puts a child read
    // back at its place Order among them.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    virtual void SetChildOrder(TComponent* Child, int Order);
    // Reads this component's properties and children from the reader;
    // a component that joins its reader parent does it here.
    virtual void ReadState(TReader& Reader);
    // Everything read has its values and references: settings that depend
    // on each other are applied now.
    virtual void Loaded() {}

    intptr_t Tag = 0;

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    void SetComponentState(unsigned Flag, bool On);

private:
    TComponent* FOwner = nullptr;
    AnsiString FName;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    unsigned FComponentState = 0;

    friend class TReader;
};
