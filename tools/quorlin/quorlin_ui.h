#pragma once
// What the converter's commands ask of the window around them: boxes and
// questions, the progress line and the event pump, the file, colour and
// number choosers, the corner entry, and enabling the dialog. The wx dialog
// implements it with real windows; tests script it. Every call is made on
// the UI thread.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "tools/quorlin/elevation_colors.h"

namespace quorlin {

enum class Icon { kStop, kExclamation, kInformation };

struct FileChoice {
    std::string filter;  // "Text|*.ext|...||" as the dialogs give it
    int filterIndex = 1;  // 1-based
    std::filesystem::path initial;
    std::string defaultExtension;  // ".bin"; empty for an open dialog
};
struct ChosenFile {
    std::filesystem::path path;
    int filterIndex = 1;
};

// A corner in degrees, longitude positive west.
struct Corner {
    double longitude = 0.0;
    double latitude = 0.0;
};

class QuorlinUi {
  public:
    virtual ~QuorlinUi() = default;
    // An OK box over the dialog, captioned with `caption`, or with the
    // program's name when that is empty.
    virtual void Message(std::string_view text, Icon icon, std::string_view caption = {}) = 0;
    // A Yes/No question with the exclamation icon; true for Yes.
    virtual bool Ask(std::string_view text, std::string_view title = {}) = 0;
    // The progress line (static 1017); empty clears it. A text is redrawn
    // at once, or within 40 ms when texts come faster than that.
    virtual void Progress(std::string_view text) = 0;
    // Lets pending window events run (repaints, a refused close request);
    // calls closer together than 10 ms may let nothing through.
    virtual void Pump() = 0;
    // The whole dialog taken out of or back into use.
    virtual void EnableDialog(bool enable) = 0;
    virtual std::optional<ChosenFile> ChooseOpenFile(const FileChoice& choice) = 0;
    virtual std::optional<ChosenFile> ChooseSaveFile(const FileChoice& choice) = 0;
    // The colour chooser, offering the last colour chosen.
    virtual std::optional<Bgr> ChooseColour() = 0;
    // The input form asking for one number; nothing on cancel.
    virtual std::optional<double> InputNumber(std::string_view prompt, double initial) = 0;
    // The input form asking for a latitude and longitude; nothing on cancel.
    virtual std::optional<Corner> InputCoordinates(std::string_view prompt, Corner initial) = 0;
    // The thresholds dialog; true when its OK stored new levels.
    virtual bool EditThresholds() = 0;
};

// The dialog out of use and the busy flag set for one operation. Nested
// scopes count: only the outermost enables the dialog again, so an inner
// writer never re-enables what its caller disabled.
class BusyScope {
  public:
    BusyScope(QuorlinUi& ui, int& busyCount) : ui_(ui), count_(busyCount) {
        if (count_++ == 0) ui_.EnableDialog(false);
    }
    ~BusyScope() {
        if (--count_ == 0) ui_.EnableDialog(true);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    QuorlinUi& ui_;
    int& count_;
};

}  // namespace quorlin
