#pragma once
// A set of byte values looked up by a table built at compile time: the
// scanners pass over the bytes that mean nothing to them in a tight loop.
#include <array>
#include <string_view>

namespace korvane {

class ByteSet {
public:
    constexpr explicit ByteSet(std::string_view bytes)
    {
        for (char c : bytes)
            in_[static_cast<unsigned char>(c)] = true;
    }
    constexpr bool contains(char c) const { return in_[static_cast<unsigned char>(c)]; }

private:
    std::array<bool, 256> in_{};
};

}  // namespace korvane
