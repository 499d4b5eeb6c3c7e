/* A host built with the MSVC toolchain's conventions (clang for *-pc-windows-msvc, lld-link) and
 * linked against CommonQ.lib alone: no Windows SDK, no C runtime. It declares what it uses, as
 * CommonQ.h does for the MinGW and MSVC headers. Its exit code is a bit set of the failed checks,
 * 0 when all pass. Every call returns without a person: message 3031 is already ticked away in
 * the registry (the test sets "DoNot"), ".tga" has no options and a null task dialog
 * configuration is rejected at once. */

typedef struct {
  unsigned long dwReserved0;
  unsigned long dwReserved1;
  char szExtension[260];
} FormatOptionParams;

__declspec(dllimport) int __cdecl MessageBoxDoModal(void* owner, const char* text, const char* caption, unsigned type,
                                                    unsigned messageNumber);
__declspec(dllimport) int __cdecl DlgFormatOptionDoModal(FormatOptionParams* params);
__declspec(dllimport) long __cdecl TaskDialogIndirect98(const void* config, int* button, int* radioButton,
                                                        int* verificationChecked);

/* From the generated msvc_exports.c: the address of every export in CommonQ.def. */
extern void (*const commonq_every_export[])(void);
extern const unsigned commonq_export_count;

enum { kMbYesNo = 4, kIdOk = 1, kEInvalidArg = (long)0x80070057 };

/* The process entry point: returning from it ends the process with that exit code. */
unsigned long __stdcall HostEntry(void* peb) {
  static FormatOptionParams noOptions = {0, 0, ".tga"};
  unsigned long failures = 0;
  (void)peb;
  if (MessageBoxDoModal(0, "Some textures are missing. Continue?", "Qelm Explorer", kMbYesNo, 3031) != kIdOk)
    failures |= 1;
  if (DlgFormatOptionDoModal(&noOptions) != 1) failures |= 2;
  if (TaskDialogIndirect98(0, 0, 0, 0) != kEInvalidArg) failures |= 4;
  for (unsigned i = 0; i < commonq_export_count; ++i) {
    if (commonq_every_export[i] == 0) failures |= 8;
  }
  return failures;
}
