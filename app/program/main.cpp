// The flight computer program.

#include "app/flight_computer_app.h"

wxIMPLEMENT_APP(CFlightComputerApp);
