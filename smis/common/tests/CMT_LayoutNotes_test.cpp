// The wire notes (docs/wire/config-tables.md) and the layouts in the code
// must not drift: every field row of a table id's section names a field of
// that id's layouts at the same offset and of the same type, and every
// field of those layouts has its row.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "CMT_Layout.h"

namespace {

using Fields = std::span<const CMT_FieldDesc>;
template <class L>
Fields fieldsOf() {
    return Fields(L::FIELD_LIST, std::size(L::FIELD_LIST));
}

struct Layout {
    const char* name;
    Fields fields;
    bool complete;  // every field must have a row
};

// Layouts of each table id section, as the notes describe them.
std::map<int, std::vector<Layout>> layouts() {
    return {
        {1, {{"Global", fieldsOf<CMT_Global>(), true}}},
        {2, {{"CM", fieldsOf<CMT_CM>(), true}}},
        {3, {{"CA", fieldsOf<CMT_CA>(), true}}},
        {4, {{"MgmtInfo", fieldsOf<CMT_MgmtInfo>(), true}}},
        {5, {{"CMMemory", fieldsOf<CMT_CMMemory>(), true}}},
        {6, {{"CE", fieldsOf<CMT_CE>(), true}}},
        {7, {{"DE", fieldsOf<CMT_DE>(), true}}},
        {8, {{"DiskRecord", fieldsOf<CMT_DiskRecord>(), true}, {"Disk", fieldsOf<CMT_Disk>(), true}}},
        {9, {{"Sys", fieldsOf<CMT_Sys>(), true}}},
        {10, {{"OLU", fieldsOf<CMT_OLU>(), true}}},
        {11, {{"SLU", fieldsOf<CMT_SLU>(), true}}},
        {12, {{"RLU", fieldsOf<CMT_RLU>(), true}}},
        {13, {{"DLU", fieldsOf<CMT_DLU>(), true}}},
        {14, {{"Map", fieldsOf<CMT_Map>(), true}}},
        {16, {{"HostRecord", fieldsOf<CMT_HostRecord>(), true}}},
        {17, {{"iSCSIHostRecord", fieldsOf<CMT_iSCSIHostRecord>(), true}}},
        {18, {{"FirmwareRecord", fieldsOf<CMT_FirmwareRecord>(), true}}},
        {20, {{"SensorRecord", fieldsOf<CMT_SensorRecord>(), true}}},
        {22, {{"DESensor", fieldsOf<CMT_DESensor>(), true}}},
        {24, {{"CMDetailRecord", fieldsOf<CMT_CMDetailRecord>(), true}, {"CMDetail", fieldsOf<CMT_CMDetail>(), true}}},
        {26, {{"MLU", fieldsOf<CMT_MLU>(), true}}},
        {27, {{"CADetailRecord", fieldsOf<CMT_CADetailRecord>(), true}, {"CAPort", fieldsOf<CMT_CAPort>(), true},
              {"SFP", fieldsOf<CMT_SFP>(), true}}},
        {28, {{"Unit", fieldsOf<CMT_Unit>(), true}, {"BBU", fieldsOf<CMT_BBU>(), true}}},
        {33, {{"EXP", fieldsOf<CMT_EXP>(), true}}},
        {34, {{"DPSU", fieldsOf<CMT_DPSU>(), true}}},
        {35, {{"LUNMap", fieldsOf<CMT_LUNMap>(), true}}},
        {36, {{"Affinity", fieldsOf<CMT_Affinity>(), true}}},
        {37, {{"Management", fieldsOf<CMT_Management>(), true}}},
        {39, {{"Table39", fieldsOf<CMT_Table39>(), true}}},
        {40, {{"Table40", fieldsOf<CMT_Table40>(), true}}},
        {41, {{"RemotePath", fieldsOf<CMT_RemotePath>(), true}}},
        {42, {{"ConnectionMap", fieldsOf<CMT_ConnectionMap>(), true}}},
        {43, {{"TPP", fieldsOf<CMT_TPP>(), true}}},
        {44, {{"SDP", fieldsOf<CMT_SDP>(), true}}},
        {45, {{"LXRP", fieldsOf<CMT_LXRP>(), true}}},
        {46, {{"LanRecord", fieldsOf<CMT_LanRecord>(), true}, {"LanPort", fieldsOf<CMT_LanPort>(), true}}},
    };
}

std::string docType(const CMT_FieldDesc& f) {
    switch (f.kind) {
        case 'u': return "u" + std::to_string(f.size * 8);
        case 't': return "char[" + std::to_string(f.size) + "]";
        case 'r': return "byte[" + std::to_string(f.size) + "]";
        default:
            if (f.size == 2 && f.stride == 2) return "u16[" + std::to_string(f.count) + "]";
            return "u" + std::to_string(f.size * 8);  // strided arrays are documented per element
    }
}

std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream ss(line.substr(1));
    std::string c;
    while (std::getline(ss, c, '|')) {
        auto b = c.find_first_not_of(' '), e = c.find_last_not_of(' ');
        out.push_back(b == std::string::npos ? "" : c.substr(b, e - b + 1));
    }
    return out;
}

