#include "services/string_resources.h"

#include <atomic>

namespace core {
namespace {

std::atomic<StringProvider> g_provider{nullptr};

}  // namespace

void SetStringProvider(StringProvider provider) {
    g_provider.store(provider);
}

std::wstring LoadResourceString(unsigned id) {
    const StringProvider provider = g_provider.load();
    return provider != nullptr ? provider(id) : std::wstring{};
}

}  // namespace core
