// The polar of a made-up standard-class glider: best glide about 42 near
// 100 km/h, minimum sink 0.60 m/s at 80 km/h.

#include "tools/demo/demo_files.h"
#include "tools/demo/text_format.h"

namespace demo {

double PolarSinkMs(double speedKmh) {
    const double d = speedKmh - 80.0;
    return 0.60 + 1.6e-4 * d * d;
}

std::string PolarText() {
    // Weighting 1, minimum-speed floor 60 and minimum speed 70 km/h, unit set
    // 2 (km/h and m/s), then the measured points.
    std::string text = "Demo Standard Class (made up)\n1,60,70,2\n";
    for (int speed = 70; speed <= 180; speed += 10)
        text += Format("%d,%.3f\n", speed, PolarSinkMs(speed));
    return text;
}

}  // namespace demo
