#include "plugin/host_api.h"

#include <stddef.h>

HostApi host_api;
bool host_accepted;

namespace {

struct HostApiEntry {
  const char* name;
  HostFunction HostApi::*slot;
};

#define ZT_HOST_API_ENTRY(name) {#name, &HostApi::name},
const HostApiEntry host_api_entries[] = {ZT_HOST_FUNCTIONS(ZT_HOST_API_ENTRY, ZT_HOST_API_ENTRY)};
#undef ZT_HOST_API_ENTRY

const size_t host_api_entry_count = sizeof host_api_entries / sizeof host_api_entries[0];

}  // namespace

bool bind_host_api() {
  ModuleHandle host = find_loaded_module(ZT_HOST_MODULE_NAME);
  if (host == nullptr) return false;
  // The version function comes first in the list; a host without it is not bound at all.
  HostFunction version = find_module_function(host, host_api_entries[0].name);
  if (version == nullptr) return false;
  host_api.*host_api_entries[0].slot = version;
  for (size_t i = 1; i < host_api_entry_count; ++i)
    host_api.*host_api_entries[i].slot = find_module_function(host, host_api_entries[i].name);
  return true;
}