// A documented field: name, offset, type.
struct Row {
    std::string name;
    std::size_t offset;
    std::string type;
};

TEST(CMT_LayoutNotes, NotesAndLayoutsAgree) {
    const std::string src = SMIS_SOURCE_DIR;
    std::ifstream in(src + "/docs/wire/config-tables.md");
    ASSERT_TRUE(in.good()) << src;

    const std::regex section(R"(^## Id (\d+)\b)");
    const std::regex type(R"(^(u8|u16|u32|u64|char\[\d+\]|byte\[\d+\]|u16\[\d+\])$)");
    const std::regex offset(R"(^(\d+)( \+ .*)?$)");
    std::map<int, std::vector<Row>> rows;
    int current = -1;
    std::string line;
    while (std::getline(in, line)) {
        std::smatch m;
        if (std::regex_search(line, m, section)) {
            current = std::stoi(m[1]);
            continue;
        }
        if (current < 0 || line.rfind("|", 0) != 0) continue;
        std::vector<std::string> c = cells(line);
        // "Offset | Type | Field" rows, or "Record | Image | Type | Field" rows.
        std::vector<std::pair<std::string, std::string>> offsets;  // offset cell, type cell
        std::string field;
        if (c.size() >= 3 && std::regex_match(c[1], type)) {
            offsets.push_back({c[0], c[1]});
            field = c[2];
        } else if (c.size() >= 4 && std::regex_match(c[2], type)) {
            offsets.push_back({c[0], c[2]});
            offsets.push_back({c[1], c[2]});
            field = c[3];
        } else {
            continue;
        }
        std::string name = field.substr(0, field.find(' '));
        for (auto& [off, t] : offsets) {
            std::smatch om;
            if (std::regex_match(off, om, offset)) rows[current].push_back({name, std::stoul(om[1]), t});
        }
    }

    for (const auto& [id, ls] : layouts()) {
        SCOPED_TRACE("table id " + std::to_string(id));
        const std::vector<Row>& documented = rows[id];
        EXPECT_FALSE(documented.empty());
        for (const Row& r : documented) {
            bool found = false;
            for (const Layout& l : ls)
                for (const CMT_FieldDesc& f : l.fields)
                    if (r.name == f.name && r.offset == f.offset && r.type == docType(f)) found = true;
            EXPECT_TRUE(found) << "row " << r.name << " at " << r.offset << " (" << r.type << ") has no field";
        }
        for (const Layout& l : ls) {
            if (!l.complete) continue;
            for (const CMT_FieldDesc& f : l.fields) {
                bool found = false;
                for (const Row& r : documented)
                    if (r.name == f.name && r.offset == f.offset && r.type == docType(f)) found = true;
                EXPECT_TRUE(found) << l.name << "." << f.name << " at " << f.offset << " (" << docType(f)
                                   << ") is not in the notes";
            }
        }
    }
}

}  // namespace
