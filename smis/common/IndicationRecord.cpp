#include "IndicationRecord.h"

#include <cstdlib>
#include <cstring>

namespace cimple {

IndicationRecord IndicationRecord::allocate(unsigned kind, std::size_t size) {
    if (size < HEADER_SIZE) return IndicationRecord();
    void* p = std::calloc(1, size);
    if (!p) return IndicationRecord();
    IndicationRecord r(p, size);
    r.setU8(Header::KIND, static_cast<std::uint8_t>(kind));
    return r;
}

IndicationRecord IndicationRecord::allocateEntries(unsigned kind, std::size_t count) {
    if (entrySize(kind) == 0 || count > 0xFFFF) return IndicationRecord();
    IndicationRecord r = allocate(kind, sizeFor(kind, count));
    r.setU16(Header::COUNT, static_cast<std::uint16_t>(count));
    return r;
}

std::uint32_t IndicationRecord::address() const {
    std::uint32_t a = 0;
    if (fits(Header::ADDRESS, 4)) std::memcpy(&a, _p + Header::ADDRESS, 4);
    return a;
}

void IndicationRecord::setAddress(std::uint32_t address) { setBytes(Header::ADDRESS, &address, 4); }

bool IndicationRecord::isWellFormed() const {
    if (!_p || _size < HEADER_SIZE) return false;
    switch (kind()) {
    case KIND_VOLUME_MAPPING:
        return u16(VolumeMapping::BLOCK_COUNT) == 1 &&
               _size == VolumeMapping::size(u16(VolumeMapping::VOLUME_COUNT), u16(VolumeMapping::PORT_COUNT));
    case KIND_ALERT: return _size == Alert::SIZE;
    case KIND_SYSTEM: return _size == System::SIZE;
    case KIND_COPY_SESSION: return _size == CopySession::SIZE;
    default:
        return entrySize(kind()) != 0 && _size == sizeFor(kind(), count());
    }
}

std::uint8_t* IndicationRecord::entry(std::size_t i) const {
    const std::size_t es = entrySize(kind());
    if (!_p || es == 0 || i >= count()) return nullptr;
    const std::size_t off = HEADER_SIZE + i * es;
    return fits(off, es) ? _p + off : nullptr;
}

void IndicationRecord::setText(std::size_t off, std::size_t width, const char* text) {
    if (!text || !fits(off, width)) return;
    for (std::size_t k = 0; k < width; ++k) {
        _p[off + k] = static_cast<std::uint8_t>(text[k]);
        if (text[k] == '\0') break;
    }
}

void IndicationRecord::setBytes(std::size_t off, const void* bytes, std::size_t width) {
    if (!bytes || !fits(off, width)) return;
    std::memcpy(_p + off, bytes, width);
}

}  // namespace cimple
