#pragma once
// Shared libraries loaded at run time: the resource bundle and the external
// instrument libraries. Each is looked for beside the program first, so the
// copy shipped with the program wins over one installed elsewhere.
//
// Our libraries carry their version as an exported function
//     extern "C" void ResourceVersion(unsigned version[4]);
// which fills major, minor, build and revision. A library without it has no
// version.

#include <bit>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

namespace platform {

struct ModuleVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    unsigned revision = 0;

    friend bool operator==(const ModuleVersion&, const ModuleVersion&) = default;
};

using ResourceVersionFunction = void (*)(unsigned* version);
inline constexpr char kResourceVersionSymbol[] = "ResourceVersion";

class DynamicLibrary {
  public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Loads the library with every symbol bound at once. A name with a '/'
    // is that file; a bare name goes through the normal search (RPATH,
    // LD_LIBRARY_PATH, RUNPATH, the system's library folders). On failure
    // the result is not open and Error() says why.
    static DynamicLibrary Open(const std::string& path);

    // The file of that name in the program's folder, else the bare name
    // through the normal search.
    static DynamicLibrary OpenBesideExecutable(const std::string& fileName);

    bool IsOpen() const { return handle_ != nullptr; }
    explicit operator bool() const { return IsOpen(); }

    // The loader's text for the last failed open.
    const std::string& Error() const { return error_; }

    // Unloads the library; symbols taken from it must not be used after.
    void Close();

    // The address of an exported symbol, null when absent or not open.
    void* SymbolAddress(const char* name) const;

    // An exported function as a pointer of type Function; null when absent.
    template <typename Function>
    Function Symbol(const char* name) const {
        static_assert(
            std::is_pointer_v<Function> && std::is_function_v<std::remove_pointer_t<Function>>,
            "Symbol<> gives function pointers; use SymbolAddress for data");
        return std::bit_cast<Function>(SymbolAddress(name));
    }

    // What ResourceVersion reports; nothing when the library does not
    // export it.
    std::optional<ModuleVersion> Version() const;

  private:
    explicit DynamicLibrary(void* handle, std::string error)
        : handle_(handle), error_(std::move(error)) {}

    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace platform
