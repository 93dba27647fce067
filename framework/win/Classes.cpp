#include "framework/win/Classes.h"

#include <algorithm>
#include <cctype>

void Free(TObject* object) {
  if (!object) return;
  object->BeforeDestruction();
  delete object;
}

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Reached without Free (a plain delete): still leave nothing behind.
  state_ |= csDestroying;
  DestroyComponents();
  for (TComponent* other : std::vector<TComponent*>(freeNotifies_)) {
    other->RemoveFreeNotification(this);
    other->Notification(this, TOperation::opRemove);
  }
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
  state_ |= csDestroying;
  DestroyComponents();
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* last = components_.back();
    RemoveComponent(last);
    Free(last);
  }
}

void TComponent::InsertComponent(TComponent* component) {
  component->owner_ = this;
  components_.push_back(component);
}

void TComponent::NotifyInserted() {
  if (owner_) owner_->Notification(this, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  const auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  components_.erase(it);
  component->owner_ = nullptr;
  // The owner and every remaining component hear of it, so references to it can be dropped.
  Notification(component, TOperation::opRemove);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  for (TComponent* component : components_) {
    if (component->name_.size() == name.size() &&
        std::equal(name.begin(), name.end(), component->name_.begin(),
                   [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                               std::tolower(static_cast<unsigned char>(b)); }))
      return component;
  }
  return nullptr;
}

void TComponent::Loaded() { state_ &= ~csLoading; }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove) {
    std::erase(freeNotifies_, component);
  }
  if (operation == TOperation::opRemove && component->owner_ == nullptr) {
    // Forward the removal of one of ours to the others (it has already left the list).
    for (TComponent* other : components_) other->Notification(component, operation);
  }
  if (operation == TOperation::opInsert && component->owner_ == this) {
    // The arrival of one of ours reaches the others (a copy: a receiver may make components).
    for (TComponent* other : std::vector<TComponent*>(components_))
      if (other != component) other->Notification(component, operation);
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
    freeNotifies_.push_back(component);
  if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
      component->freeNotifies_.end())
    component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  std::erase(freeNotifies_, component);
  std::erase(component->freeNotifies_, this);
}

bool TComponent::ReadProperty(TReader&, const TDefProperty&) { return false; }
