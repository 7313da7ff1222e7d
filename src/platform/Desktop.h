#pragma once
#include <string>

namespace qs {

// The system's file manager.
class IDesktop {
public:
    virtual ~IDesktop() = default;
    // Shows the folder; the result is not looked at.
    virtual void openFolder(const std::string& path) = 0;
};

}  // namespace qs
