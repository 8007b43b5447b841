#include "map/map_compose.h"

#include "map/map_draw_math.h"
#include "map/map_view_model.h"
#include "map/task_layer_draw.h"

namespace map {

std::optional<int> WindDiscTop(int layoutClass, int navDisplay) {
    if (layoutClass != 2) return kWindDiscTop;
    if (navDisplay == 1) return std::nullopt;
    return navDisplay == 2 ? kWindDiscTop - 24 : kWindDiscTop;
}

platform::Colour WindDiscColour(float speedKt) {
    switch (WindDiscFor(speedKt)) {
        case WindDisc::kYellow:
            return {255, 255, 0};
        case WindDisc::kRed:
            return {255, 0, 0};
        case WindDisc::kGreen:
            break;
    }
    return {0, 255, 0};
}

void DrawScaleText(platform::Canvas& canvas, const std::string& text, int right, int labelBottom,
                   const platform::Font& font) {
    if (text.empty()) return;
    canvas.SetFont(font);
    canvas.SetBackgroundMode(platform::BackgroundMode::kTransparent);
    canvas.SetTextColour(platform::kBlack);
    canvas.DrawText(text, {kButtonColumn, 0, right, labelBottom},
                    platform::kTextRight | platform::kTextBottom);
}

void DrawWindIndicator(platform::Canvas& canvas, const ComposeLayers& layers) {
    if (!layers.wind || !layers.windTop) return;
    const int y = *layers.windTop;
    canvas.FillRect({0, y, kButtonColumn, y + 22}, platform::Brush::Solid(layers.background));
    canvas.SetPen(platform::Pen{platform::Pen::Style::kNull, 1, platform::kBlack});
    canvas.SetBrush(platform::Brush::Solid(WindDiscColour(layers.wind->speedKt)));
    canvas.Ellipse({1, y, 23, y + 22});
    if (layers.windArrows == nullptr) return;
    const int sector = WindArrowSector(layers.wind->directionDeg, layers.rotationDeg);
    const platform::Image& arrow = (*layers.windArrows)[static_cast<std::size_t>(sector)];
    if (!arrow.Empty()) canvas.DrawImage({-4, y - 5}, arrow);
}

void ComposeMapFrame(platform::Canvas& out, const platform::Image* back, const ComposeLayers& layers) {
    const platform::Size size{out.Width(), out.Height()};
    out.ResetClip();
    if (back != nullptr && !back->Empty()) {
        out.Blit({0, 0}, size, *back, {0, 0}, platform::RasterOp::kCopy);
    } else {
        out.FillRect(out.Bounds(), platform::Brush::Solid(platform::kWhite));
    }
    if (layers.gotoLine) {
        DrawGotoLine(out, layers.state, layers.gotoLine->aircraft, layers.gotoLine->target,
                     {kButtonColumn, 0, size.width, size.height});
    }
    if (layers.taskLayer != nullptr && !layers.taskLayer->Empty()) {
        out.Blit({0, 0}, size, *layers.taskLayer, {0, 0}, platform::RasterOp::kAnd);
    }
    if (layers.reachable != nullptr && !layers.reachable->Empty()) {
        out.Blit({0, 0}, size, *layers.reachable, {0, 0}, platform::RasterOp::kXor);
    }
    for (const MapSprite* sprite : layers.sprites) {
        if (sprite != nullptr) sprite->Draw(out);
    }
    out.FillRect({0, 0, kButtonColumn, size.height}, platform::Brush::Solid(layers.background));
    DrawScaleText(out, layers.scaleText, size.width, layers.labelBottom, layers.font);
    DrawWindIndicator(out, layers);
    out.Finish();
}

bool ComposeFromHandover(platform::Canvas& out, const platform::CanvasHandover& back,
                         const glide::CReachableOutline* outline, ComposeLayers layers) {
    const auto compose = [&](const platform::Image* pixels) {
        if (outline == nullptr || !outline->Shown()) {
            ComposeMapFrame(out, pixels, layers);
            return;
        }
        outline->ReadBitmap([&](const platform::Image& reach) {
            layers.reachable = &reach;
            ComposeMapFrame(out, pixels, layers);
        });
    };
    if (back.Read([&](const platform::Image& pixels) { compose(&pixels); })) return true;
    compose(nullptr);
    return false;
}

void TaskLayerCanvas::Render(int width, int height, const mapdata::MapDrawContext& context,
                             int lineWidth) {
    if (width < kButtonColumn || height <= 0) return;
    if (!canvas_ || canvas_->Width() != width || canvas_->Height() != height) {
        canvas_ = std::make_unique<platform::Canvas>(width, height);
    }
    if (!canvas_->Valid()) {
        canvas_.reset();
        return;
    }
    canvas_->ResetClip();
    canvas_->FillRect(canvas_->Bounds(), platform::Brush::Solid(platform::kWhite));
    DrawCurrentTaskLayer(*canvas_, context, lineWidth, true);
    canvas_->Finish();
}

const platform::Image* TaskLayerCanvas::Pixels() const {
    if (!canvas_) return nullptr;
    return &std::as_const(*canvas_).Pixels();
}

}  // namespace map
