#include "platform/c_locale.h"

namespace platform {

locale_t CLocale() {
    // Created once and kept for the life of the process.
    static const locale_t locale = [] {
        locale_t utf8 = newlocale(LC_ALL_MASK, "C.UTF-8", locale_t{});
        return utf8 != locale_t{} ? utf8 : newlocale(LC_ALL_MASK, "C", locale_t{});
    }();
    return locale;
}

}  // namespace platform
