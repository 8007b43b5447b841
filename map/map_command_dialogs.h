#pragma once
// The dialogs of the map's file commands (export binary map, export bitmap,
// overlay file), as an interface: the frame gives the real ones (file
// dialogs, the export options dialog, the modal-dialog flag) and tests give
// fakes that answer. Message boxes go through platform::ShowMessageBox.
// UI thread only.

#include <optional>
#include <string>

namespace map {

// A file dialog as the commands describe it. The filter is in the
// "Name|*.a;*.b|Name|*.c||" form; filter indexes are 1-based.
struct FileDialogRequest {
    std::wstring title;
    std::wstring defaultExtension;  // without the '.'
    std::wstring filter;
    std::wstring folder;    // where it starts
    std::wstring fileName;  // suggested (a whole path or a name)
    int filterIndex = 1;
};

struct FileDialogAnswer {
    std::wstring path;
    int filterIndex = 1;
};

struct ExportOptions {
    float scale = 2.0F;
    bool eightBit = false;
};

class MapCommandDialogs {
  public:
    virtual ~MapCommandDialogs() = default;
    // Nothing when cancelled.
    virtual std::optional<FileDialogAnswer> Save(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogAnswer> Open(const FileDialogRequest& request) = 0;
    // The export options dialog filled from "Settings\MapExport"; after OK
    // the values are stored back and returned.
    virtual std::optional<ExportOptions> AskExportOptions() = 0;
    // A command's dialog is open (the views ignore taps meanwhile).
    virtual void SetModal(bool open) = 0;
    // The display's bits per pixel.
    virtual int DisplayDepth() const = 0;
};

}  // namespace map
