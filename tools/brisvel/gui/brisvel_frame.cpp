#include "tools/brisvel/gui/brisvel_frame.h"

#include <wx/font.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <string>

#include "platform/gui/command_ids.h"
#include "platform/gui/file_dialog.h"
#include "platform/gui/font_dialog.h"
#include "platform/gui/screen_fit.h"
#include "platform/message_box.h"
#include "platform/utf.h"
#include "tools/brisvel/brisvel_settings.h"
#include "tools/brisvel/gui/brisvel_view.h"
#include "tools/brisvel/gui/set_bounds_dialog.h"
#include "tools/brisvel/gui/shape_bar.h"

namespace brisvel {
namespace {

constexpr char kShapeFilter[] = "ESRI shapefiles (*.shp)|*.shp|All files       (*)|*";
constexpr char kMapFilter[] = "KOR_VAN WinCE maps (*.map)|*.map|All files       (*)|*";

// A view under its title.
wxWindow* TitledView(wxWindow* parent, const CShapeDocument& document, CBrisvelView::Mode mode,
                     const SymbolArt& art, const wxFont& font) {
    auto* panel = new wxPanel(parent);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    const char* suffix = mode == CBrisvelView::Mode::kFullMap ? ": full map" : ": current object";
    sizer->Add(new wxStaticText(panel, wxID_ANY, wxString::FromUTF8(document.FileName() + suffix)), 0, wxALL, 3);
    sizer->Add(new CBrisvelView(panel, document, mode, art, font), 1, wxEXPAND);
    panel->SetSizer(sizer);
    return panel;
}

}  // namespace

CBrisvelMainFrame::CBrisvelMainFrame(platform::SettingsStore& store, std::vector<mapdata::UserSymbol> userSymbols)
    : wxFrame(nullptr, wxID_ANY, "Brisvel", wxDefaultPosition, wxSize(1000, 640)),
      store_(store),
      bounds_{LoadBounds(store), &store},
      art_(userSymbols),
      labelFont_(wxFontInfo(9)),
      model_(*this, art_.UserCount()) {
    wxMenuBar* menus = wxXmlResource::Get()->LoadMenuBar(std::to_string(xrc::brisvel::kMainWindow));
    wxToolBar* tools =
        wxXmlResource::Get()->LoadToolBar(this, std::to_string(xrc::brisvel::kMainWindow));
    if (!menus || !tools) return;
    SetMenuBar(menus);
    SetToolBar(tools);
    CreateStatusBar(4);
    auto* sizer = new wxBoxSizer(wxHORIZONTAL);
    bar_ = new CShapeBar(this, model_, art_, [this] { ChooseFont(); });
    if (!bar_->Loaded()) return;
    pages_ = new wxNotebook(this, wxID_ANY);
    sizer->Add(bar_, 0, wxEXPAND | wxALL, 2);
    sizer->Add(pages_, 1, wxEXPAND);
    SetSizer(sizer);
    model_.SetRedraw([this] { RedrawViews(); });
    // The menu and toolbar items carry the toolkit's ids of the commands.
    using platform::gui::WxIdFromCommand;
    Bind(wxEVT_MENU, &CBrisvelMainFrame::OnFileOpen, this, WxIdFromCommand(kFileOpen));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { CloseShown(); }, WxIdFromCommand(kFileClose));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { SaveShown(false); }, WxIdFromCommand(kFileSave));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { SaveShown(true); }, WxIdFromCommand(kFileSaveAs));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { Close(); }, wxID_EXIT);
    for (const int id : {kFileClose, kFileSave, kFileSaveAs})
        Bind(wxEVT_UPDATE_UI, &CBrisvelMainFrame::OnUpdateNeedsDocument, this, WxIdFromCommand(id));
    Bind(wxEVT_CLOSE_WINDOW, &CBrisvelMainFrame::OnClose, this);
    // The size above where the screen has room; a smaller screen's work
    // area, measured once the window stands with its bars.
    CallAfter([this] { platform::gui::FitOnScreen(*this); });
    loaded_ = true;
}

CBrisvelMainFrame::~CBrisvelMainFrame() = default;

void CBrisvelMainFrame::Tell(std::string_view text, std::string_view caption) {
    platform::ShowMessageBox(this, platform::FromUtf8(text), platform::FromUtf8(caption),
                             platform::mb::kOk | platform::mb::kIconExclamation);
}

bool CBrisvelMainFrame::Ask(std::string_view text, std::string_view caption) {
    return platform::ShowMessageBox(this, platform::FromUtf8(text), platform::FromUtf8(caption),
                                    platform::mb::kYesNo | platform::mb::kIconQuestion) == platform::kIdYes;
}

