#include "platform/virtual/VirtualDialogs.h"

namespace qs {

MsgResult VirtualDialogs::messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                     MsgIcon icon) {
    boxes.push_back({text, caption, buttons, icon});
    if (!answers.empty()) {
        MsgResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
}

}  // namespace qs
