#pragma once
// The C locale as a locale object, for code that must read and write numbers
// the same way whatever locale the process runs in. Its character type is
// UTF-8 where the system has C.UTF-8, so text arguments of formats convert
// between UTF-8 and wide text; its numbers are always the C ones.

#include <locale.h>

namespace platform {

locale_t CLocale();

// Makes the C locale the calling thread's locale for the scope.
class ScopedCLocale {
  public:
    ScopedCLocale() : previous_(uselocale(CLocale())) {}
    ~ScopedCLocale() { uselocale(previous_); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

  private:
    locale_t previous_;
};

}  // namespace platform
