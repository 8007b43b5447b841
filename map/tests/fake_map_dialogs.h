#pragma once
// Dialogs of the map's file commands that answer from queues and record
// what they were asked, with the modal flag's state at each question.

#include <deque>
#include <optional>
#include <vector>

#include "map/map_command_dialogs.h"

namespace map::testing {

class FakeMapDialogs final : public MapCommandDialogs {
  public:
    std::optional<FileDialogAnswer> Save(const FileDialogRequest& request) override {
        return Next(request, saves);
    }
    std::optional<FileDialogAnswer> Open(const FileDialogRequest& request) override {
        return Next(request, opens);
    }
    std::optional<ExportOptions> AskExportOptions() override {
        modalWhenAsked.push_back(modal);
        return options;
    }
    void SetModal(bool open) override { modal = open; }
    int DisplayDepth() const override { return depth; }

    // The answers in turn; Cancel once they run out.
    std::deque<std::optional<FileDialogAnswer>> answers;
    std::optional<ExportOptions> options = ExportOptions{};
    int depth = 24;
    bool modal = false;
    std::vector<FileDialogRequest> saves;
    std::vector<FileDialogRequest> opens;
    std::vector<bool> modalWhenAsked;

  private:
    std::optional<FileDialogAnswer> Next(const FileDialogRequest& request,
                                         std::vector<FileDialogRequest>& log) {
        log.push_back(request);
        modalWhenAsked.push_back(modal);
        if (answers.empty()) return std::nullopt;
        std::optional<FileDialogAnswer> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace map::testing
