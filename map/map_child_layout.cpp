#include "map/map_child_layout.h"

namespace map {
namespace {

constexpr int B = kButtonColumn;

// A button of the column at the left edge.
platform::PixelRect Column(int top, int bottom) { return {0, top, B, bottom}; }

platform::PixelRect Span(int left, int right, int top, int bottom) { return {left, top, right, bottom}; }

}  // namespace

MapChildLayout LayMapChildren(int layoutClass, int textButtonWidth) {
    const bool wide = layoutClass >= 2;
    MapChildLayout l;
    l.flip = Column(1, 25);
    l.expand = Column(B + 4, 2 * B + 5);
    l.shrink = Column(2 * B + 7, 3 * B + 8);
    // The centre and replay buttons swap places in the widest layout.
    const platform::PixelRect third = Column(3 * B + 9, 4 * B + 10);
    const platform::PixelRect fifth = Column(5 * B + 15, 6 * B + 9);
    l.center = wide ? fifth : third;
    l.replay = wide ? third : fifth;
    l.zoom = Column(4 * B + 11, 5 * B + 12);
    l.toolbar = Span(3, 21, 192, 210);
    const int top = wide ? 1 : 6;
    l.pickList = Span(172, 226, top, top + 24);
    l.gotoList = Span(35, 174, top, top + 24);
    const int w = textButtonWidth;
    l.back = wide ? Span(24, 24 + w, 15, 39) : Span(24, 24 + w, 20, 44);
    l.alarmAck = wide ? Span(24, 24 + w, 54, 78) : Span(24, 24 + w, 100, 124);
    l.close = wide ? Span(24, 24 + w, 80, 104) : Span(24, 24 + w, 136, 160);
    l.infoBox = Span(5, 235, 200, 250);
    l.picture = Span(24, 236, 5, 185);
    l.pictureFitHeight = wide ? 120 : 180;
    return l;
}

int FlarmWindowSide(int clientWidth, int clientHeight) {
    return clientHeight < clientWidth ? 3 * clientHeight / 7 : 3 * clientWidth / 7;
}

}  // namespace map
