#pragma once
// Conversion of a configuration table container (the array's reply or the
// cmf file) into the maximum-count block and the image.
//
// Call ConvertCMTFile2Global first, then ConvertCMTFile2CMT with its block.
// Each table id has one converter _convert2CMT_0xNN, reached through
// _convertFunc (index = id). Records are read at their element size; a
// record shorter than the expected size reads as zero beyond its end.
// A record whose placement lies outside its table is skipped with a warning,
// counts that readers loop on are clamped to their tables, and a table entry
// with element count 0 (or size 0) counts as absent.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "CMM_CMT_GLOBAL_VAL_ELEM.h"
#include "SMIS_CMT.h"
#include "cnfg_config_mgmt_table.h"

class SMIS_CMTConvert {
public:
    static constexpr unsigned MAX_TABLE_ID = 46;

    // The block from the first id 1 table; nullptr without one (or when it is
    // empty, or memory runs out). Volume words are clamped to 65536, the CM
    // count to 16, the affinity group count to 2048, the host count to 8192.
    static std::unique_ptr<CMM_CMT_GLOBAL_VAL_ELEM> ConvertCMTFile2Global(const SMIS_CMT& cmt);

    // The image; nullptr when memory runs out or a converter fails.
    static std::unique_ptr<cnfg_config_mgmt_table> ConvertCMTFile2CMT(const SMIS_CMT& cmt,
                                                                       const CMM_CMT_GLOBAL_VAL_ELEM& block);

    // The expected record size L of a table id (0 for ids without a converter).
    static std::size_t expectedRecordSize(unsigned tableId);

    using ConvertFunc = int (*)(const SMIS_INDEX&, CMM_CMT_GLOBAL_VAL_ELEM&, cnfg_config_mgmt_table&);
    static const ConvertFunc _convertFunc[MAX_TABLE_ID + 1];

#define SMIS_CMT_CONVERTER(NN) \
    static int _convert2CMT_0x##NN(const SMIS_INDEX&, CMM_CMT_GLOBAL_VAL_ELEM&, cnfg_config_mgmt_table&);
    SMIS_CMT_CONVERTER(01) SMIS_CMT_CONVERTER(02) SMIS_CMT_CONVERTER(03) SMIS_CMT_CONVERTER(04)
    SMIS_CMT_CONVERTER(05) SMIS_CMT_CONVERTER(06) SMIS_CMT_CONVERTER(07) SMIS_CMT_CONVERTER(08)
    SMIS_CMT_CONVERTER(09) SMIS_CMT_CONVERTER(0a) SMIS_CMT_CONVERTER(0b) SMIS_CMT_CONVERTER(0c)
    SMIS_CMT_CONVERTER(0d) SMIS_CMT_CONVERTER(0e) SMIS_CMT_CONVERTER(10) SMIS_CMT_CONVERTER(11)
    SMIS_CMT_CONVERTER(12) SMIS_CMT_CONVERTER(14) SMIS_CMT_CONVERTER(15) SMIS_CMT_CONVERTER(16)
    SMIS_CMT_CONVERTER(17) SMIS_CMT_CONVERTER(18) SMIS_CMT_CONVERTER(1a) SMIS_CMT_CONVERTER(1b)
    SMIS_CMT_CONVERTER(1c) SMIS_CMT_CONVERTER(20) SMIS_CMT_CONVERTER(21) SMIS_CMT_CONVERTER(22)
    SMIS_CMT_CONVERTER(23) SMIS_CMT_CONVERTER(24) SMIS_CMT_CONVERTER(25) SMIS_CMT_CONVERTER(26)
    SMIS_CMT_CONVERTER(27) SMIS_CMT_CONVERTER(28) SMIS_CMT_CONVERTER(29) SMIS_CMT_CONVERTER(2a)
    SMIS_CMT_CONVERTER(2b) SMIS_CMT_CONVERTER(2c) SMIS_CMT_CONVERTER(2d) SMIS_CMT_CONVERTER(2e)
    SMIS_CMT_CONVERTER(NN)
#undef SMIS_CMT_CONVERTER
};
