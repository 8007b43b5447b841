// The task file: one triangle, written as the program writes task files.

#include "tools/demo/demo_files.h"
#include "tools/demo/demo_region.h"
#include "tools/demo/text_format.h"

namespace demo {
namespace {

constexpr double kTaskFeetPerMetre = 3.2808;

struct TaskPoint {
    const char* name;
    LocalPoint at;
    int role;  // 1 start, 2 finish, 0 turnpoint
    int kind;  // 1 turnpoint, 0 start or finish
    bool cylinder;
    double radiusKm;
    double directionDeg;  // -1: the program computes it
};

std::string PointLine(const TaskPoint& point) {
    const LatLon p = ToLatLon(point.at);
    return Format("%s,%lf,0,0,%lf,0,0,%.0f\r\n", point.name, p.latitude, -p.longitude,
                  TerrainHeightM(point.at) * kTaskFeetPerMetre);
}

std::string ZoneLine(const TaskPoint& point) {
    const LatLon p = ToLatLon(point.at);
    return Format("%d,%d,%d,%d,%0.2f,%0.2f,%d,%0.2f,%0.2f,%0.2f,%0.7lf,%0.7lf,%0.0f\r\n",
                  point.role, point.kind, point.cylinder ? 1 : 0, 0,
                  point.cylinder ? point.radiusKm : 0.0, 3.0, 0, 90.0, point.directionDeg, 0.0,
                  -p.longitude, p.latitude, TerrainHeightM(point.at) * kTaskFeetPerMetre);
}

}  // namespace

std::string TaskText() {
    const Task& task = TheTask();
    const TaskPoint points[] = {
        {"Demo Home Field", task.start, 1, 0, false, 0.0, BearingDeg(task.start, task.turnpoint1)},
        {"Demo Turn East", task.turnpoint1, 0, 1, true, task.turnpointRadiusKm, -1.0},
        {"Demo Turn North", task.turnpoint2, 0, 1, true, task.turnpointRadiusKm, -1.0},
        {"Demo Home Field", task.finish, 2, 0, true, task.finishRadiusKm,
         BearingDeg(task.turnpoint2, task.finish)},
    };
    std::string text = Format("/*TASK*/\r\n%s\r\n0\r\n4,0,4\r\n", kTaskName);
    for (const TaskPoint& point : points)
        text += PointLine(point);
    text += "\\*zones*\\\r\n4\r\n";
    for (const TaskPoint& point : points)
        text += ZoneLine(point);
    text += Format("%0.2f,%0.2f,%0.02f,%d,%d\r\n", 0.0, task.startLineWidthKm, 0.0, 1, 0);
    return text;
}

}  // namespace demo
