#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <utility>

#include "platform/paths.h"

namespace platform {

DynamicLibrary::~DynamicLibrary() {
    Close();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

DynamicLibrary DynamicLibrary::Open(const std::string& path) {
    // dlopen of an empty name would hand out the program itself.
    if (path.empty()) return DynamicLibrary(nullptr, "empty library name");
    if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
        return DynamicLibrary(handle, {});
    const char* error = dlerror();
    return DynamicLibrary(nullptr, error != nullptr ? error : "cannot load " + path);
}

DynamicLibrary DynamicLibrary::OpenBesideExecutable(const std::string& fileName) {
    if (fileName.empty()) return Open(fileName);
    if (const auto folder = ExecutableFolder(); !folder.empty()) {
        if (DynamicLibrary beside = Open((folder / fileName).string())) return beside;
    }
    return Open(fileName);
}

void DynamicLibrary::Close() {
    if (handle_ != nullptr) dlclose(std::exchange(handle_, nullptr));
}

void* DynamicLibrary::SymbolAddress(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

std::optional<ModuleVersion> DynamicLibrary::Version() const {
    const auto resourceVersion = Symbol<ResourceVersionFunction>(kResourceVersionSymbol);
    if (resourceVersion == nullptr) return std::nullopt;
    unsigned numbers[4] = {0, 0, 0, 0};
    resourceVersion(numbers);
    return ModuleVersion{numbers[0], numbers[1], numbers[2], numbers[3]};
}

}  // namespace platform
