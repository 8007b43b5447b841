#include "platform/gui/image_handlers.h"

#include <wx/image.h>

namespace platform::gui {

void EnsurePngHandler() {
    // wx takes ownership of the handler.
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
}

}  // namespace platform::gui
