// The host API table: one slot per function that a CorvaneZT host exports, filled when the host
// calls initPlugin and held for the life of the module. Plugin code reaches the host only
// through it.
#pragma once

#include "plugin/host_function_list.h"
#include "plugin/module_loader.h"

// The file name of the host's executable, as the module loader knows it.
#define ZT_HOST_MODULE_NAME "CorvaneZT.exe"

struct HostApi {
#define ZT_HOST_API_SLOT(name) HostFunction name;
  ZT_HOST_FUNCTIONS(ZT_HOST_API_SLOT, ZT_HOST_API_SLOT)
#undef ZT_HOST_API_SLOT
};

// All slots are null until the first successful binding; a slot whose name the host does not
// export stays null.
extern HostApi host_api;

// True while the host last offered to initPlugin was accepted; execute runs only then.
extern bool host_accepted;

// Fills the table from the loaded module "CorvaneZT.exe", in the order of the list. Returns
// false, touching no slot, when there is no such module or it lacks ztGetVersionOfCorvaneZT.
// Other missing names are not reported: their slots become null.
bool bind_host_api();

// A slot as the function type it is called with (see host_functions.h).
template <typename Function>
Function* host_function(HostFunction slot) {
  return reinterpret_cast<Function*>(slot);
}
