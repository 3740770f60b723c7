#include "WireBytes.hpp"

#include <algorithm>
#include <cstring>

namespace arraysim {

std::uint8_t* WireBytes::at(std::size_t off, std::size_t n) {
    if (off + n > data_.size()) data_.resize(off + n, 0);
    return data_.data() + off;
}

void WireBytes::putLe(std::size_t off, std::uint64_t v, std::size_t width) {
    std::uint8_t* p = at(off, width);
    for (std::size_t i = 0; i < width; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void WireBytes::putBe(std::size_t off, std::uint64_t v, std::size_t width) {
    std::uint8_t* p = at(off, width);
    for (std::size_t i = 0; i < width; ++i)
        p[width - 1 - i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void WireBytes::text(std::size_t off, std::size_t width, std::string_view s, char pad) {
    std::uint8_t* p = at(off, width);
    const std::size_t n = std::min(width, s.size());
    if (n) std::memcpy(p, s.data(), n);
    std::fill(p + n, p + width, static_cast<std::uint8_t>(pad));
}

void WireBytes::raw(std::size_t off, const std::uint8_t* src, std::size_t n) {
    if (n == 0) return;
    std::memcpy(at(off, n), src, n);
}

std::uint64_t loadLe(const std::uint8_t* p, std::size_t size, std::size_t off, std::size_t width) {
    if (off > size || width > size - off) return 0;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v |= std::uint64_t{p[off + i]} << (8 * i);
    return v;
}

std::uint64_t loadBe(const std::uint8_t* p, std::size_t size, std::size_t off, std::size_t width) {
    if (off > size || width > size - off) return 0;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i) v = (v << 8) | p[off + i];
    return v;
}

std::string loadText(const Bytes& b, std::size_t off, std::size_t width) {
    if (off > b.size()) return {};
    width = std::min(width, b.size() - off);
    std::string s(reinterpret_cast<const char*>(b.data() + off), width);
    const auto nul = s.find('\0');
    if (nul != std::string::npos) s.resize(nul);
    return s;
}

std::string toHex(const Bytes& b) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    s.reserve(b.size() * 2);
    for (auto c : b) {
        s.push_back(digits[c >> 4]);
        s.push_back(digits[c & 15]);
    }
    return s;
}

}  // namespace arraysim
