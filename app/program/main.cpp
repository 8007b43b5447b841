// The flight computer program.

#include "app/flight_computer_app.h"
#include "app/test_hooks.h"
#include "platform/gui/assert_handler.h"
#include "platform/gui/termination_watch.h"
#include "platform/message_box.h"

wxIMPLEMENT_APP_NO_MAIN(CFlightComputerApp);

int main(int argc, char** argv) {
    platform::gui::BlockTerminationSignals();
    platform::HoldMessageBoxes();
    platform::gui::InstallAssertionLogger("KOR_VAN");
    app::test_hooks::Record("main");
    const int code = wxEntry(argc, argv);
    // Asked to end, the program ends normally even when start-up was cut short.
    return platform::gui::TerminationWatch::Requested() ? 0 : code;
}
