// What a careless host may pass: null records and texts that fill their fixed buffers without a
// terminating NUL. Every record and buffer here ends exactly at a page the process may not touch,
// with guard bytes in front, so a read or write past either end fails at once.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

// Runs `call` with a driver that cancels whatever dialog comes up, after `look` saw it.
int Cancelled(
    const std::function<int()>& call, const std::function<void(HWND)>& look = [](HWND) {}) {
  return Drive([&](DialogDriver& d) { d.WaitForDialog().Read(look).Command(IDCANCEL).WaitUntilGone(); }, call);
}

class OddInputTest : public LibraryTest {};

TEST_F(OddInputTest, NullRecordsCannotStartAndTextsFillingTheirBuffersWithoutNulAreReadNoFurther) {
  EXPECT_EQ(DlgColorDialogDoModal(nullptr) + DlgFileOpenDoModal(nullptr) + DlgFileSaveasDoModal(nullptr) +
                DlgFormatOptionDoModal(nullptr) + DlgFavDoAddTo(nullptr) + DlgFileInfoDoModal(nullptr),
            0);
  EXPECT_EQ(TaskDialogIndirect98(nullptr, nullptr, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(Cancelled([&] { return MessageBoxDoModal(nullptr, nullptr, nullptr, MB_OKCANCEL, 3031); }), IDCANCEL);
  FencedBytes format(sizeof(DlgFormatOptionParams), '.');
  // No format has that extension: nothing to show, and the call says OK.
  EXPECT_EQ(DlgFormatOptionDoModal(format.data<DlgFormatOptionParams>()), IDOK);
  FencedBytes favorite(sizeof(DlgFavParams), 'f');
  EXPECT_EQ(Cancelled([&] { return DlgFavDoAddTo(favorite.data<DlgFavParams>()); }), IDCANCEL);
  FencedBytes file(MAX_PATH, 'n');
  FencedBytes record(sizeof(DlgFileParams), 0);
  const std::string longExtension(300, 'e');
  *record.data<DlgFileParams>() = {sizeof(DlgFileParams),    nullptr, file.data(),
                                   "All files (*.*)\0*.*\0", 7,       longExtension.c_str(),
                                   OFN_ENABLETEMPLATE,       1};  // filter 7: beyond the list
  EXPECT_EQ(Cancelled([&] { return DlgFileSaveasDoModal(record.data<DlgFileParams>()); },
                      [](HWND dialog) {
                        // The modern dialog's name box is edt1, the classic one's under Wine cmb13.
                        const int box = ::GetDlgItem(dialog, edt1) != nullptr ? edt1 : cmb13;
                        EXPECT_EQ(ControlText(dialog, box), std::string(259, 'n')) << "259 at most";
                      }),
            2);
  EXPECT_EQ(std::string(file.data(), MAX_PATH), std::string(MAX_PATH, 'n')) << "Cancel leaves the buffer as it was";
}

}  // namespace
}  // namespace commonq::testing
