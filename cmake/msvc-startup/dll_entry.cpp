// The entry point of a DLL: runs the static constructors when the DLL is attached, then hands
// every notification to the DLL's own DllMain.
#include <windows.h>

#include "runtime.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) run_static_constructors();
  return DllMain(module, reason, reserved);
}
