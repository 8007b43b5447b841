#pragma once
// Cuts the text received from the GPS port into sentences.
//
// A sentence starts at '$' (or '!') and ends at LF, with or without a CR
// before it (handed on as it came); bytes between sentences are skipped. A
// '!'-started sentence is handed on as '$' and three zero bytes followed by
// the rest, which is how the classifier tells it apart. Only 251 bytes
// before the line end (a CR before the LF not counted) fit: a longer
// sentence is dropped whole and the next one is handled normally. A '$'
// inside a sentence is kept as text: a line cut short by a lost byte runs
// into the next sentence and is then refused by its checksum.
//
// The buffer is fixed; nothing is allocated per byte or per sentence.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace gps {

class LineAssembler {
  public:
    static constexpr std::size_t kBufferSize = 256;
    // Bytes are stored only below this index; a sentence that reaches it is
    // too long. A CR before the LF does not count.
    static constexpr std::size_t kFillLimit = 252;

    // Takes received bytes, calling onLine(std::span<char>) for each
    // complete sentence in order. The span runs from the '$' to the LF; a
    // zero byte follows it in the buffer. It may be changed in place and is
    // valid during the call.
    template <typename OnLine>
    void Push(std::span<const std::uint8_t> bytes, OnLine&& onLine) {
        for (const std::uint8_t byte : bytes) {
            if (Take(byte)) onLine(std::span<char>(buffer_.data(), length_));
        }
    }

  private:
    // True when byte completed a sentence of length_ bytes.
    bool Take(std::uint8_t byte);
    void Store(std::uint8_t byte);

    std::array<char, kBufferSize> buffer_{};
    std::size_t write_ = 0;
    std::size_t length_ = 0;
    bool collecting_ = false;
    bool pendingCr_ = false;  // the last byte was a CR, not yet stored
};

}  // namespace gps
