// The waypoint list dialog over 100 000 waypoints: opening it until the list
// has painted, and the jump to the first name of a typed letter. Needs a
// display (xvfb-run) and the resource bundle of the build.
#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/xrc/xmlres.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "frame/task_dialog.h"
#include "nav/waypoint_list.h"
#include "nav/waypoint_loader.h"
#include "platform/dynamic_library.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/resource_bundle.h"

namespace {

namespace gui = platform::gui;
constexpr int kWaypoints = 100000;

// wx, the bundle and the list, once for the program.
struct Setup {
    Setup() {
        static int argc = 1;
        static char name[] = "kv-bench";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp);
        ready = wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
        platform::DynamicLibrary library = platform::DynamicLibrary::Open(
            std::string(KV_BINARY_DIR) + "/" + gui::kResourceBundleFile);
        if (!library) ready = false;
        if (!ready) return;
        installation = std::make_unique<gui::ResourceBundleInstallation>(
            std::make_shared<const gui::ResourceBundle>(std::move(library)));
        std::vector<std::unique_ptr<nav::CWaypointEntry>> entries;
        for (int i = 0; i < kWaypoints; ++i) {
            nav::WaypointRecord record(45.0 + (i % 300) * 0.01, -6.0 - (i / 300) * 0.01, true);
            const wchar_t letter = static_cast<wchar_t>(L'A' + (i * 7) % 26);
            record.name.Assign(std::wstring(1, letter) + L"Point" + std::to_wstring(i));
            entries.push_back(
                std::make_unique<nav::CWaypointEntry>(record, 0, nav::MapExtension{}));
        }
        nav::LoadedWaypoints loaded{*nav::WaypointList::FromEntries(std::move(entries)), {}};
        nav::PublishWaypoints(loaded);
    }
    bool ready = false;
    std::unique_ptr<gui::ResourceBundleInstallation> installation;
};

Setup& TheSetup() {
    static Setup setup;
    return setup;
}

// Opening: the dialog made, initialised, shown and painted.
void BM_OpenWaypointList(benchmark::State& state) {
    if (!TheSetup().ready) {
        state.SkipWithError("no display or no bundle");
        return;
    }
    for (auto _ : state) {
        auto dialog = std::make_unique<frame::CTaskDialog>(nullptr, frame::TaskDialogOptions{});
        dialog->InitDialog();
        dialog->Show();
        dialog->Update();
        gui::ProcessEventsFor(std::chrono::milliseconds(0));
        benchmark::DoNotOptimize(dialog->WaypointList()->GetItemCount());
        state.PauseTiming();
        dialog.release()->Destroy();
        gui::ProcessEventsFor(std::chrono::milliseconds(0));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenWaypointList)->Unit(benchmark::kMillisecond)->UseRealTime();

// The jump: a typed letter selects the first name beginning with it.
void BM_FirstLetterJump(benchmark::State& state) {
    if (!TheSetup().ready) {
        state.SkipWithError("no display or no bundle");
        return;
    }
    auto dialog = std::make_unique<frame::CTaskDialog>(nullptr, frame::TaskDialogOptions{});
    dialog->InitDialog();
    dialog->Show();
    int letter = 0;
    for (auto _ : state) {
        dialog->HandleKey('A' + letter);
        letter = (letter + 5) % 26;
        dialog->Update();
    }
    dialog.release()->Destroy();
}
BENCHMARK(BM_FirstLetterJump)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
