#pragma once
// The resource bundle: the flight computer's string table, dialogs, menu
// bar, toolbar and images, in the shared object "KOR_VANresDLL.dll" beside
// the program (bundle_entry_points.h).
//
// Start-up opens the library, checks its version and wraps it in a
// ResourceBundle; a ResourceBundleInstallation then makes it the bundle
// that every string, dialog and image comes from, for as long as the
// installation lives. Strings come from any thread through BundleString,
// which is also what core::SetStringProvider takes.

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/string.h>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/dynamic_library.h"
#include "platform/image.h"
#include "platform/gui/bundle_entry_points.h"

class wxArtProvider;

namespace platform::gui {

inline constexpr char kResourceBundleFile[] = "KOR_VANresDLL.dll";
inline constexpr char kAlternateResourceBundleFile[] = "KOR^VANresDLL.dll";

// The version a bundle must have: 1.3.3, with any revision. A library
// without a version is not accepted.
bool IsAcceptedBundleVersion(const std::optional<ModuleVersion>& version);

class ResourceBundle {
  public:
    // Takes over an opened library. Entry points it lacks give nothing.
    explicit ResourceBundle(DynamicLibrary library);
    // Resources linked into the program itself (the converters'): the same
    // entry points, called directly. It has no version.
    ResourceBundle(ResourceXrcFunction xrc, ResourceStringFunction string,
                   ResourceImageFunction image);

    // Nothing for a library without a version.
    std::optional<ModuleVersion> Version() const { return library_.Version(); }

    // String-table entry id; empty when there is none. Any thread.
    std::wstring String(unsigned id) const;
    // The XRC document (UTF-8); empty when there is none. Any thread.
    std::string_view Xrc() const;
    // The PNG bytes of image id; empty when there is none. Any thread.
    std::span<const unsigned char> ImageData(unsigned id) const;

    // Image id decoded; invalid when absent or unreadable. UI thread.
    wxImage Image(unsigned id) const;
    wxBitmap Bitmap(unsigned id) const;
    wxIcon Icon(unsigned id) const;

  private:
    DynamicLibrary library_;
    ResourceXrcFunction xrc_ = nullptr;
    ResourceStringFunction string_ = nullptr;
    ResourceImageFunction image_ = nullptr;
};

// Makes a bundle the installed one (UI thread, once the wx application
// exists): BundleString answers from it, its XRC is loaded into
// wxXmlResource::Get() (object names are ids: XRCID("130") is 130, and
// commands get their wx ids, command_ids.h), and XRC bitmaps with stock_id
// "kv-image-<id>" are its images. The destructor undoes all of it but the
// command ids, which stay registered.
class ResourceBundleInstallation {
  public:
    explicit ResourceBundleInstallation(std::shared_ptr<const ResourceBundle> bundle);
    ~ResourceBundleInstallation();
    ResourceBundleInstallation(const ResourceBundleInstallation&) = delete;
    ResourceBundleInstallation& operator=(const ResourceBundleInstallation&) = delete;

    // False when the bundle has no XRC or it could not be read.
    bool XrcLoaded() const { return xrcLoaded_; }

  private:
    std::shared_ptr<const ResourceBundle> bundle_;
    std::shared_ptr<const ResourceBundle> previous_;
    wxArtProvider* artProvider_ = nullptr;  // owned by wx while pushed
    wxString xrcName_;
    bool xrcLoaded_ = false;
};

// The installed bundle; null when none. Any thread.
std::shared_ptr<const ResourceBundle> InstalledBundle();

// String id of the installed bundle; empty when none is installed or it has
// no such string. Any thread. Start-up hands it to core:
//     core::SetStringProvider(&platform::gui::BundleString);
std::wstring BundleString(unsigned id);

// Image id of the installed bundle decoded without wx (for drawing on our
// own canvases); empty when none is installed or it has no such image. Any
// thread.
Image BundleImage(unsigned id);

}  // namespace platform::gui
