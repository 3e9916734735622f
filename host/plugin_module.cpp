#include "host/plugin_module.h"

#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace devhost {

namespace {

using AnyFunction = PluginModule::ExportedFunction;

#if defined(_WIN32)

void* open_module(const std::string& path) { return LoadLibraryA(path.c_str()); }

std::string open_error() { return "error " + std::to_string(GetLastError()); }

AnyFunction find_export(void* module, const char* name) {
  return reinterpret_cast<AnyFunction>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void close_module(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }

#else

void* open_module(const std::string& path) {
  // A bare file name means the file in the current directory, as on Windows, not a search
  // through the library path.
  const bool bare = path.find('/') == std::string::npos;
  return dlopen((bare ? "./" + path : path).c_str(), RTLD_NOW | RTLD_LOCAL);
}

std::string open_error() { return dlerror(); }

AnyFunction find_export(void* module, const char* name) { return reinterpret_cast<AnyFunction>(dlsym(module, name)); }

void close_module(void* module) { dlclose(module); }

#endif

const char* const identification_exports[] = {"getPluginName", "getPluginDescription", "getAuthor",
                                              "getHelpFile",   "getPluginVersion",     "getGUIScript"};

}  // namespace

PluginModule::PluginModule(const std::string& path) : path_(path), handle_(open_module(path)) {
  if (handle_ == nullptr) throw std::runtime_error("cannot load the module " + path + ": " + open_error());
  try {
    create_plugin = reinterpret_cast<createPlugin_function*>(require("createPlugin"));
    for (const char* name : identification_exports)
      identification.push_back({name, reinterpret_cast<plugin_text_function*>(require(name))});
  } catch (...) {
    close_module(handle_);
    throw;
  }
}

PluginModule::~PluginModule() { close_module(handle_); }

AnyFunction PluginModule::find(const char* name) const { return find_export(handle_, name); }

AnyFunction PluginModule::require(const char* name) const {
  AnyFunction function = find(name);
  if (function == nullptr) throw std::runtime_error("the module " + path_ + " does not export " + name);
  return function;
}

}  // namespace devhost
