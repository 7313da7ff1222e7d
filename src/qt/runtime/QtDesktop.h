#pragma once
#include "platform/Desktop.h"

namespace qs {

// The system's file manager, through the desktop's URL handler.
class QtDesktop : public IDesktop {
public:
    bool openFolder(const std::string& path) override;
};

}  // namespace qs
