#include "testing/scratch_folder.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace test_support {

ScratchFolder::ScratchFolder(std::string_view prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() /
                           (std::string(prefix) + "-" + std::to_string(::getpid()) + "-XXXXXX"))
                              .string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch folder " + pattern);
    }
    path_ = pattern;
}

std::filesystem::path ScratchFolder::Write(const std::filesystem::path& name,
                                           std::string_view bytes) const {
    const std::filesystem::path file = path_ / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    // Files a test made read-only or unreadable must go too.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace test_support
