#pragma once
// The one list of VELDARO_RefTable's table getters. Each row names the
// getter, how it is addressed, and the image table and field it reads (see
// CMT_Layout.h); VELDARO_RefTable.h declares and VELDARO_RefTable.cpp defines
// every getter from these rows.
//
// Addressing:
//   A0  no index               img.Table().Field()
//   A1  (int i)                img.Table(i).Field()
//   A2  (int i, int j)         img.Table(i, j).Field()     CA port, SFP, CM memory
//   SL  (int i, int slot)      img.Table(i).Field(slot)    slot arrays of an entry
//
// Field getters return the field widened to the row's type (never narrowed:
// VELDARO_RefTable.cpp checks it). Text getters finish the fixed-width text
// by cutting it at the first byte of 0x80 or more and then removing trailing
// BLANK (' '), HASH ('#') or nothing (CUT). Formatted getters write WWN and
// MAC bytes as upper-case hex (HEX) or 4 address bytes as dotted decimal (IPV4).

// F(addressing, getter, type, table, field)
#define VELDARO_REFTABLE_FIELD_GETTERS(F)                                                  \
    /* CM table and CM detail */                                                           \
    F(A1, getCMItemId, std::uint32_t, CM, ItemId)                                          \
    F(A1, getCMStatus, std::uint16_t, CM, Status)                                          \
    F(A1, getCMFactor, std::uint16_t, CM, Factor)                                          \
    F(A1, getCMModuleId, std::uint8_t, CM, ModuleId)                                       \
    F(A1, getCMRole, std::uint8_t, CM, Role)                                               \
    F(A1, getCMPairCMCPUMID, std::uint8_t, CM, PairCMCPUMID)                               \
    F(A1, getCMLANRole, std::uint8_t, CM, LANRole)                                         \
    F(A1, getCMMasterCPUMid, std::uint8_t, CMDetail, MasterCPUMid)                         \
    /* CA table */                                                                         \
    F(A1, getCAItemId, std::uint32_t, CA, ItemId)                                          \
    F(A1, getCAStatus, std::uint16_t, CA, Status)                                          \
    F(A1, getCAFactor, std::uint16_t, CA, Factor)                                          \
    F(A1, getCAModuleId, std::uint8_t, CA, ModuleId)                                       \
    F(A1, getCAType, std::uint16_t, CA, Type)                                              \
    F(A1, getCARealType, std::uint16_t, CA, RealType)                                      \
    /* CA ports (CA index, port index) */                                                  \
    F(A2, getCAPortStatus, std::uint16_t, CAPort, Status)                                  \
    F(A2, getCAPortFactor, std::uint8_t, CAPort, Factor)                                   \
    F(A2, getCAPortNo, std::uint8_t, CAPort, PortNo)                                       \
    F(A2, getCAPortSecurityMode, std::uint8_t, CAPort, SecurityMode)                       \
    F(A2, getCAPortTransferRate, std::uint8_t, CAPort, TransferRate)                       \
    F(A2, getCAPortRAMode, std::uint8_t, CAPort, RAMode)                                   \
    F(A2, getCAPortLuResetScope, std::uint8_t, CAPort, LuResetScope)                       \
    F(A2, getCAPortReserveCancel, std::uint8_t, CAPort, ReserveCancel)                     \
    F(A2, getCAPortHostConnection, std::uint8_t, CAPort, HostConnection)                   \
    F(A2, getCAPortMethod, std::uint8_t, CAPort, Method)                                   \
    F(A2, getCAPortLoopID, std::uint8_t, CAPort, LoopID)                                   \
    F(A2, getCAPortClass, std::uint8_t, CAPort, Class)                                     \
    F(A2, getCAPortFCFrameSize, std::uint16_t, CAPort, FCFrameSize)                        \
    F(A2, getCAPortTCPPortNo, std::uint16_t, CAPort, TCPPortNo)                            \
    F(A2, getCAPortiSCSIOption, std::uint16_t, CAPort, iSCSIOption)                        \
    F(A2, getCAPortMaxConnections, std::uint16_t, CAPort, MaxConnections)                  \
    F(A2, getCAPortTaskRetainTime, std::uint16_t, CAPort, TaskRetainTime)                  \
    F(A2, getCAPortReconnectionWaitTime, std::uint16_t, CAPort, ReconnectionWaitTime)      \
    F(A2, getCAPortMaxBurstLength, std::uint32_t, CAPort, MaxBurstLength)                  \
    F(A2, getCAPortMaxReceiveDataSegmentLength, std::uint32_t, CAPort, MaxReceiveDataSegmentLength) \
    F(A2, getCAPortHeaderDigest, std::uint8_t, CAPort, HeaderDigest)                       \
    F(A2, getCAPortDataDigest, std::uint8_t, CAPort, DataDigest)                           \
    F(A2, getCAPortErrorRecoveryLevel, std::uint8_t, CAPort, ErrorRecoveryLevel)           \
    /* CM memory (CM index, memory index) */                                               \
    F(A2, getCMMemoryItemId, std::uint32_t, CMMemory, ItemId)                              \
    F(A2, getCMMemoryStatus, std::uint16_t, CMMemory, Status)                              \
    F(A2, getCMMemorySize, std::uint64_t, CMMemory, Size)                                  \
    /* FAN, BBU, CPSU, DPSU, EXP, DE, CE */                                                \
    F(A1, getFANItemId, std::uint32_t, FAN, ItemId)                                        \
    F(A1, getFANStatus, std::uint16_t, FAN, Status)                                        \
    F(A1, getBBUItemId, std::uint32_t, BBU, ItemId)                                        \
    F(A1, getBBUStatus, std::uint16_t, BBU, Status)                                        \
    F(A1, getBBUFactor, std::uint16_t, BBU, Factor)                                        \
    F(A1, getBBUCapacity, std::uint8_t, BBU, Capacity)                                     \
    F(A1, getCPSUItemId, std::uint32_t, CPSU, ItemId)                                      \
    F(A1, getCPSUStatus, std::uint16_t, CPSU, Status)                                      \
    F(A1, getCPSUFactor, std::uint16_t, CPSU, Factor)                                      \
    F(A1, getDPSUItemId, std::uint32_t, DPSU, ItemId)                                      \
    F(A1, getDPSUStatus, std::uint16_t, DPSU, Status)                                      \
    F(A1, getDPSUFactor, std::uint16_t, DPSU, Factor)                                      \
    F(A1, getEXPItemId, std::uint32_t, EXP, ItemId)                                        \
    F(A1, getEXPStatus, std::uint16_t, EXP, Status)                                        \
    F(A1, getEXPFactor, std::uint16_t, EXP, Factor)                                        \
    F(A1, getEXPDETableNo, std::uint8_t, EXP, DETableNo)                                   \
    F(A1, getDEStatus, std::uint16_t, DE, Status)                                          \
    F(A1, getDEDeId, std::uint8_t, DE, DeId)                                               \
    F(A1, getDEDiskCount, std::uint8_t, DE, DiskCount)                                     \
    F(A1, getDEInletFactor, std::uint16_t, DEInlet, Factor)                                \
    F(A1, getDEOutletFactor, std::uint16_t, DEOutlet, Factor)                              \
    F(A0, getCEInletFactor, std::uint16_t, CE, InletFactor)                                \
    F(A0, getCEOutletFactor, std::uint16_t, CE, OutletFactor)                              \
    /* disk table */                                                                       \
    F(A1, getDiskItemId, std::uint32_t, Disk, ItemId)                                      \
    F(A1, getDiskStatus, std::uint16_t, Disk, Status)                                      \
    F(A1, getDiskFactor, std::uint16_t, Disk, Factor)                                      \
    F(A1, getDiskPlun, std::uint16_t, Disk, Plun)                                          \
    F(A1, getDiskDlun, std::uint16_t, Disk, Dlun)                                          \
    F(A1, getDiskUsage, std::uint8_t, Disk, Usage)                                         \
    F(A1, getDiskKind, std::uint8_t, Disk, Kind)                                           \
    F(A1, getDiskCapacity, std::uint16_t, Disk, Capacity)                                  \
    F(A1, getDiskRotation, std::uint16_t, Disk, Rotation)                                  \
    F(A1, getDiskDedicatedHSRlun, std::uint16_t, Disk, DedicatedHSRlun)                    \
    F(A1, getDiskWholeBlockCount, std::uint64_t, Disk, WholeBlockCount)                    \
    /* system record */                                                                    \
    F(A0, getSysModelTypeFull, std::uint8_t, Sys, ModelType)                               \
    /* OLU table */                                                                        \
    F(A1, getOluOlun, std::uint16_t, OLU, Olun)                                            \
    F(A1, getOluStatus, std::uint16_t, OLU, Status)                                        \
    F(A1, getOluSluCount, std::uint8_t, OLU, SluCount)                                     \
    F(SL, getOluSlun, std::uint16_t, OLU, Slun)                                            \
    F(A1, getOluOlbaCount, std::uint64_t, OLU, OlbaCount)                                  \
    F(A1, getOluThreshold, std::uint8_t, OLU, Threshold)                                   \
    /* MLU table */                                                                        \
    F(A1, getMluMlun, std::uint16_t, MLU, Mlun)                                            \
    F(A1, getMluStatus, std::uint16_t, MLU, Status)                                        \
    F(A1, getMluSlun, std::uint16_t, MLU, Slun)                                            \
    /* SLU table */                                                                        \
    F(A1, getSluSlun, std::uint16_t, SLU, Slun)                                            \
    F(A1, getSluStatus, std::uint16_t, SLU, Status)                                        \
    F(A1, getLuType, std::uint8_t, SLU, LuType)                                            \
    F(A1, getSluRlun, std::uint16_t, SLU, Rlun)                                            \
    F(A1, getSluMlun, std::uint16_t, SLU, Mlun)                                            \
    F(A1, getSluOlun, std::uint16_t, SLU, Olun)                                            \
    F(A1, getSluSDPID, std::uint8_t, SLU, SDPID)                                           \
    F(A1, getSluStartRlba, std::uint64_t, SLU, StartRlba)                                  \
    F(A1, getSluStartOlba, std::uint64_t, SLU, StartOlba)                                  \
    F(A1, getOlbaCount, std::uint64_t, SLU, OlbaCount)                                     \
    F(A1, getSlbaCount, std::uint64_t, SLU, SlbaCount)                                     \
    F(A1, getVirtualOlbaCount, std::uint64_t, SLU, VirtualOlbaCount)                       \
    F(A1, getSluNextSlun, std::uint16_t, SLU, NextSlun)                                    \
    /* RLU table */                                                                        \
    F(A1, getRluRlun, std::uint16_t, RLU, Rlun)                                            \
    F(A1, getRluStatus, std::uint16_t, RLU, Status)                                        \
    F(A1, getRaidLevel, std::uint8_t, RLU, RaidLevel)                                      \
    F(A1, getRluMode, std::uint8_t, RLU, Mode)                                             \
    F(A1, getRluBlockade, std::uint8_t, RLU, Blockade)                                     \
    F(A1, getRluCurrentCMMID, std::uint8_t, RLU, CurrentCMMID)                             \
    F(A1, getRluPoolNumber, std::uint16_t, RLU, PoolNumber)                                \
    F(A1, getRlbaCount, std::uint64_t, RLU, RlbaCount)                                     \
    F(A1, getRluStripeSize, std::uint32_t, RLU, StripeSize)                                \
    F(A1, getRluSluCount, std::uint8_t, RLU, SluCount)                                     \
    F(SL, getRluSlun, std::uint16_t, RLU, Slun)                                            \
    F(A1, getRluMemberDiskCount, std::uint8_t, RLU, MemberDiskCount)                       \
    F(SL, getRluDlun, std::uint16_t, RLU, Dlun)                                            \
    /* DLU table */                                                                        \
    F(A1, getDluDlun, std::uint16_t, DLU, Dlun)                                            \
    F(A1, getDluStatus, std::uint16_t, DLU, Status)                                        \
    F(A1, getDluRlun, std::uint16_t, DLU, Rlun)                                            \
    F(A1, getDluMemberDiskNumber, std::uint8_t, DLU, MemberDiskNumber)                     \
    F(A1, getDluBlockCount, std::uint64_t, DLU, BlockCount)                                \
    F(A1, getDluMemberDiskCount, std::uint8_t, DLU, MemberDiskCount)                       \
    F(SL, getDluUsePlu, std::uint16_t, DLU, UsePlu)                                        \
    /* map, LUN map and affinity group tables */                                           \
    F(A1, getMapCAModuleID, std::uint8_t, Map, CAModuleID)                                 \
    F(A1, getMapCAPortNo, std::uint8_t, Map, CAPortNo)                                     \
    F(A1, getMapLUNMappingNo, std::uint16_t, Map, LUNMappingNo)                            \
    F(A1, getMapValidCnt, std::uint8_t, Map, ValidCnt)                                     \
    F(SL, getMapHostWWNTableNo, std::uint16_t, Map, HostWWNTableNo)                        \
    F(SL, getMapAffinityTableNo, std::uint16_t, Map, AffinityTableNo)                      \
    F(A1, getLUNMapLUNMappingNumber, std::uint16_t, LUNMap, LUNMappingNumber)              \
    F(A1, getLUNMapDefinition, std::uint8_t, LUNMap, Definition)                           \
    F(SL, getLUNMapOlun, std::uint16_t, LUNMap, Olun)                                      \
    F(A1, getAffinityGroupNumber, std::uint16_t, Affinity, GroupNumber)                    \
    F(A1, getAffinityDefinition, std::uint8_t, Affinity, Definition)                       \
    F(A1, getAffinityPrevNumber, std::uint16_t, Affinity, PrevNumber)                      \
    F(A1, getAffinityNextNumber, std::uint16_t, Affinity, NextNumber)                      \
    F(SL, getAffinityOlun, std::uint16_t, Affinity, Olun)                                  \
    /* host tables */                                                                      \
    F(A1, getHostValidFlag, std::uint8_t, Host, ValidFlag)                                 \
    F(A1, getHostType, std::uint8_t, Host, Type)                                           \
    F(A1, getHostResponseTableNum, std::uint16_t, Host, ResponseTableNum)                  \
    F(A1, getiSCSIHostValidFlag, std::uint8_t, iSCSIHost, ValidFlag)                       \
    F(A1, getiSCSIHostResponseTableNum, std::uint16_t, iSCSIHost, ResponseTableNum)        \
    /* pools */                                                                            \
    F(A1, getTppPoolNumber, std::uint16_t, TPP, PoolNumber)                                \
    F(A1, getTppRaidLevel, std::uint8_t, TPP, RaidLevel)                                   \
    F(A1, getTppMemDiskCnt, std::uint8_t, TPP, MemDiskCnt)                                 \
    F(A1, getTppMaxPoolLbaCount, std::uint64_t, TPP, MaxPoolLbaCount)                      \
    F(A1, getTppThreshold_Y, std::uint8_t, TPP, Threshold_Y)                               \
    F(A1, getTppThreshold_R, std::uint8_t, TPP, Threshold_R)                               \
    F(A1, getTppLxrpNumber, std::uint8_t, TPP, LxrpNumber)                                 \
    F(A1, getLxrpValidFlag, std::uint8_t, LXRP, ValidFlag)                                 \
    F(A1, getLxrpPoolNumber, std::uint16_t, LXRP, PoolNumber)                              \
    F(A1, getLxrpThreshold_Y, std::uint8_t, LXRP, Threshold_Y)                             \
    F(A1, getLxrpThreshold_R, std::uint8_t, LXRP, Threshold_R)                             \
    F(A1, getLxrpSubPoolCnt, std::uint8_t, LXRP, SubPoolCnt)                               \
    F(SL, getLxrpSubPoolNumber, std::uint16_t, LXRP, SubPoolNumber)                        \
    /* connection map */                                                                   \
    F(A1, getConnectionMapCAType, std::uint8_t, ConnectionMap, CAType)                     \
    F(A1, getConnectionMapRemotePathNo, std::uint8_t, ConnectionMap, RemotePathNo)

