// The flight computer program.

#include "app/flight_computer_app.h"
#include "app/termination_signals.h"
#include "platform/message_box.h"

wxIMPLEMENT_APP_NO_MAIN(CFlightComputerApp);

int main(int argc, char** argv) {
    app::BlockTerminationSignals();
    platform::HoldMessageBoxes();
    return wxEntry(argc, argv);
}
