#include "platform/gui/screenshot.h"

#include <cairo.h>
#include <wx/image.h>
#include <wx/window.h>

#include <chrono>
#include <cstdint>
#include <system_error>

#include "platform/dynamic_library.h"
#include "platform/gui/canvas_bitmap.h"
#include "platform/gui/event_pump.h"
#include "platform/gui/image_handlers.h"
#include "platform/image.h"

namespace platform::gui {
namespace {

// The GTK calls that draw a widget into a cairo context. wx on Linux runs
// on GTK 3, which is loaded with it; its widgets cross as opaque pointers.
struct GtkDrawing {
    using Draw = void (*)(void* widget, cairo_t* cairo);
    using Extent = int (*)(void* widget);

    DynamicLibrary gtk = DynamicLibrary::Open("libgtk-3.so.0");
    Draw draw = gtk.Symbol<Draw>("gtk_widget_draw");
    Extent width = gtk.Symbol<Extent>("gtk_widget_get_allocated_width");
    Extent height = gtk.Symbol<Extent>("gtk_widget_get_allocated_height");

    bool Usable() const { return draw != nullptr && width != nullptr && height != nullptr; }
};

}  // namespace

wxImage CaptureWindow(wxWindow& window) {
    static const GtkDrawing gtk;
    if (!gtk.Usable()) return {};

    if (!window.IsShown()) window.Show();
    void* widget = window.GetHandle();
    const auto laidOut = [&] {
        return window.IsShownOnScreen() && gtk.width(widget) > 1 && gtk.height(widget) > 1;
    };
    if (!ProcessEventsUntil(laidOut, std::chrono::seconds(2))) return {};
    ProcessEventsFor(std::chrono::milliseconds(50));

    Image image(gtk.width(widget), gtk.height(widget));
    if (image.Empty()) return {};
    cairo_t* cairo = cairo_create(image.Surface());
    cairo_set_source_rgb(cairo, 1, 1, 1);  // opaque under whatever is drawn
    cairo_paint(cairo);
    gtk.draw(widget, cairo);
    cairo_destroy(cairo);
    cairo_surface_flush(image.Surface());
    return ToWxImage(image);
}

bool SaveScreenshot(wxWindow& window, const std::filesystem::path& file) {
    EnsurePngHandler();
    const wxImage image = CaptureWindow(window);
    if (!image.IsOk()) return false;
    std::error_code error;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
    return image.SaveFile(wxString(file.native()), wxBITMAP_TYPE_PNG);
}

}  // namespace platform::gui
