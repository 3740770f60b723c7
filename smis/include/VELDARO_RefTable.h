#pragma once
// The read view of one array's configuration table image.
//
// A view made on an address binds the array's current image, holding the
// array's table mutex (kind 0) only while it takes it; the image never
// changes once published, so the view reads it without any lock and never
// keeps another thread waiting, while a refresh may install a newer image
// for everyone else. Views on one address nest on one thread: while one is
// open, the thread's further views read the same image, unless the thread
// itself installs a new one (then views opened after that read the new
// one). The view shares ownership of its image: it stays alive until
// resetCMTAddr binds the newest one or the view ends.
//
//   VELDARO_RefTable table("10.0.0.1");
//   if (!table.isValidCMT()) return 2;          // no image: skip the array
//   for (std::uint32_t r = 0; r < table.getRLUMaxCount(); ++r) {
//       char* name = table.getRLUName(r);       // heap text, may be NULL
//       ...
//       table.getMemFree(name);
//   }
//
// Getters take entry indexes that the caller got from a lookup or a loop
// over the table's count. An index outside the table reads as an all-zero
// entry, and a view without an image reads zeros, so no index reaches
// memory outside the image. Text and formatted getters return heap blocks
// that the caller releases with getMemFree; NULL when memory runs out.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <cimple/Array.h>
#include <cimple/String.h>

#include "CMM_CMT_GLOBAL_VAL_ELEM.h"
#include "SMIS_CMTAccess.h"
#include "VELDARO_RefTableFields.h"
#include "cnfg_config_mgmt_table.h"
#include "disk_idx_list_in_rlu.h"

class VELDARO_TableIndex;

namespace cimple {

class VELDARO_RefTable {
public:
    // Binds the current image of the address (NULL: the cache's first
    // array), or the image this thread's open views of it read.
    explicit VELDARO_RefTable(const char* address);
    // Binds the current image of the address without the table mutex: the
    // view a configuration method keeps across its array exchanges (under
    // SMIS_MethodLock), so that readers never wait for the array. The view
    // owns its image, so a refresh never frees it; resetCMTAddr binds the
    // newest one.
    enum Unlocked { UNLOCKED };
    VELDARO_RefTable(const char* address, Unlocked);
    // Binds the given image and block without any mutex (the refresh, which
    // holds the mutex itself, views its old and new images this way). The
    // raw-pointer form does not own them: the caller keeps them alive.
    VELDARO_RefTable(const char* address, std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block,
                     std::shared_ptr<const cnfg_config_mgmt_table> image);
    VELDARO_RefTable(const char* address, const CMM_CMT_GLOBAL_VAL_ELEM* block, const cnfg_config_mgmt_table* image);
    ~VELDARO_RefTable();
    VELDARO_RefTable(const VELDARO_RefTable&) = delete;
    VELDARO_RefTable& operator=(const VELDARO_RefTable&) = delete;

    // Binds the array's current image again (and so do this thread's views
    // opened after it).
    void resetCMTAddr();
    // The cache installed a new image of the address on this thread: the
    // thread's views opened from now on read it.
    static void installedOnThisThread(const char* address,
                                      const std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block,
                                      const std::shared_ptr<const cnfg_config_mgmt_table>& image);
    // True when an image is bound.
    bool isValidCMT() const { return _image != nullptr; }
    String get_currentIPAddress() const { return String(_address.c_str()); }

    // The bound image and block (NULL when none), for the lookups.
    const cnfg_config_mgmt_table* image() const { return _image.get(); }
    const CMM_CMT_GLOBAL_VAL_ELEM* globalBlock() const { return _block.get(); }
    // The bound image as shared by the cache: lookups may key indexes built
    // once per image on it (an image never changes once published).
    const std::shared_ptr<const cnfg_config_mgmt_table>& sharedImage() const { return _image; }

    // Heap blocks of the text getters.
    static char* getMemory(unsigned size, bool zero);
    static void getMemFree(char* block);
    // width bytes of field as a terminated heap text, cut at the first byte
    // of 0x80 or more.
    static char* getTableValue(const char* field, unsigned width);
    // Removes every trailing c.
    static void trimRight(char* text, char c);

