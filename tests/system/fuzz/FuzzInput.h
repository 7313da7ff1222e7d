#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace qs::fuzz {

// Reads a fuzz input front to back as the choices and bytes of a scenario.
// Past the end every read gives zeros or nothing, so any input, however
// short, is a complete scenario.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::size_t remaining() const { return size_ - pos_; }

    std::uint8_t byte() { return empty() ? 0 : data_[pos_++]; }

    // Up to count bytes as they stand in the input.
    std::string bytes(std::size_t count) {
        if (count > remaining()) count = remaining();
        std::string out(reinterpret_cast<const char*>(data_ + pos_), count);
        pos_ += count;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace qs::fuzz
