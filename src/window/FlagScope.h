#pragma once

namespace qs {

// Sets one of the Logger state's int flags for the length of a scope and puts
// the previous value back however the scope ends, so a recovery that an
// exception cuts short never leaves Restarting, WatchdogActive or
// StrandedReplay standing at 1.
class FlagScope {
public:
    explicit FlagScope(int& flag, int value = 1) : flag_(flag), previous_(flag) { flag_ = value; }
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    int& flag_;
    int previous_;
};

}  // namespace qs
