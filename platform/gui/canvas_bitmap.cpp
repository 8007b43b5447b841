#include "platform/gui/canvas_bitmap.h"

#include <wx/rawbmp.h>

#include <cstdint>

namespace platform::gui {

wxImage ToWxImage(const Image& pixels) {
    if (pixels.Empty()) return {};
    wxImage out(pixels.Width(), pixels.Height(), false);
    unsigned char* rgb = out.GetData();
    for (int y = 0; y < pixels.Height(); ++y) {
        const std::uint32_t* row = pixels.Row(y);
        for (int x = 0; x < pixels.Width(); ++x, rgb += 3) {
            rgb[0] = static_cast<unsigned char>(row[x] >> 16);
            rgb[1] = static_cast<unsigned char>(row[x] >> 8);
            rgb[2] = static_cast<unsigned char>(row[x]);
        }
    }
    return out;
}

bool CopyToBitmap(const Image& pixels, wxBitmap& bitmap) {
    if (pixels.Empty()) return false;
    if (!bitmap.IsOk() || bitmap.GetWidth() != pixels.Width() ||
        bitmap.GetHeight() != pixels.Height() || bitmap.GetDepth() != 24)
        bitmap = wxBitmap(pixels.Width(), pixels.Height(), 24);
    wxNativePixelData data(bitmap);
    if (!data) {
        bitmap = wxBitmap(ToWxImage(pixels));
        return bitmap.IsOk();
    }
    wxNativePixelData::Iterator rowStart(data);
    for (int y = 0; y < pixels.Height(); ++y) {
        const std::uint32_t* row = pixels.Row(y);
        wxNativePixelData::Iterator at = rowStart;
        for (int x = 0; x < pixels.Width(); ++x, ++at) {
            at.Red() = static_cast<unsigned char>(row[x] >> 16);
            at.Green() = static_cast<unsigned char>(row[x] >> 8);
            at.Blue() = static_cast<unsigned char>(row[x]);
        }
        rowStart.OffsetY(data, 1);
    }
    return true;
}

bool CopyFinished(const CanvasHandover& handover, wxBitmap& bitmap) {
    bool copied = false;
    handover.Read([&](const Image& pixels) { copied = CopyToBitmap(pixels, bitmap); });
    return copied;
}

}  // namespace platform::gui
