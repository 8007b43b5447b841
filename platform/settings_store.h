#pragma once
// The per-user settings of one program: typed values (32-bit integer, text,
// raw bytes) under sections and value names exactly as the program names
// them ("Settings", "Options\Miscellaneous", ...; names are case-insensitive
// as they always were, and keep the spelling they were first written with).
//
// One file per program: $XDG_CONFIG_HOME/Tarnwell Software/<application name>
// ($HOME/.config when XDG_CONFIG_HOME is unset, empty or relative). Every
// write reaches the disk by writing a temporary file in the same folder and
// renaming it over the old one, so a crash leaves the old file or the new
// one, never a broken one. The file's text form is in settings_file.h.
// Safe to use from any thread.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

namespace platform {

// A stored value: an integer (the registry's DWORD), a text (UTF-8) or bytes.
using SettingValue = std::variant<std::uint32_t, std::string, std::vector<std::uint8_t>>;

// Why a settings file was not taken at load. The store then starts empty,
// so start-up gets its defaults, and the file is never written over.
struct SettingsLoadProblem {
    enum class Kind {
        kUnreadable,   // it could not be read (permissions, a folder, ...): left as it is
        kTooLarge,     // larger than any settings file: set aside
        kNotSettings,  // it does not parse: set aside
    };
    Kind kind = Kind::kUnreadable;
    std::error_code error;      // kUnreadable: the system's reason
    std::size_t errorLine = 0;  // kNotSettings: the 1-based line of the first fault
    // Where the file was set aside ("<file>.broken-<date>-<n>"); empty when it
    // stays where it is (unreadable, or the rename failed), and the store
    // then keeps every change in memory only.
    std::filesystem::path keptAs;
    std::error_code keepAsideError;  // why the rename failed
};

class SettingsStore {
  public:
    // Loads the file if it exists; a missing file is an empty store. Stale
    // temporary files of killed writers beside it are removed first. A file
    // that cannot be read or parsed is a LoadProblem(). An empty path gives a
    // store that lives in memory only and never writes.
    explicit SettingsStore(std::filesystem::path file);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // $XDG_CONFIG_HOME/Tarnwell Software/<applicationName>, or under
    // $HOME/.config (the home folder of the user's account without HOME).
    static std::filesystem::path DefaultPath(std::string_view applicationName);

    const std::filesystem::path& Path() const;

    // What kept the file from being taken at load; nothing when it was.
    const std::optional<SettingsLoadProblem>& LoadProblem() const;
    // False when changes stay in memory only: an empty path, or a file that
    // could neither be read nor set aside (it is never written over).
    bool SavesToDisk() const;

    std::optional<SettingValue> Get(std::string_view section, std::string_view name) const;

    // Typed reads: the default when the value is missing or of another type.
    std::uint32_t GetInt(std::string_view section, std::string_view name,
                         std::uint32_t defaultValue) const;
    std::string GetString(std::string_view section, std::string_view name,
                          std::string_view defaultValue) const;
    std::wstring GetString(std::string_view section, std::string_view name,
                           std::wstring_view defaultValue) const;
    std::optional<std::vector<std::uint8_t>> GetBinary(std::string_view section,
                                                       std::string_view name) const;

    // Writes replace the value (of whatever type it had) and reach the disk
    // before they return; false when the file could not be written (the value
    // is then kept in memory and written with the next successful write).
    // Writing the value a name already holds, or deleting a missing value,
    // changes nothing and succeeds without touching the disk (unless earlier
    // changes still wait to be written).
    bool WriteInt(std::string_view section, std::string_view name, std::uint32_t value);
    bool WriteString(std::string_view section, std::string_view name, std::string_view value);
    bool WriteString(std::string_view section, std::string_view name, std::wstring_view value);
    bool WriteBinary(std::string_view section, std::string_view name,
                     std::span<const std::uint8_t> value);
    bool Delete(std::string_view section, std::string_view name);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The store of the running program, opened by start-up (or by a test).
// Before SetAppSettings is called, AppSettings() is an empty in-memory-only
// store that never writes. SetAppSettings destroys the store it replaces, so
// start-up sets it before any other thread uses AppSettings(); null restores
// the in-memory store.
SettingsStore& AppSettings();
void SetAppSettings(std::unique_ptr<SettingsStore> store);

}  // namespace platform
