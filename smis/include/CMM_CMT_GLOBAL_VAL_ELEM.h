#pragma once
// The maximum-count block of a configuration table (table id 1): 20 u32
// words, of which the readers use the entry counts below. Converted values
// are already clamped to what the image can hold (see SMIS_CMTConvert).

#include <array>
#include <cstddef>
#include <cstdint>

class CMM_CMT_GLOBAL_VAL_ELEM {
public:
    static constexpr std::size_t WORDS = 20;
    static constexpr std::size_t SIZE = WORDS * 4;  // 80 bytes in the table

    enum Word : std::size_t {
        OLU_MAX = 0,
        SLU_MAX = 1,
        RLU_MAX = 2,
        DLU_MAX = 3,
        CM_MAX = 5,
        AFFINITY_GRP_MAX = 10,
        HOST_MAX = 11,
        MLU_MAX = 12,
    };

    std::uint32_t word(std::size_t i) const { return i < WORDS ? words_[i] : 0; }
    void setWord(std::size_t i, std::uint32_t v) {
        if (i < WORDS) words_[i] = v;
    }
    void clear() { words_.fill(0); }

    std::uint32_t OLUMaxCount() const { return words_[OLU_MAX]; }
    std::uint32_t SLUMaxCount() const { return words_[SLU_MAX]; }
    std::uint32_t RLUMaxCount() const { return words_[RLU_MAX]; }
    std::uint32_t DLUMaxCount() const { return words_[DLU_MAX]; }
    std::uint32_t CMMaxCount() const { return words_[CM_MAX]; }
    std::uint32_t AffinityGrpMaxCount() const { return words_[AFFINITY_GRP_MAX]; }
    std::uint32_t HostMaxCount() const { return words_[HOST_MAX]; }
    std::uint32_t MLUMaxCount() const { return words_[MLU_MAX]; }

private:
    std::array<std::uint32_t, WORDS> words_{};
};
