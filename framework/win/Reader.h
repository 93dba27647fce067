#pragma once
// The reader of stored window definitions (the "window definition text" of
// framework/core/Definition.h, compiled into the program as an RCDATA resource).
//
// Reading a definition into its root component (a form):
//  1. the root and every component created are put in the loading and reading states;
//  2. the root's properties are assigned, then each child is created in stored order with the
//     root as owner (and, for controls, its parent as parent), named, stored in the root's field
//     of the same name, and given its properties through the class's setters (ReadProperty);
//     event properties are connected to the root's handlers by name;
//  3. references to components by name (a popup menu, a focus control) are resolved once every
//     component exists;
//  4. the reading state ends and every Loaded runs, root first, then in order of creation.
#include <any>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/core/Definition.h"
#include "framework/core/Geometry.h"
#include "framework/win/Classes.h"

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;

// Class names the reader can create.
void RegisterComponentClass(std::string className, TComponentFactory factory);
template <class T>
void RegisterClass(std::string className) {
  RegisterComponentClass(std::move(className), [](TComponent* owner) -> TComponent* { return new T(owner); });
}

// What a root offers the reader: its fields (filled with the component of the same name) and
// its event handlers (std::function objects of the event's type, looked up by name).
struct TRootBindings {
  std::map<std::string, std::function<bool(TComponent*)>, std::less<>> Fields;
  std::map<std::string, std::any, std::less<>> Methods;

  // Binds a field: `Field("Edit1", Edit1)` stores the component named Edit1 in Edit1.
  template <class T>
  void Field(std::string name, T*& field) {
    Fields[std::move(name)] = [&field](TComponent* component) {
      field = dynamic_cast<T*>(component);
      return field != nullptr;
    };
  }
  template <class Event>
  void Method(std::string name, Event handler) {
    Methods[std::move(name)] = std::move(handler);
  }
};

class TReader {
 public:
  TReader(TComponent* root, const TRootBindings& bindings) : root_(root), bindings_(bindings) {}

  // Reads a parsed definition into the root (steps 1 to 4 above).
  void Read(const TDefObject& definition);

  // Value conversions for ReadProperty; each raises EReadError naming the property.
  std::int32_t Integer(const TDefProperty& property) const;
  std::string String(const TDefProperty& property) const;
  bool Boolean(const TDefProperty& property) const;
  TColor Color(const TDefProperty& property) const;
  std::vector<std::string> Strings(const TDefProperty& property) const;
  template <class E>
  E Enum(const TDefProperty& property, std::initializer_list<std::pair<std::string_view, E>> names) const {
    const std::string& ident = Identifier(property);
    for (const auto& [name, value] : names)
      if (name == ident) return value;
    Fail(property, "unknown value '" + ident + "'");
  }
  // A set of identifiers; each name gives its bit.
  std::uint32_t Set(const TDefProperty& property,
                    std::initializer_list<std::pair<std::string_view, std::uint32_t>> bits) const;
  // The root's handler of the name written in the property, of the event's type.
  template <class Event>
  Event Handler(const TDefProperty& property) const {
    const std::any& method = Method(property);
    if (const Event* handler = std::any_cast<Event>(&method)) return *handler;
    Fail(property, "handler '" + property.Value.Text + "' has the wrong type for this event");
  }
  // A component named in the property, handed to `fix` once every component exists.
  void Reference(const TDefProperty& property, std::function<void(TComponent*)> fix);

  [[noreturn]] void Fail(const TDefProperty& property, const std::string& what) const;

 private:
  const std::string& Identifier(const TDefProperty& property) const;
  const std::any& Method(const TDefProperty& property) const;
  void ReadProperties(TComponent* component, const TDefObject& definition);
  void ReadChildren(TComponent* parent, const TDefObject& definition);

  TComponent* root_;
  const TRootBindings& bindings_;
  std::vector<TComponent*> loaded_;
  struct TFixup {
    std::string Name;
    TDefProperty Property;
    std::function<void(TComponent*)> Fix;
  };
  std::vector<TFixup> fixups_;
  const TDefObject* current_ = nullptr;
};

// Loads the RCDATA resource of that name from the program and parses it.
TDefObject LoadDefinitionResource(const wchar_t* resourceName);
