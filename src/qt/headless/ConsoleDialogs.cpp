#include "qt/headless/ConsoleDialogs.h"

#include <ctime>

namespace qs {

void Console::line(std::FILE* stream, const std::string& text) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S UTC", &utc);
    // One line per message, however many lines its box would show, so that
    // each line of the log stands for one thing that happened.
    std::string flat;
    for (char c : text) {
        if (c == '\r') continue;
        flat += c == '\n' ? ' ' : c;
    }
    // A whole line per write, flushed: a log read while the logger runs
    // (journalctl -f, tail -f) shows each line as it happens.
    std::fprintf(stream, "%s %s\n", stamp, flat.c_str());
    std::fflush(stream);
}

MsgResult ConsoleDialogs::messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                     MsgIcon) {
    if (buttons == MsgButtons::Ok) {
        console_.out("box \"" + caption + "\": " + text);
        return MsgResult::Ok;
    }
    console_.out("box \"" + caption + "\": " + text + " (answered No)");
    return MsgResult::No;
}

void ConsoleDialogs::showException(const std::string& message) { console_.err("error: " + message); }

}  // namespace qs
