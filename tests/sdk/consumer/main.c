/* The SDK's consumer: CommonQ.h and the import library, no LoadLibrary. Prints where CommonQ.dll
 * was loaded from and exits with a bit set of the failed checks (0: all passed). The calls return
 * without a person: message 3031 is already ticked away in the registry (the test sets "DoNot"),
 * ".tga" has no options and a null task dialog configuration is rejected at once. */
#include <stdio.h>

#include "CommonQ.h"

int main(void) {
  DlgFormatOptionParams noOptions = {0, 0, ".TGA"};
  char path[MAX_PATH] = "";
  int failures = 0;

  if (MessageBoxDoModal(NULL, "Some textures are missing. Continue?", "Qelm Explorer", MB_YESNO | MB_ICONQUESTION,
                        3031) != IDOK)
    failures |= 1;
  if (DlgFormatOptionDoModal(&noOptions) != 1) failures |= 2;
  if (TaskDialogIndirect98(NULL, NULL, NULL, NULL) != E_INVALIDARG) failures |= 4;

  GetModuleFileNameA(GetModuleHandleA("CommonQ.dll"), path, sizeof path);
  printf("CommonQ.dll loaded from %s; failed checks: %d\n", path, failures);
  return failures;
}
