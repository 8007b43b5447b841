#pragma once
// The map's moving pictures (the aircraft, the glide-path conflict mark):
// where each one stands, what it shows and which part of the window must
// be painted again when it moves.
//
// The window never draws a sprite outside its paint. A move gives the
// rectangle to repaint (the old place and the new one); the paint draws
// every shown sprite over the composed map, so the old place gets the map
// back from the back canvas by itself.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/waypoint_record.h"
#include "mapdata/map_draw_state.h"
#include "platform/canvas.h"

namespace map {

// A sprite's picture: an icon drawn with its alpha, or a bitmap whose key
// colour leaves the map as it is. The image is not owned.
struct SpriteImage {
    const platform::Image* image = nullptr;
    std::optional<platform::Colour> transparent;
};

class MapSprite {
  public:
    static constexpr int kUnsetHalf = -32;
    static constexpr std::size_t kNameLength = 55;

    MapSprite() = default;
    virtual ~MapSprite() = default;
    MapSprite(const MapSprite&) = default;
    MapSprite& operator=(const MapSprite&) = default;

    // The picture; the half sizes follow it (the next repaint covers both
    // the old and the new size).
    void SetImage(SpriteImage image);
    // Moves the sprite to `at` and shows it; the rectangle to repaint (its
    // old and new places), or nothing when it was shown there already.
    std::optional<platform::PixelRect> MoveTo(platform::Point at);
    // Hides it; the rectangle to repaint, or nothing when it was hidden.
    // With `forget` the next MoveTo repaints even the same place.
    std::optional<platform::PixelRect> Erase(bool forget);
    // Draws it at its place when shown (the paint).
    void Draw(platform::Canvas& canvas) const;

    // The place it covers at `at`: (2 halfWidth + 2) x (2 halfHeight + 2)
    // from at - half - 1.
    platform::PixelRect BoundsAt(platform::Point at) const;
    bool Shown() const { return shown_; }
    platform::Point Position() const { return pos_; }
    int HalfWidth() const { return halfWidth_; }
    int HalfHeight() const { return halfHeight_; }

    // The first n characters of text equal the name (a shorter text or
    // name ends the comparison as equal only when both end there).
    bool NameEquals(std::wstring_view text, std::size_t n) const;
    void SetName(std::wstring_view name) { name_ = name.substr(0, kNameLength); }

    bool sticky = false;

  private:
    SpriteImage image_;
    bool shown_ = false;
    bool drawnOnce_ = false;
    platform::Point pos_;
    platform::Point lastPos_;
    int halfWidth_ = kUnsetHalf;
    int halfHeight_ = kUnsetHalf;
    std::wstring name_;
};

// Where a position lands on the screen (clamped to +-30000 pixels; a
// position behind the projection lands far outside).
platform::Point ProjectToScreenPoint(const mapdata::MapDrawState& state,
                                     const nav::WaypointRecord& position);

// Moves the sprite to where the position lands; the caller copied the
// position under its lock. The rectangle to repaint as MoveTo gives it.
std::optional<platform::PixelRect> ProjectToSprite(const mapdata::MapDrawState& state,
                                              const nav::WaypointRecord& position, MapSprite& sprite);

// The aircraft pictures by 45-degree sector (0 north, clockwise): the
// cursor bitmaps when the cursor list gave one for the sector, otherwise
// the aircraft icon turned to the sector.
struct AircraftImages {
    std::array<platform::Image, 8> turned;  // the icon turned per sector
    std::array<SpriteImage, 8> sectors;
};
// Builds them from the icon and the cursor bitmaps (each with its key).
// The result points into itself and into `cursors`: keep both.
struct CursorBitmap {
    platform::Image image;
    platform::Colour transparent;
};
std::unique_ptr<AircraftImages> MakeAircraftImages(const platform::Image& icon,
                                                   const std::vector<CursorBitmap>& cursors);

// An image turned clockwise by degrees about its centre, same size,
// nearest pixel; corners that come from outside are transparent.
platform::Image TurnImage(const platform::Image& image, double degrees);

// The glide-path conflict mark: a red cross in a white rim, 11 x 11.
platform::Image MakeConflictMark();

// The aircraft without its picture: a black cross in a white rim, 15 x 15.
platform::Image MakeAircraftCross();

}  // namespace map
