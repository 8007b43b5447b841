#include "tools/quorlin/threshold_fill.h"

#include <vector>

#include "platform/numbers.h"

namespace quorlin {
namespace {

std::uint32_t ColourNumber(const mapdata::RgbQuad& q) {
    return std::uint32_t{q.blue} << 16 | std::uint32_t{q.green} << 8 | q.red;
}

std::uint32_t Distance(std::uint32_t a, std::uint32_t b) { return a > b ? a - b : b - a; }

// A span-stack flood fill over the bitmap's rows (storage order: the fill
// does not care which way up the picture is).
class Filler {
  public:
    Filler(mapdata::CDib& dib, bool corners, std::uint8_t dark, std::uint8_t fill, QuorlinUi& ui)
        : bits_(dib.Bits()), stride_(static_cast<std::size_t>(dib.RowSize())), width_(dib.GetSize().width),
          height_(dib.GetSize().height), corners_(corners), dark_(dark), fill_(fill), ui_(ui) {}

    void Run() {
        for (int x = 0; x < width_; ++x) {
            Push(x, 0);
            Push(x, height_ - 1);
        }
        for (int y = 0; y < height_; ++y) {
            Push(0, y);
            Push(width_ - 1, y);
        }
        // Pixels that already carry the fill spread it as well.
        for (int y = 0; y < height_; ++y) {
            const std::uint8_t* row = Row(y);
            for (int x = 0; x < width_;) {
                if (row[x] != fill_) {
                    ++x;
                    continue;
                }
                int end = x;
                while (end < width_ && row[end] == fill_) ++end;
                PushNeighbours(x, end - 1, y);
                if (x > 0) Push(x - 1, y);
                if (end < width_) Push(end, y);
                x = end;
            }
        }
        Drain();
    }

  private:
    std::uint8_t* Row(int y) const { return bits_ + static_cast<std::size_t>(y) * stride_; }
    bool Open(int x, int y) const {
        const std::uint8_t v = Row(y)[x];
        return v != dark_ && v != fill_;
    }
    void Push(int x, int y) {
        if (Open(x, y)) stack_.push_back({x, y});
    }
    // The starts of the open runs next to the filled run left..right of row y.
    void PushNeighbours(int left, int right, int y) {
        const int from = corners_ ? std::max(left - 1, 0) : left;
        const int to = corners_ ? std::min(right + 1, width_ - 1) : right;
        for (int ny : {y - 1, y + 1}) {
            if (ny < 0 || ny >= height_) continue;
            bool inRun = false;
            for (int x = from; x <= to; ++x) {
                const bool open = Open(x, ny);
                if (open && !inRun) stack_.push_back({x, ny});
                inRun = open;
            }
        }
    }
    void Drain() {
        std::size_t filled = 0;
        const std::size_t pumpEvery = static_cast<std::size_t>(width_) * 100;
        while (!stack_.empty()) {
            const auto [x, y] = stack_.back();
            stack_.pop_back();
            if (!Open(x, y)) continue;
            std::uint8_t* row = Row(y);
            int left = x, right = x;
            while (left > 0 && Open(left - 1, y)) --left;
            while (right + 1 < width_ && Open(right + 1, y)) ++right;
            for (int i = left; i <= right; ++i) row[i] = fill_;
            PushNeighbours(left, right, y);
            filled += static_cast<std::size_t>(right - left + 1);
            if (filled >= pumpEvery) {
                filled = 0;
                ui_.Pump();
            }
        }
    }

    struct Seed {
        int x, y;
    };
    std::uint8_t* bits_;
    std::size_t stride_;
    int width_, height_;
    bool corners_;
    std::uint8_t dark_, fill_;
    QuorlinUi& ui_;
    std::vector<Seed> stack_;
};

}  // namespace

bool PreparePalettePicture(mapdata::CDib& dib) {
    if (dib.Empty() || dib.Header().bitCount != 8 || dib.ColourTable().empty()) return false;
    if (dib.Header().compression == mapdata::kBiRle8 && !dib.Compress(false)) return false;
    const auto size = dib.GetSize();
    return dib.Header().compression == mapdata::kBiRgb && size.width > 0 && size.height > 0 &&
           dib.GetPixelAddress(0, 0, false) && dib.GetPixelAddress(0, size.height - 1, false);
}

void PickThresholdColors(const mapdata::CDib& dib, ThresholdIndices& indices) {
    const std::vector<mapdata::RgbQuad>& palette = dib.ColourTable();
    if (palette.empty()) return;
    std::size_t darkest = 0, brightest = 0;
    for (std::size_t i = 1; i < palette.size(); ++i) {
        if (ColourNumber(palette[i]) < ColourNumber(palette[darkest])) darkest = i;
        if (ColourNumber(palette[i]) > ColourNumber(palette[brightest])) brightest = i;
    }
    const std::uint32_t dark = ColourNumber(palette[darkest]), bright = ColourNumber(palette[brightest]);
    constexpr std::uint32_t kLightGrey = 0xD0D0D0;
    const std::uint32_t target = dark >= kLightGrey || bright <= kLightGrey ? (dark + bright) / 2 : kLightGrey;
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < palette.size(); ++i) {
        if (Distance(ColourNumber(palette[i]), target) < Distance(ColourNumber(palette[nearest]), target)) nearest = i;
    }
    indices = {static_cast<std::uint8_t>(darkest), static_cast<std::uint8_t>(brightest),
               static_cast<std::uint8_t>(nearest)};
}

void FillThresholdBitmap(mapdata::CDib& dib, bool cornerContinuous, ThresholdIndices& indices, QuorlinUi& ui) {
    if (!PreparePalettePicture(dib)) return;
    PickThresholdColors(dib, indices);
    ui.Progress("Filling Bitmap");
    ui.Progress(platform::FormatC("Filling Bitmap Pass %d", 0));
    Filler(dib, cornerContinuous, indices.above, indices.missing, ui).Run();
    ui.Progress("");
}

}  // namespace quorlin
