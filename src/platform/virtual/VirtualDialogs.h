#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Dialogs.h"

namespace qs {

// Message boxes that nobody sees: each is recorded and answered from a queue
// of scripted answers (OK for an OK box, Yes for a Yes/No box by default).
class VirtualDialogs : public IDialogs {
public:
    struct Box {
        std::string text, caption;
        MsgButtons buttons;
        MsgIcon icon;
    };

    MsgResult messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    void showException(const std::string& message) override { errors.push_back(message); }

    std::vector<Box> boxes;
    std::vector<std::string> errors;
    std::deque<MsgResult> answers;
};

class VirtualDesktop : public IDesktop {
public:
    bool openFolder(const std::string& path) override {
        opened.push_back(path);
        return hasFileManager;
    }
    std::vector<std::string> opened;
    bool hasFileManager = true;
};

}  // namespace qs
