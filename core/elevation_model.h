#pragma once
// The terrain elevation as the navigation and glide code see it. The map
// module owns the real grid and installs it with SetElevationModel when one
// is loaded; tests install a grid of their own. No model installed means the
// terrain is unknown everywhere.

#include <memory>
#include <optional>

namespace core {

class ElevationModel {
  public:
    virtual ~ElevationModel() = default;

    // Elevation in feet at a position in radians (longitude positive west);
    // nothing outside the grid or on a cell without data. Safe from any
    // thread while the model is installed.
    virtual std::optional<float> GetElevationAt(double lonWest, double latitude) const = 0;

    // The distance between samples along a course or route, kilometres: the
    // smaller cell side times 0.8, but at least 0.3 km.
    virtual double SampleStepKm() const = 0;
};

// The installed model, or null. The shared pointer keeps a model alive for a
// caller that is still using it while another is installed.
std::shared_ptr<const ElevationModel> CurrentElevationModel();
void SetElevationModel(std::shared_ptr<const ElevationModel> model);

}  // namespace core
