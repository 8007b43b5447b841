#include "platform/settings_store.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <utility>

#include "platform/paths.h"
#include "platform/settings_file.h"
#include "platform/utf.h"
#include "platform/whole_file.h"

namespace platform {
namespace {

// A settings file is small; anything larger is not one of ours.
constexpr std::size_t kMaxFileSize = std::size_t{16} << 20;

}  // namespace

struct SettingsStore::Impl {
    explicit Impl(std::filesystem::path path) : file(std::move(path)) {}

    void Load();
    void KeepAside(SettingsLoadProblem found);
    std::optional<SettingValue> Find(std::string_view section, std::string_view name) const;
    // Applies `change` (which says whether it changed anything) and saves.
    template <typename Change>
    bool Update(Change change);
    bool Save(const std::string& text, std::uint64_t generation);
    bool Put(std::string_view section, std::string_view name, SettingValue value);
    bool Remove(std::string_view section, std::string_view name);

    const std::filesystem::path file;  // empty: memory only
    std::optional<SettingsLoadProblem> problem;
    bool memoryOnly = false;  // set at load: the file is never written

    mutable std::mutex dataMutex;
    SettingsSections sections;     // guarded by dataMutex
    std::uint64_t generation = 0;  // changes so far; guarded by dataMutex

    // Saving runs outside dataMutex, so readers never wait for the disk.
    // A save skips a snapshot older than one already on the disk.
    std::mutex diskMutex;
    std::atomic<std::uint64_t> savedGeneration{0};
};

void SettingsStore::Impl::Load() {
    RemoveStaleTemporaries(file);
    std::string text;
    const std::error_code error = ReadWholeFile(file, text, kMaxFileSize);
    if (error == std::errc::no_such_file_or_directory) return;
    SettingsLoadProblem found;
    if (error == std::errc::file_too_large) {
        found.kind = SettingsLoadProblem::Kind::kTooLarge;
        KeepAside(std::move(found));
        return;
    }
    if (error) {
        // Never written over: it may hold every value the user set.
        found.kind = SettingsLoadProblem::Kind::kUnreadable;
        found.error = error;
        problem = std::move(found);
        memoryOnly = true;
        return;
    }
    SettingsParseResult parsed = ParseSettingsFile(text);
    if (parsed.sections) {
        sections = std::move(*parsed.sections);
    } else {
        found.kind = SettingsLoadProblem::Kind::kNotSettings;
        found.errorLine = parsed.errorLine;
        KeepAside(std::move(found));
    }
}

void SettingsStore::Impl::KeepAside(SettingsLoadProblem found) {
    found.keepAsideError = RenameAside(file, "broken", found.keptAs);
    // A file that stays where it is is not written over either.
    memoryOnly = static_cast<bool>(found.keepAsideError);
    problem = std::move(found);
}

std::optional<SettingValue> SettingsStore::Impl::Find(std::string_view section,
                                                      std::string_view name) const {
    const std::lock_guard lock(dataMutex);
    const auto values = sections.find(section);
    if (values == sections.end()) return std::nullopt;
    const auto value = values->second.find(name);
    if (value == values->second.end()) return std::nullopt;
    return value->second;
}

template <typename Change>
bool SettingsStore::Impl::Update(Change change) {
    std::string text;
    std::uint64_t snapshot = 0;
    {
        const std::lock_guard lock(dataMutex);
        const bool changed = change();
        if (!changed && generation == savedGeneration.load()) return true;
        if (changed) ++generation;
        if (file.empty() || memoryOnly) {
            savedGeneration = generation;
            return true;
        }
        text = FormatSettingsFile(sections);
        snapshot = generation;
    }
    return Save(text, snapshot);
}

bool SettingsStore::Impl::Save(const std::string& text, std::uint64_t snapshot) {
    const std::lock_guard lock(diskMutex);
    if (snapshot <= savedGeneration.load()) return true;  // a newer text is on the disk
    if (ReplaceWholeFile(file, text)) return false;
    savedGeneration = snapshot;
    return true;
}

bool SettingsStore::Impl::Put(std::string_view section, std::string_view name, SettingValue value) {
    return Update([&] {
        auto values = sections.find(section);
        if (values == sections.end()) values = sections.emplace(section, SettingsSection{}).first;
        const auto old = values->second.find(name);
        if (old == values->second.end()) {
            values->second.emplace(name, std::move(value));
        } else if (old->second != value) {
            old->second = std::move(value);
        } else {
            return false;
        }
        return true;
    });
}

bool SettingsStore::Impl::Remove(std::string_view section, std::string_view name) {
    return Update([&] {
        const auto values = sections.find(section);
        if (values == sections.end()) return false;
        const auto value = values->second.find(name);
        if (value == values->second.end()) return false;
        values->second.erase(value);
        if (values->second.empty()) sections.erase(values);
        return true;
    });
}

SettingsStore::SettingsStore(std::filesystem::path file)
    : impl_(std::make_unique<Impl>(std::move(file))) {
    if (!impl_->file.empty()) impl_->Load();
}

SettingsStore::~SettingsStore() = default;

std::filesystem::path SettingsStore::DefaultPath(std::string_view applicationName) {
    return ConfigFolder() / "Tarnwell Software" / applicationName;
}

const std::filesystem::path& SettingsStore::Path() const {
    return impl_->file;
}

const std::optional<SettingsLoadProblem>& SettingsStore::LoadProblem() const {
    return impl_->problem;
}

bool SettingsStore::SavesToDisk() const {
    return !impl_->file.empty() && !impl_->memoryOnly;
}

std::optional<SettingValue> SettingsStore::Get(std::string_view section,
                                               std::string_view name) const {
    return impl_->Find(section, name);
}

std::uint32_t SettingsStore::GetInt(std::string_view section, std::string_view name,
                                    std::uint32_t defaultValue) const {
    const auto value = Get(section, name);
    const auto* number = value ? std::get_if<std::uint32_t>(&*value) : nullptr;
    return number != nullptr ? *number : defaultValue;
}

std::string SettingsStore::GetString(std::string_view section, std::string_view name,
                                     std::string_view defaultValue) const {
    auto value = Get(section, name);
    auto* text = value ? std::get_if<std::string>(&*value) : nullptr;
    return text != nullptr ? std::move(*text) : std::string(defaultValue);
}

std::wstring SettingsStore::GetString(std::string_view section, std::string_view name,
                                      std::wstring_view defaultValue) const {
    const auto value = Get(section, name);
    const auto* text = value ? std::get_if<std::string>(&*value) : nullptr;
    return text != nullptr ? FromUtf8(*text) : std::wstring(defaultValue);
}

std::optional<std::vector<std::uint8_t>> SettingsStore::GetBinary(std::string_view section,
                                                                  std::string_view name) const {
    auto value = Get(section, name);
    auto* bytes = value ? std::get_if<std::vector<std::uint8_t>>(&*value) : nullptr;
    if (bytes == nullptr) return std::nullopt;
    return std::move(*bytes);
}

bool SettingsStore::WriteInt(std::string_view section, std::string_view name, std::uint32_t value) {
    return impl_->Put(section, name, SettingValue{value});
}

bool SettingsStore::WriteString(std::string_view section, std::string_view name,
                                std::string_view value) {
    return impl_->Put(section, name, SettingValue{std::string(value)});
}

bool SettingsStore::WriteString(std::string_view section, std::string_view name,
                                std::wstring_view value) {
    return impl_->Put(section, name, SettingValue{ToUtf8(value)});
}

bool SettingsStore::WriteBinary(std::string_view section, std::string_view name,
                                std::span<const std::uint8_t> value) {
    return impl_->Put(section, name,
                      SettingValue{std::vector<std::uint8_t>(value.begin(), value.end())});
}

bool SettingsStore::Delete(std::string_view section, std::string_view name) {
    return impl_->Remove(section, name);
}

namespace {

std::mutex appSettingsMutex;

std::unique_ptr<SettingsStore>& AppSettingsSlot() {
    static std::unique_ptr<SettingsStore> store =
        std::make_unique<SettingsStore>(std::filesystem::path{});
    return store;
}

}  // namespace

SettingsStore& AppSettings() {
    const std::lock_guard lock(appSettingsMutex);
    return *AppSettingsSlot();
}

void SetAppSettings(std::unique_ptr<SettingsStore> store) {
    if (!store) store = std::make_unique<SettingsStore>(std::filesystem::path{});
    const std::lock_guard lock(appSettingsMutex);
    AppSettingsSlot() = std::move(store);
}

}  // namespace platform
