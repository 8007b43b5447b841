#pragma once
// Sentences whose fields may be missing one by one: the text is split at
// each ',' and every field is read on its own, so an empty or unreadable
// field is absent without hiding the fields after it.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace gps {

class CommaFields {
  public:
    // At most kMaxFields fields are kept; later ones are absent.
    static constexpr std::size_t kMaxFields = 16;

    explicit CommaFields(std::string_view text);

    // "%f" on field `index`: the number at its start (ScanWireNumber).
    std::optional<float> Float(std::size_t index) const;
    // "%c" on field `index`: its first character.
    std::optional<char> Char(std::size_t index) const;

    std::size_t Size() const { return size_; }

  private:
    std::array<std::string_view, kMaxFields> fields_{};
    std::size_t size_ = 0;
};

}  // namespace gps
