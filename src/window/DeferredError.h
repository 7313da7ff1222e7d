#pragma once
#include <exception>
#include <utility>

#include "platform/Exception.h"

namespace qs {

// Runs steps whose conversion errors must not stop the rest of a handler
// (received bytes and accepted samples are never dropped because a setting
// text is bad), and raises the first such error once the handler is done, so
// the default error report still shows it.
class DeferredError {
public:
    // Runs step; returns false (and keeps the error) when it raised EConvertError.
    template <typename Step>
    bool run(Step&& step) {
        try {
            std::forward<Step>(step)();
            return true;
        } catch (const EConvertError&) {
            if (!error_) error_ = std::current_exception();
            return false;
        }
    }
    void rethrow() {
        if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    std::exception_ptr error_;
};

}  // namespace qs
