#include "testing/generated_map.h"

#include "platform/numbers.h"

namespace test_support {

std::string GeneratedMapPoint(int i, int k) {
    const int cell = i % 10000;
    const int lat = 46 * 3600 + (cell / 100) * 72 + (k * 7) % 60;
    const int lon = 7 * 3600 + (cell % 100) * 72 + (k * 11) % 60;
    return platform::FormatC("%d,%d,%d,%d,%d,%d,", lat / 3600, lat / 60 % 60, lat % 60, lon / 3600,
                             lon / 60 % 60, lon % 60);
}

std::string GeneratedMapText(int records) {
    const auto at = GeneratedMapPoint;
    std::string text = "48,0,0,9,0,0,46,0,0,7,0,0,10N,0\r\n";
    for (int i = 0; i < records; ++i) {
        switch (i % 4) {
            case 0:
                text += at(i, 0) + "-2,12\r\n";
                for (int k = 1; k < 8; ++k) text += at(i, k) + "-1,3\r\n";
                break;
            case 1:
                text += at(i, 0) + "-5,Town " + std::to_string(i) + "\r\n";
                break;
            case 2:
                text += at(i, 0) + "-7,;9500,1500\r\n" + at(i, 0) + "-2,18,255,0,0,3\r\n";
                for (int k = 1; k < 6; ++k) text += at(i, k) + "-1\r\n";
                break;
            default:
                text += at(i, 0) + "-4,@1,10,80,2M\r\n";
                break;
        }
    }
    return text;
}

}  // namespace test_support
