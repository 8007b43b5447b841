#pragma once
// A folder of a test's own under the system's temporary folder, removed with
// everything in it when the object goes. Its name holds the process id and a
// random part, so tests that run side by side never share one.

#include <filesystem>
#include <string_view>

namespace test_support {

class ScratchFolder {
  public:
    // Creates <temp>/<prefix>-<pid>-XXXXXX; throws std::runtime_error when
    // it cannot.
    explicit ScratchFolder(std::string_view prefix = "kv");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

    // Writes a file of the given bytes (its folders made as needed).
    std::filesystem::path Write(const std::filesystem::path& name, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};

}  // namespace test_support
