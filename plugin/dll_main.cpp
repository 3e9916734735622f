// The module's entry point on Windows. The plugin keeps no per-thread state, so it asks the
// loader not to call it for every thread that starts or ends.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
  return TRUE;
}