std::optional<std::filesystem::path> CBrisvelMainFrame::AskMapName() {
    if (chooseMapName) return chooseMapName();
    platform::gui::FileDialogRequest dialog;
    dialog.title = "Save map as";
    dialog.wildcard = kMapFilter;
    dialog.save = true;
    dialog.overwritePrompt = false;
    const auto answer = platform::gui::ShowFileDialog(this, dialog);
    if (!answer) return std::nullopt;
    std::filesystem::path path = answer->path;
    if (!path.has_extension() && answer->filterIndex == 0) path += ".map";
    return path;
}

bool CBrisvelMainFrame::AskBounds(core::GeoBox& bounds) {
    core::GeoBox box = kUnsetBounds;
    if (const CShapeDocument* document = saving_ ? saving_ : model_.Document()) box = document->FileBox();
    if (chooseBounds) return chooseBounds(bounds, box);
    CSetBoundsDlg dialog(this, bounds, box);
    if (!dialog.Loaded() || platform::gui::ShowModalOnScreen(dialog) != wxID_OK) return false;
    bounds = dialog.Result();
    return true;
}

bool CBrisvelMainFrame::OpenShapefile(const std::filesystem::path& path) {
    auto document = std::make_unique<CShapeDocument>(bounds_, static_cast<DocumentPrompts&>(*this));
    if (!model_.OpenDocument(*document, path)) return false;
    wxSplitterWindow* page = MakePage(*document);
    documents_.push_back({std::move(document), page});
    pages_->AddPage(page, wxString::FromUTF8(documents_.back().document->FileName()), true);
    bar_->ShowModel();
    return true;
}

wxSplitterWindow* CBrisvelMainFrame::MakePage(const CShapeDocument& document) {
    auto* page = new wxSplitterWindow(pages_, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_LIVE_UPDATE);
    page->SetMinimumPaneSize(50);
    page->SetSashGravity(0.5);
    page->SplitVertically(TitledView(page, document, CBrisvelView::Mode::kFullMap, art_, labelFont_),
                          TitledView(page, document, CBrisvelView::Mode::kCurrentObject, art_, labelFont_));
    return page;
}

void CBrisvelMainFrame::OnFileOpen(wxCommandEvent& /*event*/) {
    platform::gui::FileDialogRequest dialog;
    dialog.title = "Open shapefile";
    dialog.folder = LoadShapeFolder(store_);
    dialog.wildcard = kShapeFilter;
    const auto answer = platform::gui::ShowFileDialog(this, dialog);
    if (!answer) return;
    const std::filesystem::path& path = answer->path;
    SaveShapeFolder(store_, path.parent_path());
    OpenShapefile(path);
}

wxWindow* CBrisvelMainFrame::ShownPage() const {
    return pages_ ? pages_->GetCurrentPage() : nullptr;
}

CBrisvelMainFrame::OpenDocument* CBrisvelMainFrame::Shown() {
    wxWindow* page = ShownPage();
    const auto found = std::ranges::find(documents_, page, &OpenDocument::page);
    return found == documents_.end() || !page ? nullptr : &*found;
}

void CBrisvelMainFrame::CloseDocumentAt(std::size_t index) {
    OpenDocument entry = std::move(documents_[index]);
    documents_.erase(documents_.begin() + static_cast<std::ptrdiff_t>(index));
    saving_ = entry.document.get();
    model_.CloseDocument(*entry.document);
    saving_ = nullptr;
    const int page = pages_->FindPage(entry.page);
    if (page != wxNOT_FOUND) pages_->DeletePage(static_cast<std::size_t>(page));
    bar_->ShowModel();
}

void CBrisvelMainFrame::CloseShown() {
    if (OpenDocument* shown = Shown()) CloseDocumentAt(static_cast<std::size_t>(shown - documents_.data()));
}

void CBrisvelMainFrame::SaveShown(bool asNewName) {
    OpenDocument* shown = Shown();
    if (!shown) return;
    saving_ = shown->document.get();
    if (asNewName) {
        if (const auto name = AskMapName()) shown->document->SaveMapFile(*name);
    } else {
        shown->document->SaveMapFile(std::nullopt);
    }
    saving_ = nullptr;
}

void CBrisvelMainFrame::OnUpdateNeedsDocument(wxUpdateUIEvent& event) {
    event.Enable(Shown() != nullptr);
}

void CBrisvelMainFrame::OnClose(wxCloseEvent& /*event*/) {
    while (!documents_.empty()) CloseDocumentAt(documents_.size() - 1);
    Destroy();
}

void CBrisvelMainFrame::ChooseFont() {
    const auto chosen = platform::gui::ChooseFont(this, labelFont_, "Label font");
    if (!chosen) return;
    labelFont_ = *chosen;
    RedrawViews();
}

void CBrisvelMainFrame::RedrawViews() {
    for (const OpenDocument& entry : documents_) entry.page->Refresh();
}

}  // namespace brisvel
