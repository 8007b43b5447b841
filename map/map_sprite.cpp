#include "map/map_sprite.h"

#include <algorithm>
#include <cmath>
#include <numbers>


namespace map {
namespace {

platform::PixelRect Union(const platform::PixelRect& a, const platform::PixelRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace

void MapSprite::SetImage(SpriteImage image) {
    image_ = image;
    if (image_.image != nullptr && !image_.image->Empty()) {
        halfWidth_ = image_.image->Width() / 2;
        halfHeight_ = image_.image->Height() / 2;
    }
}

platform::PixelRect MapSprite::BoundsAt(platform::Point at) const {
    const int hw = std::max(halfWidth_, 0);
    const int hh = std::max(halfHeight_, 0);
    return {at.x - hw - 1, at.y - hh - 1, at.x + hw + 1, at.y + hh + 1};
}

std::optional<platform::PixelRect> MapSprite::MoveTo(platform::Point at) {
    if (shown_ && drawnOnce_ && at == pos_) return std::nullopt;
    const platform::PixelRect next = BoundsAt(at);
    const platform::PixelRect repaint = drawnOnce_ ? Union(BoundsAt(lastPos_), next) : next;
    pos_ = at;
    lastPos_ = at;
    shown_ = true;
    drawnOnce_ = true;
    return repaint;
}

std::optional<platform::PixelRect> MapSprite::Erase(bool forget) {
    const bool wasShown = shown_;
    shown_ = false;
    if (forget) drawnOnce_ = false;
    if (!wasShown) return std::nullopt;
    return BoundsAt(lastPos_);
}

void MapSprite::Draw(platform::Canvas& canvas) const {
    if (!shown_ || image_.image == nullptr || image_.image->Empty()) return;
    const platform::Image& image = *image_.image;
    const platform::Point corner{pos_.x - image.Width() / 2, pos_.y - image.Height() / 2};
    if (image_.transparent) {
        canvas.TransparentBlit({corner.x, corner.y, corner.x + image.Width(), corner.y + image.Height()},
                               image, {0, 0, image.Width(), image.Height()}, *image_.transparent);
    } else {
        canvas.DrawImage(corner, image);
    }
}

bool MapSprite::NameEquals(std::wstring_view text, std::size_t n) const {
    for (std::size_t i = 0; i < n; ++i) {
        const wchar_t a = i < text.size() ? text[i] : L'\0';
        const wchar_t b = i < name_.size() ? name_[i] : L'\0';
        if (a != b) return false;
        if (a == L'\0') return true;
    }
    return true;
}

platform::Point ProjectToScreenPoint(const mapdata::MapDrawState& state,
                                     const nav::WaypointRecord& position) {
    constexpr int kFar = 30000;
    // The far hemisphere would project through the centre onto the near
    // side: a position there is simply not on the map.
    const double facing = position.x * state.centre.x + position.y * state.centre.y +
                          position.z * state.centre.z;
    if (!(facing > 0.0)) return {-kFar, -kFar};
    const mapdata::ScreenPoint p = mapdata::ProjectToScreen(
        state, {static_cast<float>(position.x), static_cast<float>(position.y),
                static_cast<float>(position.z)});
    const auto pixel = [](float v) {
        return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, -30000.0F, 30000.0F)))
                                : -kFar;
    };
    return {pixel(p.x), pixel(p.y)};
}

std::optional<platform::PixelRect> ProjectToSprite(const mapdata::MapDrawState& state,
                                              const nav::WaypointRecord& position, MapSprite& sprite) {
    return sprite.MoveTo(ProjectToScreenPoint(state, position));
}

platform::Image TurnImage(const platform::Image& image, double degrees) {
    if (image.Empty()) return {};
    platform::Image turned(image.Width(), image.Height());
    if (turned.Empty()) return turned;
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double mx = (image.Width() - 1) / 2.0;
    const double my = (image.Height() - 1) / 2.0;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            // The source pixel that turns onto (x, y): turned back.
            const double dx = x - mx;
            const double dy = y - my;
            const long sx = std::lround(c * dx + s * dy + mx);
            const long sy = std::lround(-s * dx + c * dy + my);
            if (sx < 0 || sy < 0 || sx >= image.Width() || sy >= image.Height()) continue;
            turned.SetPixel(x, y, image.Pixel(static_cast<int>(sx), static_cast<int>(sy)));
        }
    }
    turned.MarkDirty();
    return turned;
}

std::unique_ptr<AircraftImages> MakeAircraftImages(const platform::Image& icon,
                                                   const std::vector<CursorBitmap>& cursors) {
    auto images = std::make_unique<AircraftImages>();
    for (std::size_t k = 0; k < images->sectors.size(); ++k) {
        if (k < cursors.size() && !cursors[k].image.Empty()) {
            images->sectors[k] = {&cursors[k].image, cursors[k].transparent};
            continue;
        }
        // Without its picture (no resource bundle) the aircraft is still
        // shown, as a cross that marks the position.
        images->turned[k] = icon.Empty() ? MakeAircraftCross() : TurnImage(icon, 45.0 * static_cast<double>(k));
        images->sectors[k] = {&images->turned[k], std::nullopt};
    }
    return images;
}

platform::Image MakeConflictMark() {
    constexpr int kSize = 11;
    platform::Image mark(kSize, kSize);
    const std::uint32_t white = platform::PremultipliedArgb(255, 255, 255, 255);
    const std::uint32_t red = platform::PremultipliedArgb(255, 220, 0, 0);
    for (int i = 0; i < kSize; ++i) {
        for (int d = -1; d <= 1; ++d) {  // the rim: the cross one pixel wider
            for (int j : {i + d}) {
                if (j < 0 || j >= kSize) continue;
                mark.SetPixel(i, j, white);
                mark.SetPixel(i, kSize - 1 - j, white);
            }
        }
    }
    for (int i = 1; i < kSize - 1; ++i) {
        mark.SetPixel(i, i, red);
        mark.SetPixel(i, kSize - 1 - i, red);
    }
    mark.MarkDirty();
    return mark;
}

platform::Image MakeAircraftCross() {
    constexpr int kSize = 15;
    constexpr int kMid = kSize / 2;
    platform::Image mark(kSize, kSize);
    const std::uint32_t white = platform::PremultipliedArgb(255, 255, 255, 255);
    const std::uint32_t black = platform::PremultipliedArgb(255, 0, 0, 0);
    // Arms three pixels wide; a white rim one pixel round them keeps the
    // cross seen on any map.
    const auto arms = [&mark](int halfWidth, int from, int to, std::uint32_t colour) {
        for (int i = from; i <= to; ++i) {
            for (int d = -halfWidth; d <= halfWidth; ++d) {
                mark.SetPixel(i, kMid + d, colour);
                mark.SetPixel(kMid + d, i, colour);
            }
        }
    };
    arms(2, 0, kSize - 1, white);
    arms(1, 1, kSize - 2, black);
    mark.MarkDirty();
    return mark;
}

}  // namespace map
