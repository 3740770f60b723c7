// Lookups, predicates, lists and status derivations of VELDARO_RefTable.
// Included inside the class body of VELDARO_RefTable.h (public section); it
// ends in the private section.
//
// Lookups answer the index of the FIRST entry that matches in table order,
// or -1. They are answered from number-to-index maps built once per image
// (VELDARO_TableIndex), so each costs the same whatever the table size.
// An entry index given to a predicate, list or status query that lies
// outside its table counts as not found (false, 0, an empty list or -1).
//
// Status queries return 0 and write the CIM OperationalStatus pair (the
// second value -1 when there is none) into the pointers that are not NULL,
// or -1 with a logged warning and nothing written.

    // ---- lookups from a key to an entry index ----
    int searchOlunFromOluTable(std::uint16_t olun) const;
    int searchSlunFromSluTable(std::uint16_t slun) const;
    int searchMlunFromMluTable(std::uint16_t mlun) const;
    int searchRlunFromRluTable(std::uint16_t rlun) const;
    int searchDlunFromDluTable(std::uint16_t dlun) const;
    int searchCMModuleIdFromCMTable(std::uint8_t moduleId) const;
    // The first argument is not read.
    int searchMIDAndMIDFromCMCPUTable(std::uint8_t unused, std::uint8_t moduleId) const;
    int searchCAModuleIdFromCATable(std::uint8_t moduleId) const;
    int searchCAPortNoFromPortTable(int caIndex, std::uint8_t portNo) const;
    // Whether a map entry names the port: the module id and the port number,
    // where ports 2 and 3 of a CA's second half (module id bit 3) may be
    // written 0 and 1, as the table's prefill and arrays write them.
    static bool mapEntryHoldsPort(std::uint8_t entryModule, std::uint8_t entryPort, std::uint8_t moduleId,
                                  std::uint8_t portNo)
    {
        if (entryModule != moduleId)
            return false;
        return entryPort == portNo || ((moduleId & 0x08) && (portNo == 2 || portNo == 3) && entryPort == portNo - 2);
    }
    int searchCAModuleIdAndCAPortNoFromMapTable(std::uint8_t moduleId, std::uint8_t portNo) const;
    int searchLUNMappingNumberFromLUNMappingTable(std::uint16_t number) const;
    int searchAffinityNumberFromAffinityTable(std::uint16_t groupNumber) const;
    int searchPlunFromDiskTable(std::uint16_t plun) const;
    int searchPSUNoFromCPSUTable(std::uint8_t psuNo) const;
    int searchDeIdAndPSUNoFromDPSUTable(std::uint8_t deId, std::uint8_t psuNo) const;
    int searchDeIdAndEXPNoFromEXPTable(std::uint8_t deId, std::uint8_t expNo) const;
    int searchDeIdFromDETable(std::uint8_t deId) const;
    int searchPoolNoFromTppTable(std::uint16_t poolNo) const;
    int searchPoolNoFromLxrpTable(std::uint16_t poolNo) const;
    int searchRlunameFromRluNameTable(const char* name) const;
    int searchOlunameFromOluNameTable(const char* name) const;
    // Valid FC host with that name; -1 for NULL or when both host counts are 0.
    int searchHostNameFromHostTable(const char* name) const;
    // FC host by WWN text, else iSCSI host by name without regard to case
    // and, when address is not NULL, with that address text exactly.
    // idType, written only on a match: 6 for a host whose Type is 2 (a SAS
    // address), 2 for any other FC host Type (0, 1 and the rest are host
    // personalities of FC hosts), 5 for an iSCSI host. These are the kinds
    // the hardware-ID enumeration builds each slot with, so a get or a
    // management call that finds a host by its identifier rebuilds the same
    // instance, keys included, that the enumeration answered.
    int searchHostNameFromHostTable(const char* id, int& idType, const char* address) const;
    // SLU index of a volume by LU type: 1, 3, 4, 7, 9, 11, 13 by OLU number
    // (the OLU's first SLU), 2 by MLU number, 8 by SLU number; others -1.
    int searchLunByLuTypeFromSluTable(std::uint8_t luType, std::uint16_t number) const;
    // SLU index of a copy volume: kind 0 an MLU number, 1 an OLU number.
    int searchCopyLunFromSluTable(std::uint8_t kind, std::uint16_t number) const;

    // ---- predicates ----
    bool checkPortAllocate(std::uint8_t moduleId, std::uint8_t portNo) const;
    bool IsLUNMappingController_Default(int caIndex, int portIndex) const;
    bool isSetToMapTable(int mapIndex, int affinityGroup, int hostIndex) const;
    bool checkPluInUse(std::uint16_t dlun, std::uint16_t plun) const;
    bool isSupportLUType(int sluIndex) const;
    bool checkSupportLUType(int sluIndex) const;
    bool isConcatenatedLogicalVolume(int oluIndex) const;
    bool isLayerixSubPool(int tppIndex) const;
    bool isThinproPoolInRluMode(int rluIndex) const;
    bool isLayerixSubPoolInRluMode(int rluIndex) const;
    static bool isValidLUName(const char* text);
    static bool isRLUName(const char* text) { return isValidLUName(text); }
    static bool isOLUName(const char* text) { return isValidLUName(text); }
    static bool isHostName(const char* text) { return isValidLUName(text); }
    std::uint16_t getMaskCAType(int caIndex) const;
    std::uint16_t getMaskCARealType(int caIndex) const;

    // ---- lists and sums ----
    int getRluIndexListInThinPro(int tppIndex, Array<int>& list) const;
    int getRluIndexListInLayerixSubPool(int tppIndex, Array<int>& list) const;
    int getSlunListWithRlu(std::uint16_t rlun, Array<std::uint16_t>& list) const;
    // 0 done; -1 when a slot of a plain volume was not found or the NextSlun
    // chain of an LU type 13 volume comes back to one of its SLUs.
    int getSluIndexListInOlu(int oluIndex, Array<int>& list) const;
    int getDiskIndexListInRlu(int rluIndex, disk_idx_list_in_rlu* out) const;
    // Disk entries holding a disk (status low byte not 2), in table order;
    // null without an image. Kept with the image, not copied.
    const std::vector<int>* getOccupiedDiskIndexes() const;
    int getRaidDiskCount(int rluIndex) const;
    int getRaidHSDiskCount(int rluIndex) const;
    // which 1: OlbaCount, 0: SlbaCount.
    std::uint64_t getTotalLbaCount(int rluIndex, int which) const;
    std::uint64_t getTotalOlbaCount(int rluIndex) const { return getTotalLbaCount(rluIndex, 1); }
    std::uint64_t getTotalSlbaCount(int rluIndex) const { return getTotalLbaCount(rluIndex, 0); }
    std::uint64_t getLxrpPoolLbaCount(int lxrpIndex) const;
    std::uint8_t getLxrpRaidLevel(int lxrpIndex, int* tppIndex) const;
    std::uint64_t getDiskBlockCount(int diskIndex) const;

    // ---- status derivation ----
    enum SmisStatusKind : int {
        SMIS_STS_PARTS = 16,
        SMIS_STS_CA_PORT = 17,
        SMIS_STS_DISK = 32,
        SMIS_STS_DISK_EXTENT = 33,
        SMIS_STS_RLU = 49,
        SMIS_STS_SLU = 50,
        SMIS_STS_OLU = 51,
        SMIS_STS_MLU = 52,
        SMIS_STS_TPP = 53,
        SMIS_STS_LXRP = 54,
    };
    int cms_get_smis_status(int kind, unsigned long id1, unsigned long id2, int* first, int* second) const;
    int getPSUSMISStatus(unsigned long itemId, int* first, int* second = nullptr) const;
    int getBBUSMISStatus(unsigned long itemId, int* first, int* second = nullptr) const;
    int getCASMISStatus(unsigned long itemId, int* first, int* second = nullptr) const;
    int getCMSMISStatus(unsigned long itemId, int* first, int* second = nullptr) const;
    int getEXPSMISStatus(unsigned long itemId, int* first, int* second = nullptr) const;
    int getFANSMISStatus(unsigned long itemId, int* first, int* second = nullptr) const;
    int getCAPortSMISStatus(unsigned long caItemId, int portIndex, int* first, int* second = nullptr) const;
    int getDiskSMISStatus(unsigned long itemId, int* first, int* second = nullptr) const;
    int getDiskExtentSMISStatus(unsigned long itemId, int* first, int* second = nullptr) const;
    int getRluSMISStatus(int rluIndex, int* first, int* second = nullptr) const;
    int getSluSMISStatus(int sluIndex, int* first, int* second = nullptr) const;
    int getOluSMISStatus(int oluIndex, int* first, int* second = nullptr) const;
    int getMluSMISStatus(int mluIndex, int* first, int* second = nullptr) const;
    int getTppSMISStatus(int tppIndex, int* first, int* second = nullptr) const;
    int getLxrpSMISStatus(int lxrpIndex, int* first, int* second = nullptr) const;

    // Pool status of a thin pool (0xFFFF without member RAID groups) and of
    // a tiering pool, before conversion.
    int get_pool_status(int tppIndex) const;
    int get_lxrp_status(int lxrpIndex) const;
    // User capacity in blocks of the disk with the item id; all ones when
    // the id is not a disk's.
    std::uint64_t cms_get_user_disk_lba(unsigned long itemId) const;

    // Conversion tables (pair written to first and second).
    static void cms_cnv_smis_sts_parts_port(unsigned status, int& first, int& second);
    static void cms_cnv_smis_sts_disks(unsigned status, int& first, int& second);
    static void cms_cnv_smis_sts_extent(unsigned status, int& first, int& second);
    static void cms_cnv_smis_sts_rlu_dlu(unsigned status, int& first, int& second);
    static void cms_cnv_smis_sts_olu_slu(unsigned status, int& first, int& second);
    static void cms_cnv_smis_sts_tpp_lxrp(unsigned status, int& first, int& second);
    static int config_sub_sts_priority_pool(int subStatus);
    static int config_sub_sts_priority_lxsp(int status);

private:
    // The shared index of the bound image (NULL without one).
    const VELDARO_TableIndex* _lookupIndex() const;
    int config_sub_sts_change_pool(int rluIndex) const;
    int firstSluStatusLow(int rluIndex) const;

    mutable std::shared_ptr<const VELDARO_TableIndex> _index;
