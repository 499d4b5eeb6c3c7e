#pragma once
// The Windows version class that chooses between the platform's newer dialogs and the library's
// own or classic ones: the task dialog's forwarding and the modern file dialogs.

namespace commonq {

// 3: before 5; 4: 5.0; 5: other 5.x (also when the version cannot be read); 6: 6.0; 7: later.
// Computed once per process.
int WindowsVersionClass() noexcept;

}  // namespace commonq
