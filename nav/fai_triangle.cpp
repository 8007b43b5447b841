#include "nav/fai_triangle.h"

#include "nav/task_model.h"

namespace nav {

float FaiLegKm(const WaypointRecord& a, const WaypointRecord& b) {
    const EllipsoidLeg leg = EllipsoidLegBetween(a, b);
    return leg.valid ? leg.km : 0.0F;
}

int ClassifyFaiTriangle(float l1, float l2, float l3) {
    const float total = l1 + l2 + l3;
    if (!(total >= 0.1F)) return 0;
    const bool large = total >= kFaiLargeTriangleKm;
    const float lowest = large ? 0.25F : 0.28F;
    const float highest = large ? 0.45F : 0.44F;
    for (const float leg : {l1, l2, l3}) {
        const float share = leg / total;
        if (share < lowest || share > highest) return 0;
    }
    return large ? 2 : 1;
}

int IsFaiTriangle(const WaypointRecord& p0, const WaypointRecord& p1, const WaypointRecord& p2) {
    return ClassifyFaiTriangle(FaiLegKm(p0, p1), FaiLegKm(p1, p2), FaiLegKm(p2, p0));
}

}  // namespace nav
