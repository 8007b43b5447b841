#pragma once
// Where the map window's children sit, in pixels, by the screen-layout
// class (0 to 2) and the text buttons' width (64, or 68 or 70 for some
// languages). B = 24 is the button column's width and a button's height.

#include "map/map_view_model.h"

namespace map {

// kButtonColumn (24) is the model's, map_view_model.h.

// Control ids.
enum MapChildId : int {
    kPictureId = 114,
    kFlipId = 116,
    kExpandId = 117,
    kShrinkId = 118,
    kCenterId = 119,
    kZoomId = 120,
    kInfoBoxId = 122,
    kReplayId = 125,
    kGotoId = 126,
    kPickListId = 127,
    kBackId = 159,
    kAlarmAckId = 173,
    kCloseId = 174,
    kToolbarId = 261,
    kFlarmWindowId = 1300,
};

struct MapChildLayout {
    platform::PixelRect flip, expand, shrink, center, zoom, replay, toolbar;
    platform::PixelRect pickList, gotoList, back, alarmAck, close, infoBox, picture;
    int pictureFitWidth = 212;
    int pictureFitHeight = 180;
};

MapChildLayout LayMapChildren(int layoutClass, int textButtonWidth);

// The FLARM traffic window's side: 3/7 of the smaller client side.
int FlarmWindowSide(int clientWidth, int clientHeight);

}  // namespace map
