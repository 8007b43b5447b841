#pragma once
// The strings a waypoint may carry besides its name: a sound played when it
// becomes the destination, a picture, and a free comment.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace nav {

struct WaypointAttachments {
    // File names as written in the waypoint file: relative to the sound
    // folder unless they begin with '\' (see AttachmentPath). Empty: none.
    std::wstring sound;
    std::wstring image;
    // Free text; line breaks are stored as CR LF.
    std::wstring comment;
    // Where the record's comment line starts in the waypoint file; 0 when the
    // record has no comment line.
    std::uint64_t commentLineOffset = 0;

    void SetComment(std::wstring_view text) { comment.assign(text); }
    // Drops every string and the comment line offset.
    void Clear();
    bool HasStrings() const { return !sound.empty() || !image.empty() || !comment.empty(); }

    friend bool operator==(const WaypointAttachments&, const WaypointAttachments&) = default;
};

// The file an attachment name stands for. A name beginning with '\' (or '/')
// is a path of its own; when a drive letter and ':' follow the '\', the '\'
// is dropped (such names come from other systems and are not found here).
// Any other name is taken relative to the sound folder. Separators '\' become
// '/', and each component that does not exist as written is looked up
// ignoring case.
std::filesystem::path AttachmentPath(std::wstring_view name);

}  // namespace nav
