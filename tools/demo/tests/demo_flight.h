#pragma once
// The demonstration flight, flown once for all the tests of a program.

#include "tools/demo/flight_path.h"

namespace demo {

inline const Flight& TheDemoFlight() {
    static const Flight flight = FlyDemoFlight();
    return flight;
}

}  // namespace demo