// F(addressing, getter, finish, table, field)
#define VELDARO_REFTABLE_TEXT_GETTERS(F)                                                   \
    F(A1, getCMPartsNo, BLANK, CMDetail, PartsNo)                                          \
    F(A1, getCMSerialNo, BLANK, CMDetail, SerialNo)                                        \
    F(A1, getCMHardRevision, BLANK, CMDetail, HardRevision)                                \
    F(A1, getCABOARDPartsNo, BLANK, CADetail, BoardPartsNo)                                \
    F(A1, getCABOARDSerialNo, BLANK, CADetail, BoardSerialNo)                              \
    F(A1, getCABOARDRevision, BLANK, CADetail, BoardRevision)                              \
    F(A2, getSFPPartsNo, BLANK, SFP, PartsNo)                                              \
    F(A2, getSFPSerialNo, BLANK, SFP, SerialNo)                                            \
    F(A2, getSFPRevision, BLANK, SFP, Revision)                                            \
    F(A2, getCMMemoryPartNo, BLANK, CMMemory, PartNo)                                      \
    F(A2, getCMMemorySerialNo, BLANK, CMMemory, SerialNo)                                  \
    F(A2, getCMMemoryRevision, BLANK, CMMemory, Revision)                                  \
    F(A1, getBBUPartsNo, BLANK, BBU, PartsNo)                                              \
    F(A1, getBBUSerialNo, BLANK, BBU, SerialNo)                                            \
    F(A1, getBBURevision, BLANK, BBU, Revision)                                            \
    F(A0, getCEPartsNo, BLANK, CE, PartsNo)                                                \
    F(A0, getCESerialNo, BLANK, CE, SerialNo)                                              \
    F(A0, getCERevision, BLANK, CE, Revision)                                              \
    F(A1, getCPSUPartsNo, BLANK, CPSU, PartsNo)                                            \
    F(A1, getCPSUSerialNo, BLANK, CPSU, SerialNo)                                          \
    F(A1, getCPSURevision, BLANK, CPSU, Revision)                                          \
    F(A1, getDEPartsNo, BLANK, DE, PartsNo)                                                \
    F(A1, getDESerialNo, BLANK, DE, SerialNo)                                              \
    F(A1, getDERevision, BLANK, DE, Revision)                                              \
    F(A1, getEXPPartsNo, BLANK, EXP, PartsNo)                                              \
    F(A1, getEXPSerialNo, BLANK, EXP, SerialNo)                                            \
    F(A1, getEXPRevision, BLANK, EXP, Revision)                                            \
    F(A1, getDPSUPartsNo, BLANK, DPSU, PartsNo)                                            \
    F(A1, getDPSUSerialNo, BLANK, DPSU, SerialNo)                                          \
    F(A1, getDPSURevision, BLANK, DPSU, Revision)                                          \
    F(A1, getDiskVenderId, BLANK, Disk, VenderId)                                          \
    F(A1, getDiskProductId, BLANK, Disk, ProductId)                                        \
    F(A1, getDiskRevision, BLANK, Disk, Revision)                                          \
    F(A1, getDiskSerialNo, BLANK, Disk, SerialNo)                                          \
    F(A0, getSysProductID, BLANK, Sys, ProductID)                                          \
    F(A0, getSysSeriesName, HASH, Sys, SeriesName)                                         \
    F(A0, getSysModelName, HASH, Sys, ModelName)                                           \
    F(A0, getSysSerialNumber, HASH, Sys, SerialNumber)                                     \
    F(A2, getCAPortiSCSIName, CUT, CAPort, iSCSIName)                                      \
    F(A2, getCAPortAliasName, CUT, CAPort, AliasName)                                      \
    F(A0, getSysBoxID, CUT, Sys, BoxID)                                                    \
    F(A0, getSysVenderID, CUT, Sys, VenderID)                                              \
    F(A0, getSysFriendlyName, CUT, Sys, FriendlyName)                                      \
    F(A0, getSysManagerName, CUT, Management, ManagerName)                                 \
    F(A0, getSysPosition, CUT, Management, Position)                                       \
    F(A1, getOLUName, CUT, OLU, Name)                                                      \
    F(A1, getRLUName, CUT, RLU, Name)                                                      \
    F(A1, getAffinityGroupName, CUT, Affinity, GroupName)                                  \
    F(A1, getHostName, CUT, Host, Name)                                                    \
    F(A1, getiSCSIHostiSCSIName, CUT, iSCSIHost, iSCSIName)                                \
    F(A1, getiSCSIHostFriendlyName, CUT, iSCSIHost, FriendlyName)                          \
    F(A1, getTppPoolName, CUT, TPP, PoolName)                                              \
    F(A1, getLxrpPoolName, CUT, LXRP, PoolName)                                            \
    F(A1, getRemotePathBoxID, CUT, RemotePath, BoxID)                                      \
    F(A1, getConnectionMapiSCSIName, CUT, ConnectionMap, iSCSIName)

