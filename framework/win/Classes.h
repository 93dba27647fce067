#pragma once
// Objects, persistent objects and components: the ownership tree every window is built from.
//
// An owner destroys what it owns, last created first, and tells the remaining components when
// one of them goes (Notification), so that references between components never dangle.
// A component's arrival is told too, but only by classes that call NotifyInserted at the end of
// their constructor: in the base constructor the new object is not yet what it will be, so a
// receiver could not tell a menu item from any other component.
// Destruction runs in two steps: BeforeDestruction (the whole object is still alive, virtual
// calls reach the most derived class; owned components and windows go here) and then the C++
// destructor. Free() does both; owners and the application always free that way.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TObject;
class TComponent;
class TReader;
struct TDefProperty;

using TNotifyEvent = std::function<void(TObject* sender)>;

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  // Runs while the whole object still exists, right before it is deleted by Free.
  virtual void BeforeDestruction() {}
};

// Runs BeforeDestruction, then deletes. Does nothing for null.
void Free(TObject* object);

struct TFreeDeleter {
  void operator()(TObject* object) const { Free(object); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFreeDeleter>;

class TPersistent : public TObject {};

// Component states, a set of flags.
enum : std::uint32_t {
  csLoading = 0x01,     // the stored definition is being read; cleared by Loaded
  csReading = 0x02,     // properties are being assigned by the reader
  csDestroying = 0x04,  // on its way out
  csDesigning = 0x08,   // never set in this program
};
using TComponentState = std::uint32_t;

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  TComponentState ComponentState() const { return state_; }
  bool InState(TComponentState flags) const { return (state_ & flags) != 0; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_[static_cast<std::size_t>(index)]; }
  TComponent* FindComponent(std::string_view name) const;

  // Called once after the stored definition has been read; ends the loading state.
  virtual void Loaded();
  // A component of the same owner, or one that asked through FreeNotification, comes or goes.
  virtual void Notification(TComponent* component, TOperation operation);
  // Asks to be told (Notification with opRemove) when `component` is destroyed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Assigns one stored property while the definition is read. Returns false for a property the
  // class does not know; each class handles its own names and passes the rest to its base.
  virtual bool ReadProperty(TReader& reader, const TDefProperty& property);

  // State changes made by the reader and by derived classes.
  void SetState(TComponentState flags) { state_ |= flags; }
  void ClearState(TComponentState flags) { state_ &= ~flags; }

 protected:
  // Destroys the owned components, last created first.
  void DestroyComponents();
  // Tells the owner and the owner's components (Notification with opInsert) that this
  // component has arrived; called by a constructor once the object is complete as its class.
  void NotifyInserted();

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  TComponentState state_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};
