#pragma once
#include <stdexcept>
#include <string>

namespace qs {

// The framework's exception class: anything a handler raises on purpose.
// An Exception that escapes an event handler ends that handler and is shown
// by the platform's default error report; the program goes on.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by the number conversions (StrToInt, StrToFloat) and date encoding.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace qs
