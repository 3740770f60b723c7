#pragma once
// Writes the cached copy-session file of an array (one table of 96-byte
// SMIS_COPY_SESSION_INFO records) for provider tests; write it before the
// cache is made (ElementProviderFixture::install).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "SMIS_CMT.h"
#include "SMIS_CMTFile.h"
#include "SMIS_COPY_SESSION_INFO.h"

namespace smis::test {

inline void installCopySessions(const std::string& address, const std::vector<SMIS_COPY_SESSION_INFO>& sessions)
{
    SMIS_CMT cps;
    SMIS_INDEX e;
    e.TableId = 0;
    e.Byte1 = 1;
    e.ElementCount = static_cast<std::uint32_t>(sessions.size());
    e.ElementSize = sizeof(SMIS_COPY_SESSION_INFO);
    e.data.assign(sessions.size() * sizeof(SMIS_COPY_SESSION_INFO), 0);
    for (size_t i = 0; i < sessions.size(); ++i)
        std::memcpy(e.data.data() + i * sizeof(SMIS_COPY_SESSION_INFO), &sessions[i], sizeof(SMIS_COPY_SESSION_INFO));
    cps.index.push_back(e);
    cps.header[1] = 1;
    ASSERT_TRUE(SMIS_CMTFile::makeDataDirectory());
    ASSERT_EQ(SMIS_CMTFile::WriteCMTFilePath(
                  SMIS_CMTFile::defaultPath(address, SMIS_CMTFile::KIND_CPS), cps),
              0);
}

// A remote mirror record: remoteSource set when the remote volume is the
// copy source; box is padded with blanks to 40 characters.
inline SMIS_COPY_SESSION_INFO xmirrex(std::uint16_t id, std::int16_t src, std::int16_t dst, bool remoteSource,
                                      const std::string& box, std::uint8_t volumeType = 1, std::uint32_t total = 0)
{
    SMIS_COPY_SESSION_INFO r{};
    r.SessionId = id;
    r.CopyType = 2;
    r.VolumeType = volumeType;
    r.SourceVolume = src;
    r.DestinationVolume = dst;
    r.Value28 = total;
    std::memset(r.RemoteBoxId, ' ', sizeof r.RemoteBoxId);
    std::memcpy(r.RemoteBoxId, box.data(), std::min(box.size(), sizeof r.RemoteBoxId));
    r.SessionState = 2;
    r.SessionPhase = 1;
    r.RemoteSide = remoteSource ? 1 : 0;
    return r;
}

}  // namespace smis::test
