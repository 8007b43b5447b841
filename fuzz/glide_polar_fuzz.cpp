// Reads arbitrary bytes as a polar file, fits what it finds and formats the
// report: nothing may crash, the report goes inside the file, and a fit that
// is accepted is a usable polar.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "glide/polar_file.h"
#include "platform/message_box.h"

namespace {

using fuzz::Check;

// Answers every box at once (the solver reports singular systems).
class QuietSink final : public platform::MessageBoxSink {
  public:
    int Show(void*, std::wstring_view, std::wstring_view, unsigned style) override {
        return platform::DefaultAnswer(style);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto sink = platform::SetMessageBoxSink(std::make_shared<QuietSink>());
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto contents = glide::ParsePolarFile(bytes);
    if (!contents) return 0;
    Check(contents->reportOffset <= size);
    Check(contents->unitSet >= 0 && contents->unitSet <= 2);
    Check(contents->weightExponent >= 0 && contents->weightExponent <= 2);
    const auto fit = glide::FitPolarContents(*contents, 43.0F);
    if (!fit) return 0;
    Check(std::isfinite(fit->a) && std::isfinite(fit->b) && fit->c > 0.0F && std::isfinite(fit->c));
    Check(std::isfinite(fit->bestGlideSpeed) && std::isfinite(fit->minimumSpeedSink));
    const std::string report = glide::FormatPolarReport(*fit, contents->unitSet);
    Check(report.ends_with("end results\r\n"));
    return 0;
}
