// Finds functions in a module that the process has already loaded, by the module's file name
// and then by the function's name. On Windows these are GetModuleHandleA and GetProcAddress; on
// POSIX systems the same two look-ups are made over the dynamic loader's list of objects. Neither
// loads anything.
#pragma once

typedef void* ModuleHandle;

// Any function; cast to its real type before calling it.
typedef void (*HostFunction)();

// The loaded module (main program or shared library) whose file's base name equals file_name
// exactly, or null when there is none.
ModuleHandle find_loaded_module(const char* file_name);

// The function that the module itself exports under the name, or null.
HostFunction find_module_function(ModuleHandle module, const char* name);
