// language_trap.dll: a PE without resources whose entry point leaves a marker file in the temp
// folder. Installed as a language file, it must be read as data only: the marker proves its code
// ran.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  char path[MAX_PATH + 32] = {};
  const DWORD length = reason == DLL_PROCESS_ATTACH ? GetTempPathA(MAX_PATH, path) : 0;
  if (length > 0 && length < MAX_PATH) {
    lstrcatA(path, "commonq_language_trap.txt");
    CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  return TRUE;
}
