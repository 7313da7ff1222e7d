#pragma once
#include <cstdio>
#include <string>

#include "platform/Dialogs.h"

namespace qs {

// Lines for a person who reads a log instead of a window: each one after
// the UTC time, "2026-12-07 18:30:05 UTC link: Link up".
class Console {
public:
    void out(const std::string& text) const {
        if (!closed_) line(stdout, text);
    }
    void err(const std::string& text) const {
        if (!closed_) line(stderr, text);
    }
    // No more lines: once the logger has closed, handlers that were inside
    // their waits unwind, and what they would still say (a Start cut short
    // "could not connect") is not news.
    void close() { closed_ = true; }

private:
    static void line(std::FILE* stream, const std::string& text);
    bool closed_ = false;
};

// The message boxes of a logger without a window: each box becomes a line
// with its caption, a box that asks is answered with the safe No, and the
// error report goes to standard error.
class ConsoleDialogs : public IDialogs {
public:
    explicit ConsoleDialogs(const Console& console) : console_(console) {}

    MsgResult messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    void showException(const std::string& message) override;

private:
    const Console& console_;
};

}  // namespace qs
