#include "framework/win/Reader.h"

#include <windows.h>

#include "framework/win/Controls.h"
#include "framework/win/Graphics.h"
#include "framework/win/Text.h"

namespace {

std::map<std::string, TComponentFactory, std::less<>>& ClassRegistry() {
  static std::map<std::string, TComponentFactory, std::less<>> registry;
  return registry;
}

}  // namespace

void RegisterComponentClass(std::string className, TComponentFactory factory) {
  ClassRegistry()[std::move(className)] = std::move(factory);
}

void TReader::Fail(const TDefProperty& property, const std::string& what) const {
  std::string where = current_ ? current_->Name + "." : std::string();
  throw EReadError("Window definition, line " + std::to_string(property.Line) + ", " + where + property.Name + ": " + what);
}

void TReader::Read(const TDefObject& definition) {
  root_->SetState(csLoading | csReading);
  if (root_->Name().empty()) root_->SetName(definition.Name);
  loaded_.push_back(root_);
  ReadProperties(root_, definition);
  ReadChildren(dynamic_cast<TWinControl*>(root_) ? root_ : nullptr, definition);

  for (TFixup& fixup : fixups_) {
    TComponent* target = root_->FindComponent(fixup.Name);
    if (!target) {
      current_ = nullptr;
      Fail(fixup.Property, "no component named '" + fixup.Name + "'");
    }
    fixup.Fix(target);
  }
  fixups_.clear();

  for (TComponent* component : loaded_) component->ClearState(csReading);
  for (TComponent* component : loaded_) component->Loaded();
  loaded_.clear();
}

void TReader::ReadProperties(TComponent* component, const TDefObject& definition) {
  const TDefObject* previous = current_;
  current_ = &definition;
  for (const TDefProperty& property : definition.Properties)
    if (!component->ReadProperty(*this, property)) Fail(property, "unknown property");
  current_ = previous;
}

void TReader::ReadChildren(TComponent* parent, const TDefObject& definition) {
  for (const TDefObject& child : definition.Children) {
    const auto& registry = ClassRegistry();
    const auto factory = registry.find(child.ClassName);
    if (factory == registry.end())
      throw EReadError("Window definition, line " + std::to_string(child.Line) + ": class " + child.ClassName +
                       " not found");
    if (root_->FindComponent(child.Name))
      throw EReadError("Window definition, line " + std::to_string(child.Line) + ": a component named " +
                       child.Name + " already exists");
    TComponent* component = factory->second(root_);
    component->SetState(csLoading | csReading);
    component->SetName(child.Name);
    loaded_.push_back(component);
    if (auto* control = dynamic_cast<TControl*>(component)) {
      if (auto* parentControl = dynamic_cast<TWinControl*>(parent)) control->SetParent(parentControl);
    }
    if (const auto field = bindings_.Fields.find(child.Name); field != bindings_.Fields.end()) {
      if (!field->second(component))
        throw EReadError("Window definition, line " + std::to_string(child.Line) + ": field " + child.Name +
                         " is not of class " + child.ClassName);
    }
    ReadProperties(component, child);
    ReadChildren(component, child);
  }
}

const std::string& TReader::Identifier(const TDefProperty& property) const {
  if (property.Value.Kind != TDefValue::TKind::Identifier) Fail(property, "a name was expected");
  return property.Value.Text;
}

std::int32_t TReader::Integer(const TDefProperty& property) const {
  if (property.Value.Kind != TDefValue::TKind::Integer) Fail(property, "a number was expected");
  return static_cast<std::int32_t>(property.Value.Integer);
}

std::string TReader::String(const TDefProperty& property) const {
  if (property.Value.Kind != TDefValue::TKind::String) Fail(property, "a string was expected");
  return property.Value.Text;
}

bool TReader::Boolean(const TDefProperty& property) const {
  const std::string& ident = Identifier(property);
  if (ident == "true") return true;
  if (ident == "false") return false;
  Fail(property, "true or false was expected");
}

TColor TReader::Color(const TDefProperty& property) const {
  if (property.Value.Kind == TDefValue::TKind::Integer) return static_cast<TColor>(property.Value.Integer);
  if (const auto color = IdentToColor(Identifier(property))) return *color;
  Fail(property, "unknown colour '" + property.Value.Text + "'");
}

std::vector<std::string> TReader::Strings(const TDefProperty& property) const {
  if (property.Value.Kind != TDefValue::TKind::List) Fail(property, "a list of strings was expected");
  return property.Value.Items;
}

std::uint32_t TReader::Set(const TDefProperty& property,
                           std::initializer_list<std::pair<std::string_view, std::uint32_t>> bits) const {
  if (property.Value.Kind != TDefValue::TKind::Set) Fail(property, "a set was expected");
  std::uint32_t result = 0;
  for (const std::string& item : property.Value.Items) {
    bool found = false;
    for (const auto& [name, bit] : bits)
      if (name == item) {
        result |= bit;
        found = true;
      }
    if (!found) Fail(property, "unknown set element '" + item + "'");
  }
  return result;
}

const std::any& TReader::Method(const TDefProperty& property) const {
  const std::string& name = Identifier(property);
  const auto method = bindings_.Methods.find(name);
  if (method == bindings_.Methods.end()) Fail(property, "no handler named '" + name + "'");
  return method->second;
}

void TReader::Reference(const TDefProperty& property, std::function<void(TComponent*)> fix) {
  fixups_.push_back(TFixup{Identifier(property), property, std::move(fix)});
}

TDefObject LoadDefinitionResource(const wchar_t* resourceName) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, resourceName, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!resource) throw EReadError("Resource " + Narrow(resourceName) + " not found");
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, resource);
  if (!data) throw EReadError("Resource cannot be loaded");
  return ParseDefinition(std::string_view(static_cast<const char*>(data), size));
}
