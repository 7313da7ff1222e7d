#pragma once
#include <string>

namespace qs {

// The system's file manager.
class IDesktop {
public:
    virtual ~IDesktop() = default;
    // Shows the folder; false when nothing on this machine could.
    virtual bool openFolder(const std::string& path) = 0;
};

}  // namespace qs
