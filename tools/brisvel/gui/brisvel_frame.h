#pragma once
// Brisvel's main window: menu bar and toolbar 128, a status bar of four
// panes, the shape bar at the left and, for each open shapefile, a page
// with its two views side by side (": full map" and ": current object").
// Several shapefiles may be open; the shape bar works on the one opened
// last. Questions and dialogs of the documents are shown from here. UI
// thread.

#include <wx/frame.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/settings_store.h"
#include "tools/brisvel/gui/symbol_art.h"
#include "tools/brisvel/resources/ids/brisvel.h"
#include "tools/brisvel/shape_bar_model.h"
#include "tools/brisvel/shape_document.h"

class wxNotebook;
class wxSplitterWindow;

namespace brisvel {

class CShapeBar;
class CBrisvelView;

// Command ids of the File menu; its items carry WxIdFromCommand of them.
using xrc::brisvel::kFileClose;
using xrc::brisvel::kFileOpen;
using xrc::brisvel::kFileSave;
using xrc::brisvel::kFileSaveAs;

class CBrisvelMainFrame final : public wxFrame, private DocumentPrompts {
  public:
    CBrisvelMainFrame(platform::SettingsStore& store, std::vector<mapdata::UserSymbol> userSymbols);
    ~CBrisvelMainFrame() override;
    bool Loaded() const { return loaded_; }

    // Opens a shapefile as File Open does after its dialog.
    bool OpenShapefile(const std::filesystem::path& path);
    // Closes the document of the page shown (File Close).
    void CloseShown();
    // Save and Save As on the document of the page shown.
    void SaveShown(bool asNewName);

    // The dialogs of saving; tests replace them.
    std::function<std::optional<std::filesystem::path>()> chooseMapName;
    std::function<bool(core::GeoBox&, const core::GeoBox& fileBox)> chooseBounds;

    CShapeBar& Bar() { return *bar_; }
    ShapeBarModel& BarModel() { return model_; }
    std::size_t DocumentCount() const { return documents_.size(); }
    wxWindow* ShownPage() const;

  private:
    struct OpenDocument {
        std::unique_ptr<CShapeDocument> document;
        wxSplitterWindow* page = nullptr;
    };

    // DocumentPrompts.
    void Tell(std::string_view text, std::string_view caption) override;
    bool Ask(std::string_view text, std::string_view caption) override;
    std::optional<std::filesystem::path> AskMapName() override;
    bool AskBounds(core::GeoBox& bounds) override;

    void OnFileOpen(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnUpdateNeedsDocument(wxUpdateUIEvent& event);
    void ChooseFont();
    void RedrawViews();
    wxSplitterWindow* MakePage(const CShapeDocument& document);
    OpenDocument* Shown();
    void CloseDocumentAt(std::size_t index);

    platform::SettingsStore& store_;
    FrameBounds bounds_;
    SymbolArt art_;
    wxFont labelFont_;
    ShapeBarModel model_;
    CShapeBar* bar_ = nullptr;
    wxNotebook* pages_ = nullptr;
    std::vector<OpenDocument> documents_;
    const CShapeDocument* saving_ = nullptr;  // the document whose save asks for bounds
    bool loaded_ = false;
};

}  // namespace brisvel