// F(addressing, getter, format, table, field)
#define VELDARO_REFTABLE_FORMATTED_GETTERS(F)                                              \
    F(A2, getCAPortWwn, HEX, CAPort, Wwn)                                                  \
    F(A0, getSysNodeWWN, HEX, Sys, NodeWWN)                                                \
    F(A1, getHostWWN, HEX, Host, WWN)                                                      \
    F(A1, getConnectionMapWWN, HEX, ConnectionMap, WWN)                                    \
    F(A2, getCAPortMacAddress, HEX, CAPort, MacAddress)                                    \
    F(A2, getiSCSI_IPAddress, IPV4, CAPort, IPAddress)                                     \
    F(A2, getCAPortiSCSISubnetMask, IPV4, CAPort, iSCSISubnetMask)                         \
    F(A1, getiSCSIHostiSCSIIPAddress, IPV4, iSCSIHost, iSCSIIPAddress)                     \
    F(A1, getConnectionMapIPAddress, IPV4, ConnectionMap, IPAddress)

// Parameter lists and image access of each addressing.
#define VELDARO_REFTABLE_PARAMS_A0
#define VELDARO_REFTABLE_PARAMS_A1 int i
#define VELDARO_REFTABLE_PARAMS_A2 int i, int j
#define VELDARO_REFTABLE_PARAMS_SL int i, int j
#define VELDARO_REFTABLE_READ_A0(img, Table, Field) (img).Table().Field()
#define VELDARO_REFTABLE_READ_A1(img, Table, Field) (img).Table(_ix(i)).Field()
#define VELDARO_REFTABLE_READ_A2(img, Table, Field) (img).Table(_ix(i), _ix(j)).Field()
#define VELDARO_REFTABLE_READ_SL(img, Table, Field) (img).Table(_ix(i)).Field(_ix(j))
