#pragma once
#include <string>

namespace qs {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Warning };
enum class MsgResult { Ok, Yes, No };

// Modal message boxes and the default error report.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    // Modal box; returns the button pressed.
    virtual MsgResult messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                 MsgIcon icon) = 0;
    // The default error report for an Exception that ended a handler.
    virtual void showException(const std::string& message) = 0;
};

}  // namespace qs
