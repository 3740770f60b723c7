// Explicit little- and big-endian access at byte offsets. Every byte the
// simulator puts on the wire or reads from a request goes through these
// helpers; no structure is ever copied as a whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arraysim {

using Bytes = std::vector<std::uint8_t>;

class WireBytes {
public:
    WireBytes() = default;
    explicit WireBytes(std::size_t size) : data_(size, 0) {}

    std::size_t size() const { return data_.size(); }
    const Bytes& bytes() const { return data_; }
    Bytes& bytes() { return data_; }
    Bytes take() { return std::move(data_); }

    // Writes outside the buffer grow it; a record never silently loses a field.
    void u8(std::size_t off, std::uint64_t v) { at(off, 1)[0] = static_cast<std::uint8_t>(v); }
    void le16(std::size_t off, std::uint64_t v) { putLe(off, v, 2); }
    void le32(std::size_t off, std::uint64_t v) { putLe(off, v, 4); }
    void le64(std::size_t off, std::uint64_t v) { putLe(off, v, 8); }
    void be16(std::size_t off, std::uint64_t v) { putBe(off, v, 2); }
    void be32(std::size_t off, std::uint64_t v) { putBe(off, v, 4); }
    // Fixed-width text: copied up to width bytes, the rest filled with pad.
    void text(std::size_t off, std::size_t width, std::string_view s, char pad = ' ');
    void raw(std::size_t off, const std::uint8_t* p, std::size_t n);
    void raw(std::size_t off, const Bytes& b) { raw(off, b.data(), b.size()); }

    void putLe(std::size_t off, std::uint64_t v, std::size_t width);
    void putBe(std::size_t off, std::uint64_t v, std::size_t width);

private:
    std::uint8_t* at(std::size_t off, std::size_t n);
    Bytes data_;
};

// Bounds-checked reads from received bytes: a read past the end answers 0.
std::uint64_t loadLe(const std::uint8_t* p, std::size_t size, std::size_t off, std::size_t width);
std::uint64_t loadBe(const std::uint8_t* p, std::size_t size, std::size_t off, std::size_t width);
inline std::uint64_t loadLe(const Bytes& b, std::size_t off, std::size_t width) {
    return loadLe(b.data(), b.size(), off, width);
}
inline std::uint64_t loadBe(const Bytes& b, std::size_t off, std::size_t width) {
    return loadBe(b.data(), b.size(), off, width);
}
std::string loadText(const Bytes& b, std::size_t off, std::size_t width);

std::string toHex(const Bytes& b);

}  // namespace arraysim
