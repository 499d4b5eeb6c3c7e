// language_trap.dll: a PE without resources whose entry point leaves a marker file in the temp
// folder. Installed as a language file, it must be read as data only: the marker proves its code
// ran.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH - 32, path);
    if (length > 0 && length < MAX_PATH - 32) {
      lstrcatA(path, "commonq_language_trap.txt");
      HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
  }
  return TRUE;
}
