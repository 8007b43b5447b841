#include "platform/gui/resource_bundle.h"

#include <wx/artprov.h>
#include <wx/mstream.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include <charconv>
#include <mutex>
#include <utility>

#include "platform/gui/command_ids.h"
#include "platform/gui/image_handlers.h"

namespace platform::gui {
namespace {

std::mutex g_installedMutex;
std::shared_ptr<const ResourceBundle> g_installed;

std::shared_ptr<const ResourceBundle> ExchangeInstalled(
    std::shared_ptr<const ResourceBundle> bundle) {
    std::lock_guard lock(g_installedMutex);
    return std::exchange(g_installed, std::move(bundle));
}

// The image id in a stock id "kv-image-<id>".
std::optional<unsigned> ImageIdOf(const wxArtID& stockId) {
    const std::string text = stockId.ToStdString();
    const std::string_view prefix = kImageStockPrefix;
    if (!text.starts_with(prefix)) return std::nullopt;
    unsigned id = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data() + prefix.size(), end, id);
    if (error != std::errc() || ptr != end) return std::nullopt;
    return id;
}

// Serves the bundle's images to XRC bitmaps and anyone asking wxArtProvider.
class BundleArtProvider final : public wxArtProvider {
  public:
    explicit BundleArtProvider(std::shared_ptr<const ResourceBundle> bundle)
        : bundle_(std::move(bundle)) {}

  protected:
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient& /*client*/,
                          const wxSize& size) override {
        const auto imageId = ImageIdOf(id);
        if (!imageId) return wxNullBitmap;
        wxImage image = bundle_->Image(*imageId);
        if (!image.IsOk()) return wxNullBitmap;
        if (size.IsFullySpecified() && size != image.GetSize())
            image.Rescale(size.x, size.y, wxIMAGE_QUALITY_HIGH);
        return wxBitmap(image);
    }

  private:
    std::shared_ptr<const ResourceBundle> bundle_;
};

// Registers the wx ids of the commands that the XRC names by number
// (command_ids.h), before anything asks for them.
void RegisterCommandIds(const wxXmlNode* node) {
    for (; node != nullptr; node = node->GetNext()) {
        if (node->GetType() == wxXML_ELEMENT_NODE && node->GetName() == "object") {
            const wxString name = node->GetAttribute("name");
            long number = 0;
            if (name.ToLong(&number) && number >= kFirstMovedCommand && number <= kLastMovedCommand)
                wxXmlResource::GetXRCID(name, WxIdFromCommand(static_cast<int>(number)));
        }
        RegisterCommandIds(node->GetChildren());
    }
}

void EnsureXrcHandlers() {
    static bool initialised = false;
    if (initialised) return;
    wxXmlResource::Get()->InitAllHandlers();
    initialised = true;
}

wxString XrcDocumentName() {
    static unsigned count = 0;
    return wxString::Format("KOR_VANresDLL.xrc#%u", ++count);
}

}  // namespace

bool IsAcceptedBundleVersion(const std::optional<ModuleVersion>& version) {
    return version && version->major == 1 && version->minor == 3 && version->build == 3;
}

ResourceBundle::ResourceBundle(DynamicLibrary library)
    : library_(std::move(library)),
      xrc_(library_.Symbol<ResourceXrcFunction>(kResourceXrcSymbol)),
      string_(library_.Symbol<ResourceStringFunction>(kResourceStringSymbol)),
      image_(library_.Symbol<ResourceImageFunction>(kResourceImageSymbol)) {}

ResourceBundle::ResourceBundle(ResourceXrcFunction xrc, ResourceStringFunction string,
                               ResourceImageFunction image)
    : xrc_(xrc), string_(string), image_(image) {}

std::wstring ResourceBundle::String(unsigned id) const {
    const wchar_t* text = string_ != nullptr ? string_(id) : nullptr;
    return text != nullptr ? std::wstring(text) : std::wstring();
}

std::string_view ResourceBundle::Xrc() const {
    std::size_t length = 0;
    const char* text = xrc_ != nullptr ? xrc_(&length) : nullptr;
    return text != nullptr ? std::string_view(text, length) : std::string_view();
}

std::span<const unsigned char> ResourceBundle::ImageData(unsigned id) const {
    std::size_t length = 0;
    const unsigned char* bytes = image_ != nullptr ? image_(id, &length) : nullptr;
    if (bytes == nullptr) return {};
    return {bytes, length};
}

wxImage ResourceBundle::Image(unsigned id) const {
    const auto bytes = ImageData(id);
    if (bytes.empty()) return {};
    EnsurePngHandler();
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    wxImage image;
    if (!image.LoadFile(stream, wxBITMAP_TYPE_PNG)) return {};
    return image;
}

wxBitmap ResourceBundle::Bitmap(unsigned id) const {
    const wxImage image = Image(id);
    return image.IsOk() ? wxBitmap(image) : wxNullBitmap;
}

wxIcon ResourceBundle::Icon(unsigned id) const {
    wxIcon icon;
    const wxBitmap bitmap = Bitmap(id);
    if (bitmap.IsOk()) icon.CopyFromBitmap(bitmap);
    return icon;
}

ResourceBundleInstallation::ResourceBundleInstallation(std::shared_ptr<const ResourceBundle> bundle)
    : bundle_(std::move(bundle)), previous_(ExchangeInstalled(bundle_)) {
    if (bundle_ == nullptr) return;
    auto provider = std::make_unique<BundleArtProvider>(bundle_);
    artProvider_ = provider.get();
    wxArtProvider::Push(provider.release());

    const std::string_view xrc = bundle_->Xrc();
    if (xrc.empty()) return;
    EnsureXrcHandlers();
    wxMemoryInputStream stream(xrc.data(), xrc.size());
    auto document = std::make_unique<wxXmlDocument>();
    if (!document->Load(stream) || !document->IsOk()) return;
    RegisterCommandIds(document->GetRoot());
    xrcName_ = XrcDocumentName();
    xrcLoaded_ = wxXmlResource::Get()->LoadDocument(document.release(), xrcName_);
}

ResourceBundleInstallation::~ResourceBundleInstallation() {
    if (xrcLoaded_) wxXmlResource::Get()->Unload(xrcName_);
    if (artProvider_ != nullptr) wxArtProvider::Delete(artProvider_);
    ExchangeInstalled(std::move(previous_));
}

std::shared_ptr<const ResourceBundle> InstalledBundle() {
    std::lock_guard lock(g_installedMutex);
    return g_installed;
}

Image BundleImage(unsigned id) {
    const auto bundle = InstalledBundle();
    return bundle != nullptr ? Image::FromPng(bundle->ImageData(id)) : Image();
}

std::wstring BundleString(unsigned id) {
    const auto bundle = InstalledBundle();
    return bundle != nullptr ? bundle->String(id) : std::wstring();
}

}  // namespace platform::gui
