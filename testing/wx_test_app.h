#pragma once
// A wx application for a GUI test program, started before the first test
// and cleaned up after the last. Include it in exactly one file of the
// program (each GUI test is a program of one file).

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

namespace test_support {

class WxTestApp final : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "kv-gui-test";
        static char* argv[] = {name, nullptr};
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

// GTK and the libraries under it keep some allocations until the process
// ends, and share data between their own threads in ways ThreadSanitizer
// cannot see into (they are not built with it). The sanitizers are told to
// overlook those libraries, never our code.
extern "C" __attribute__((used)) inline const char* __lsan_default_suppressions() {
    return "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libgio-2.0.so\n"
           "leak:libdbus-1.so\n"
           "leak:libgtk-3.so\n"
           "leak:libgdk-3.so\n"
           "leak:libfontconfig.so\n"
           "leak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\n"
           "leak:libcairo.so\n"
           "leak:libatk-1.0.so\n"
           "leak:libatk-bridge-2.0.so\n";
}

extern "C" __attribute__((used)) inline const char* __tsan_default_suppressions() {
    return "race:libglib-2.0.so\n"
           "race:libgobject-2.0.so\n"
           "race:libgio-2.0.so\n"
           "race:libdbus-1.so\n"
           "race:libgtk-3.so\n"
           "race:libgdk-3.so\n"
           "race:libfontconfig.so\n"
           "race:libpango-1.0.so\n"
           "race:libpangoft2-1.0.so\n"
           "race:libcairo.so\n"
           "race:libatk-bridge-2.0.so\n"
           "deadlock:libglib-2.0.so\n"
           "deadlock:libgobject-2.0.so\n"
           "deadlock:libgtk-3.so\n"
           "deadlock:libgdk-3.so\n";
}

extern "C" __attribute__((used)) inline const char* __lsan_default_options() {
    return "print_suppressions=0";
}
