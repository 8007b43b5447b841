// The flight computer program.

#include "app/flight_computer_app.h"
#include "app/termination_signals.h"
#include "app/test_hooks.h"
#include "platform/gui/assert_handler.h"
#include "platform/message_box.h"

wxIMPLEMENT_APP_NO_MAIN(CFlightComputerApp);

int main(int argc, char** argv) {
    app::BlockTerminationSignals();
    platform::HoldMessageBoxes();
    platform::gui::InstallAssertionLogger("KOR_VAN");
    app::test_hooks::Record("main");
    return wxEntry(argc, argv);
}
