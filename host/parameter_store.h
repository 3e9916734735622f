// The named parameters that the wizard script and the plugin share.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <variant>

#include "plugin/host_functions.h"

namespace devhost {

class ParameterStore {
 public:
  using Value = std::variant<std::string, int>;

  // A plugin reads a text into a buffer of zt_parameter_text_capacity bytes without telling
  // its size, so no longer text is ever stored.
  static constexpr std::size_t max_text_length = zt_parameter_text_capacity - 1;

  // Stores the text under the name (case-sensitive). Returns false, keeping the old value,
  // when the text is longer than max_text_length.
  bool set_text(const std::string& name, const std::string& text);

  void set_integer(const std::string& name, int value);

  // The value as a text: empty when the name holds nothing, an integer in decimal.
  std::string text(const std::string& name) const;

  const std::map<std::string, Value>& values() const { return values_; }

 private:
  std::map<std::string, Value> values_;
};

}  // namespace devhost
