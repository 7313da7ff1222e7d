#pragma once
#include <string>
#include <string_view>
#include <variant>

namespace qs {

// Where the page is served: --serve [ADDR:]PORT.
struct ServeAddress {
    std::string host = "127.0.0.1";  // nothing is exposed unless a person names an address
    int port = 0;                    // 1 to 65535

    friend bool operator==(const ServeAddress&, const ServeAddress&) = default;
};

// "8080", "0.0.0.0:8080", "[::1]:8080": the address, or why the text is
// none (one line, naming the option).
std::variant<ServeAddress, std::string> ParseServeAddress(std::string_view text);

}  // namespace qs
