#pragma once
// A wx application for a GUI test program, started before the first test
// and cleaned up after the last. Every GUI test file of the program includes
// it; being an inline variable, the environment is registered once.
//
// Every toolkit assertion raised while the tests run fails the running
// test: the programs only log them, so a test is the place they are seen.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/debug.h>
#include <wx/init.h>
#include <wx/log.h>

#include "platform/gui/assert_handler.h"

namespace test_support {

inline void FailTestOnAssertion(const wxString& file, int line, const wxString& function,
                                const wxString& condition, const wxString& message) {
    ADD_FAILURE() << platform::gui::AssertionText(file, line, function, condition, message);
}

class WxTestApp final : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "kv-gui-test";
        static char* argv[] = {name, nullptr};
        wxSetAssertHandler(&FailTestOnAssertion);
        wxApp::SetInstance(new wxApp);  // wx owns and deletes it
        ASSERT_TRUE(wxEntryStart(argc, argv)) << "no display? run under xvfb-run";
        ASSERT_TRUE(wxTheApp->CallOnInit());
        // A wx error would otherwise wait in a message box nobody closes.
        delete wxLog::SetActiveTarget(new wxLogStderr());
    }
    void TearDown() override {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
};

inline ::testing::Environment* const g_wxTestApp =
    ::testing::AddGlobalTestEnvironment(new WxTestApp);

}  // namespace test_support
