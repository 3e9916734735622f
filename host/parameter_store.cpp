#include "host/parameter_store.h"

namespace devhost {

bool ParameterStore::set_text(const std::string& name, const std::string& text) {
  if (text.size() > max_text_length) return false;
  values_[name] = text;
  return true;
}

void ParameterStore::set_integer(const std::string& name, int value) { values_[name] = value; }

std::string ParameterStore::text(const std::string& name) const {
  auto found = values_.find(name);
  if (found == values_.end()) return "";
  if (const int* number = std::get_if<int>(&found->second)) return std::to_string(*number);
  return std::get<std::string>(found->second);
}

}  // namespace devhost
