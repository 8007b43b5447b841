#include "app/flight_computer_app.h"

#include <cstdlib>
#include <string>

#include "app/program_links.h"
#include "app/shutdown.h"
#include "app/test_control.h"
#include "app/test_hooks.h"
#include "platform/gui/screenshot.h"

bool CFlightComputerApp::OnInit() {
    // The command line takes no file and only the standard options.
    if (!wxApp::OnInit()) return false;
    app::test_hooks::NoteThreadsAtStart();
    state_.uiBridge = std::make_unique<platform::gui::ScopedUiBridge>();
    if (auto sink = app::test_hooks::MessageBoxLog()) platform::SetMessageBoxSink(std::move(sink));
    // A signal sent since main began is delivered from here on.
    termination_ =
        std::make_unique<platform::gui::TerminationWatch>([this] { OnTerminationRequested(); });
    dialogLog_ = app::test_hooks::DialogLog();
    platform::ReleaseHeldMessageBoxes();
    frame::CMainFrame::SetCloseListener([] { app::test_hooks::Record("closed"); });

    const frame::ScreenSize screen =
        app::test_hooks::ScreenOverride().value_or(app::MainScreenSize());
    if (!app::InitInstance(state_, screen)) {
        // A start-up cut short by a termination signal ends normally.
        FinishExit(platform::gui::TerminationWatch::Requested() ? EXIT_SUCCESS : EXIT_FAILURE);
        return false;
    }
    started_ = true;
    app::test_hooks::InstallSaveDialogAnswer();
    app::test_hooks::Record("shown");
    for (const app::LinkState& link : app::ProgramLinkStates()) {
        app::test_hooks::Record(std::string(link.installed ? "link ok " : "link missing ") +
                                std::string(link.name));
    }
    app::test_control::Start();
    if (const auto file = app::test_hooks::ScreenshotFile(); file && state_.frame != nullptr) {
        CallAfter([this, file = *file] {
            if (frame::g_hMainFrameWnd != nullptr) {
                platform::gui::SaveScreenshot(*frame::g_hMainFrameWnd, file);
                app::test_hooks::Record("screenshot");
            }
        });
    }
    if (closeRequested_) CallAfter([this] { CloseMainWindow(); });
    return true;
}

int CFlightComputerApp::OnExit() {
    app::test_control::Stop();
    const int code = app::ExitInstance(state_);
    FinishExit(code);
    termination_.reset();
    return wxApp::OnExit();
}

void CFlightComputerApp::OnTerminationRequested() {
    // Start-up may still be running (its questions cancelled): the window is
    // closed once it stands.
    closeRequested_ = true;
    if (started_) CloseMainWindow();
}

void CFlightComputerApp::CloseMainWindow() {
    if (frame::g_hMainFrameWnd != nullptr) frame::g_hMainFrameWnd->Close();
}

void CFlightComputerApp::FinishExit(int code) {
    const auto threads = app::test_hooks::ProgramThreadsStarted();
    app::test_hooks::Record("threads " + std::to_string(threads.size()));
    for (const std::string& thread : threads)
        app::test_hooks::Record("thread " + thread);
    app::test_hooks::Record("exit " + std::to_string(code));
    if (state_.workersLeftRunning) {
        // A worker is still using what the rest of the exit would destroy.
        std::_Exit(code);
    }
    state_.uiBridge.reset();
}
