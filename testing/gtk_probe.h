#pragma once
// Looks into GTK for what wx does not say, so that GUI tests do not depend
// on which window has the keyboard or lies under the pointer (the GUI tests
// run side by side on one display, without a window manager).

#include <wx/window.h>

#include <cstddef>

#include "platform/dynamic_library.h"

namespace test_support {

class GtkProbe {
  public:
    // Whether the window is the focus of its top-level window, whichever
    // top-level window has the keyboard.
    bool IsFocusInItsWindow(const wxWindow& window) const {
        return isFocus_(window.GetHandle()) != 0;
    }

    // Answers every visible native dialog (such as a wxMessageDialog) with a
    // GTK response id; returns how many there were.
    int RespondToDialogs(int response) const {
        int answered = 0;
        GList* windows = listToplevels_();
        for (GList* item = windows; item != nullptr; item = item->next) {
            if (isA_(item->data, dialogType_()) != 0 && isVisible_(item->data) != 0) {
                respond_(item->data, response);
                ++answered;
            }
        }
        listFree_(windows);
        return answered;
    }

    static constexpr int kResponseYes = -8;
    static constexpr int kResponseNo = -9;

  private:
    struct GList {
        void* data;
        GList* next;
        GList* prev;
    };
    using Type = std::size_t;

    platform::DynamicLibrary gtk_ = platform::DynamicLibrary::Open("libgtk-3.so.0");
    platform::DynamicLibrary gobject_ = platform::DynamicLibrary::Open("libgobject-2.0.so.0");
    platform::DynamicLibrary glib_ = platform::DynamicLibrary::Open("libglib-2.0.so.0");
    int (*isFocus_)(void*) = gtk_.Symbol<int (*)(void*)>("gtk_widget_is_focus");
    int (*isVisible_)(void*) = gtk_.Symbol<int (*)(void*)>("gtk_widget_get_visible");
    GList* (*listToplevels_)() = gtk_.Symbol<GList* (*)()>("gtk_window_list_toplevels");
    Type (*dialogType_)() = gtk_.Symbol<Type (*)()>("gtk_dialog_get_type");
    void (*respond_)(void*, int) = gtk_.Symbol<void (*)(void*, int)>("gtk_dialog_response");
    int (*isA_)(void*, Type) = gobject_.Symbol<int (*)(void*, Type)>("g_type_check_instance_is_a");
    void (*listFree_)(GList*) = glib_.Symbol<void (*)(GList*)>("g_list_free");
};

}  // namespace test_support
