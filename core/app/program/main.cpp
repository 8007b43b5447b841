// The flight computer program.

#include "core/app/flight_computer_app.h"

wxIMPLEMENT_APP(CFlightComputerApp);
