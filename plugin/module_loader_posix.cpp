// The dynamic loader keeps a list of the objects it has loaded: the main program first (listed
// with an empty name), then every shared object. A module is found by walking that list.
#include "plugin/module_loader.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <string.h>
#include <unistd.h>

namespace {

const char* base_name(const char* path) {
  const char* slash = strrchr(path, '/');
  return slash != nullptr ? slash + 1 : path;
}

bool main_program_path(char* path, size_t size) {
  ssize_t length = readlink("/proc/self/exe", path, size - 1);
  if (length < 0) return false;
  path[length] = '\0';
  return true;
}

link_map* object_list(void* handle) {
  link_map* object = nullptr;
  return dlinfo(handle, RTLD_DI_LINKMAP, &object) == 0 ? object : nullptr;
}

}  // namespace

ModuleHandle find_loaded_module(const char* file_name) {
  void* main_program = dlopen(nullptr, RTLD_LAZY);
  char main_path[PATH_MAX];
  if (main_program == nullptr || !main_program_path(main_path, sizeof main_path)) return nullptr;
  if (strcmp(base_name(main_path), file_name) == 0) return main_program;
  link_map* first = object_list(main_program);
  for (link_map* object = first != nullptr ? first->l_next : nullptr; object != nullptr; object = object->l_next) {
    if (strcmp(base_name(object->l_name), file_name) == 0) return dlopen(object->l_name, RTLD_LAZY | RTLD_NOLOAD);
  }
  return nullptr;
}

HostFunction find_module_function(ModuleHandle module, const char* name) {
  void* symbol = dlsym(module, name);
  if (symbol == nullptr) return nullptr;
  // dlsym also searches what the module depends on (for the main program: every global
  // object); like GetProcAddress, accept only a function that the module itself defines.
  Dl_info info;
  link_map* owner = nullptr;
  if (dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0 || owner != object_list(module))
    return nullptr;
  return reinterpret_cast<HostFunction>(symbol);
}