    // ---- maximum counts ----
    std::uint32_t getOLUMaxCount() const { return _block ? _block->OLUMaxCount() : 0; }
    std::uint32_t getOLUperModelMaxCount() const { return getOLUMaxCount(); }
    std::uint32_t getSLUMaxCount() const { return _block ? _block->SLUMaxCount() : 0; }
    std::uint32_t getSLUperModelMaxCount() const { return getSLUMaxCount(); }
    std::uint32_t getRLUMaxCount() const { return _block ? _block->RLUMaxCount() : 0; }
    std::uint32_t getDLUMaxCount() const { return _block ? _block->DLUMaxCount() : 0; }
    std::uint32_t getMLUMaxCount() const { return _block ? _block->MLUMaxCount() : 0; }
    std::uint32_t getCMMaxCount() const { return _block ? _block->CMMaxCount() : 0; }
    std::uint32_t getAffinityGrpMaxCount() const { return _block ? _block->AffinityGrpMaxCount() : 0; }
    std::uint32_t getHostMaxCount() const { return _block ? _block->HostMaxCount() : 0; }
    static std::uint32_t getCAMaxCount() { return 64; }
    static std::uint32_t getCAPortMaxCount() { return 2; }
    static std::uint32_t getHostPerModelMaxCount() { return 8192; }
    static std::uint32_t getAffinityGrpPerModelMaxCount() { return 2048; }

    // ---- field, text and formatted getters (VELDARO_RefTableFields.h) ----
#define VELDARO_REFTABLE_DECLARE_FIELD(A, name, type, Table, Field) type name(VELDARO_REFTABLE_PARAMS_##A) const;
#define VELDARO_REFTABLE_DECLARE_TEXT(A, name, finish, Table, Field) char* name(VELDARO_REFTABLE_PARAMS_##A) const;
    VELDARO_REFTABLE_FIELD_GETTERS(VELDARO_REFTABLE_DECLARE_FIELD)
    VELDARO_REFTABLE_TEXT_GETTERS(VELDARO_REFTABLE_DECLARE_TEXT)
    VELDARO_REFTABLE_FORMATTED_GETTERS(VELDARO_REFTABLE_DECLARE_TEXT)
#undef VELDARO_REFTABLE_DECLARE_FIELD
#undef VELDARO_REFTABLE_DECLARE_TEXT

    // ---- counts and records beside the tables ----
    std::uint16_t getHostCount() const;
    std::uint16_t getiSCSIHostCount() const;
    std::uint16_t getConnectionMapCount() const;
    std::uint32_t getTableUpdateCount() const;
    // The model byte and 0x70.
    std::uint8_t getSysModelType() const;
    // Copies the 8 node WWN bytes into wwn.
    void getPartOfSysNodeWWN(unsigned char* wwn) const;
    // Copies the 512 volume numbers of the entry into olun (512 u16).
    void copyLUNMapOLUMapping(int i, std::uint16_t* olun) const;
    void copyAffinityOLUMapping(int i, std::uint16_t* olun) const;
    // The 4 address bytes as one u32 in stored order (lowest byte first).
    std::uint32_t getiSCSIHostiSCSIIPAddressBinary(int i) const;
    // Snap data pool percentage of pool p (0-2), slot s (0-7).
    std::uint8_t getSdpPercent(int pool, int slot) const;

    // ---- LAN ports and firmware ----
    // The first LAN port entry's master address bytes inside the image
    // (4 zero bytes without an image).
    const std::uint8_t* getNspIPAddress() const;
    // 0xFFFFFFFF for an address whose first byte is 0, else the address as a
    // number whose lowest byte is the first stored byte. which 1: master,
    // anything else: slave.
    std::uint32_t getLanPortIP(int entry, int which) const;
    // "%u.%u.%u.%u" of the first LAN port entry with a master address, its
    // slave address; "0.0.0.0" when none.
    char* getMasterIPAddress() const;
    char* getSlaveIPAddress() const;
    // By the CM's LAN role: 1 the master, 2 the slave address, else "".
    char* getCMIPAddress(int i) const;
    // The current firmware version: form 0 "%s.%s.%s", 1 "V%sL%sP%s", any
    // other "V%sL%s-%s"; NULL without a current generation.
    char* getTotalFirmVersion(int form) const;
    // The big-endian number of 4 bytes.
    static std::uint32_t _inet_a4ton(const std::uint8_t* bytes);
    // The first LAN port entry's master address in stored order, or
    // 192.168.1.1 when it is not set.
    std::uint32_t cms_get_lanport_ip() const;

#include "VELDARO_RefTableLookups.h"

private:
    static std::size_t _ix(int i) { return static_cast<std::size_t>(static_cast<unsigned>(i)); }
    // The bound image, or an empty image that reads zeros.
    const cnfg_config_mgmt_table& _img() const;

    std::string _address;
    std::shared_ptr<const cnfg_config_mgmt_table> _image;
    std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> _block;
    bool _counted = false;  // one of this thread's nested views of the address
};

}  // namespace cimple
