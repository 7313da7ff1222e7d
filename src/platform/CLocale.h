#pragma once
#include <locale.h>

namespace qs {

// The "C" locale, created once and never freed.
locale_t CLocale();

// Runs the C library's formatted I/O in the "C" locale on this thread while
// it lives: the window's toolkit sets the user's locale at start-up, and a
// decimal comma must never reach or be expected in any file or caption.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(CLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous_;
};

}  // namespace qs
