#include "core/waypoint_attachments.h"

#include "core/settings_values.h"
#include "platform/paths.h"
#include "platform/utf.h"

namespace nav {
namespace {

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

}  // namespace

void WaypointAttachments::Clear() {
    sound.clear();
    image.clear();
    comment.clear();
    commentLineOffset = 0;
}

std::filesystem::path AttachmentPath(std::wstring_view name) {
    std::wstring path;
    if (!name.empty() && (name.front() == L'\\' || name.front() == L'/')) {
        const bool drive = name.size() >= 3 && IsDriveLetter(name[1]) && name[2] == L':';
        path.assign(drive ? name.substr(1) : name);
    } else {
        path = core::g_soundFolder.Get();
        path += name;
    }
    return platform::ResolveDataFilePath(platform::ToUtf8(path));
}

}  // namespace nav
