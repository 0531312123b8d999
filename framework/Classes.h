// Object model: persistent objects with assign, and components with owners.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace pw {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TFiler;

// An object whose state can be copied from another (Assign) and streamed.
class TPersistent : public TObject {
public:
    // Copies Source into this object. When this class does not know Source, Source is asked
    // to copy itself into this object (AssignTo); when neither knows the other,
    // EConvertError is raised.
    virtual void Assign(TPersistent* Source);
    // Streamed properties beyond the published ones; the default declares none.
    virtual void DefineProperties(TFiler* Filer);
protected:
    virtual void AssignTo(TPersistent* Dest);
    virtual std::string ClassName() const;
};

class TComponent;

enum class TOperation { opInsert, opRemove };

// Component state flags that matter to the program.
enum TComponentStateFlag : unsigned {
    csLoading = 1, csReading = 2, csWriting = 4, csDestroying = 8, csDesigning = 16,
};

// A component lives in a tree of owners: the owner destroys what it owns, in the reverse
// order of creation. Components may ask to be told when another one goes away.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& n) { FName = n; }
    int Tag() const { return FTag; }
    void SetTag(int t) { FTag = t; }
    unsigned ComponentState() const { return FComponentState; }
    // Being destroyed: its owned components are going or gone, so its handlers are not called.
    bool Destroying() const { return (FComponentState & csDestroying) != 0; }
    void SetDesigning(bool on);

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int i) const { return FComponents.at(static_cast<size_t>(i)); }
    TComponent* FindComponent(const std::string& name) const;

    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);

    // Asks to be told (Notification with opRemove) when c is destroyed.
    void FreeNotification(TComponent* c);
    void RemoveFreeNotification(TComponent* c);

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Marks the component as being destroyed and destroys what it owns. Derived destructors
    // that need their owned components gone before their own clean-up call it first.
    void DestroyComponents();
    unsigned FComponentState = 0;

private:
    TComponent* FOwner = nullptr;
    std::string FName;
    int FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
};

} // namespace pw
