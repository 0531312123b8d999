#include "Classes.h"

#include "SysUtils.h"

#include <algorithm>
#include <typeinfo>

namespace pw {

void TPersistent::Assign(TPersistent* Source)
{
    if (Source) Source->AssignTo(this);
    else AssignTo(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    std::string src = ClassName();
    std::string dst = Dest ? Dest->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + src + " to a " + dst);
}

void TPersistent::DefineProperties(TFiler*) {}

std::string TPersistent::ClassName() const { return typeid(*this).name(); }

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    DestroyComponents();
    // Tell everyone who asked, then forget them.
    std::vector<TComponent*> notify;
    notify.swap(FFreeNotifies);
    for (TComponent* c : notify) {
        auto& back = c->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        c->Notification(this, TOperation::opRemove);
    }
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::DestroyComponents()
{
    FComponentState |= csDestroying;
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        FComponents.pop_back();
        last->FOwner = nullptr;
        delete last;
    }
}

void TComponent::SetDesigning(bool on)
{
    if (on) FComponentState |= csDesigning;
    else FComponentState &= ~static_cast<unsigned>(csDesigning);
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    for (TComponent* c : FComponents)
        if (LowerCase(c->FName) == LowerCase(name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* c)
{
    if (c->FOwner) c->FOwner->RemoveComponent(c);
    FComponents.push_back(c);
    c->FOwner = this;
    Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), c);
    if (it == FComponents.end()) return;
    Notification(c, TOperation::opRemove);
    FComponents.erase(it);
    c->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* c)
{
    if (!c || c == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), c) == FFreeNotifies.end())
        FFreeNotifies.push_back(c);
    if (std::find(c->FFreeNotifies.begin(), c->FFreeNotifies.end(), this) == c->FFreeNotifies.end())
        c->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* c)
{
    if (!c) return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), c), FFreeNotifies.end());
    c->FFreeNotifies.erase(std::remove(c->FFreeNotifies.begin(), c->FFreeNotifies.end(), this),
                           c->FFreeNotifies.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

} // namespace pw
