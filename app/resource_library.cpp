#include "app/resource_library.h"

#include <array>
#include <string_view>

#include "platform/gui/resource_bundle.h"
#include "platform/message_box.h"
#include "platform/utf.h"

namespace app {
namespace {

void ShowStartUpError(std::wstring_view text) {
    platform::ShowMessageBox(nullptr, text, L"", platform::mb::kIconHand | platform::mb::kTopmost);
}

}  // namespace

std::optional<platform::DynamicLibrary> LoadResourceLibrary(const LibraryOpener& open) {
    constexpr std::array<std::string_view, 2> kNames{platform::gui::kAlternateResourceBundleFile,
                                                     platform::gui::kResourceBundleFile};
    for (const std::string_view name : kNames) {
        platform::DynamicLibrary library = open(std::string(name));
        if (!library.IsOpen()) {
            if (name == kNames.back()) {
                ShowStartUpError(L"Cannot find " + platform::FromUtf8(kNames.back()));
            }
            continue;
        }
        if (platform::gui::IsAcceptedBundleVersion(library.Version())) return library;
        library.Close();
        ShowStartUpError(platform::FromUtf8(name) + L" is corrupt or too old");
    }
    return std::nullopt;
}

std::optional<platform::DynamicLibrary> LoadResourceLibrary() {
    return LoadResourceLibrary(&platform::DynamicLibrary::OpenBesideExecutable);
}

}  // namespace app
