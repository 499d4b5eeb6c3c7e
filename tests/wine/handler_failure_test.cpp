// A handler that fails inside the system's message box (an allocation failure, injected here)
// must not let the exception cross the system's frames: the box ends and the export reports that
// it could not complete, storing nothing. (The colour chooser's hook and subclass handle nothing
// that could fail; the task dialog has its own test.) White-box: the exports are called from the DLL's own objects,
// linked into this program, where the failure can be injected.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#define COMMONQ_BUILDING  // the exports of the linked objects, not of the loaded DLL
#include "CommonQ.h"
#include "frame/module_state.h"
#include "frame/window_binding.h"
#include "support/dialog_driver.h"
#include "support/leak_tracer.h"
#include "wine/library_fixture.h"

namespace commonq::testing {
namespace {

class HandlerFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteSettings();
    ASSERT_NE(LibraryModule(), nullptr);
    SetLibraryInstance(LibraryModule());  // strings come from the library's resources
    tracer_ = std::make_unique<LeakTracer>(::GetModuleHandleA(nullptr));
    tracer_->Start();
  }
  void TearDown() override {
    InjectAllocationFailureForTesting(0);
    for (const std::string& survivor : tracer_->Survivors()) ADD_FAILURE() << "left alive: " << survivor;
    tracer_.reset();
    SetLibraryInstance(nullptr);
    DeleteSettings();
  }
  std::unique_ptr<LeakTracer> tracer_;
};

TEST_F(HandlerFailureTest, MessageBoxEndsAndReportsCannotCompleteStoringNothing) {
  DialogDriver driver;
  // Tick "Do not show again", then fail the box's next command.
  driver.WaitForDialog("Failing")
      .Click(1092)
      .Read([](HWND) { InjectAllocationFailureForTesting(WM_COMMAND); })
      .Click(IDOK)
      .WaitUntilGone()
      .Start();
  EXPECT_EQ(::MessageBoxDoModal(nullptr, "Text", "Failing", MB_OKCANCEL, 3031), 0);
  EXPECT_TRUE(driver.Finished());
  EXPECT_FALSE(ValueExists(Key("Common"), "DoNot"));
}

}  // namespace
}  // namespace commonq::testing
