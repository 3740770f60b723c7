// The provider generator refuses a table that would give a wrong module,
// and ties the hand-written mark to the provider's own source file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string real_table()
{
    std::ifstream in(PROVIDERS_TABLE);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string replace(std::string text, const std::string& from, const std::string& to)
{
    size_t pos = text.find(from);
    EXPECT_NE(pos, std::string::npos) << from;
    if (pos != std::string::npos)
        text.replace(pos, from.size(), to);
    return text;
}

struct Check {
    int status = -1;
    std::string output;
};

// Runs the generator's check on a table, with a sources folder laid out as
// the tree's (each provider file in its concern's folder, but left_out) that
// holds the given hand-written provider files, in a folder of their own,
// besides those the tree already has.
Check run_check(const std::string& table, const std::vector<std::string>& sources = {},
                const std::string& generated = {}, const std::string& left_out = {})
{
    static int counter = 0;
    fs::path dir = fs::path(testing::TempDir()) /
                   ("providers_check_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::create_directories(dir / "src" / "added");
    std::ofstream(dir / "providers.table") << table;
    const fs::path tree = fs::path(SMIS_SOURCE_DIR) / "smis" / "providers";
    for (const auto& e : fs::recursive_directory_iterator(tree))
        if (e.path().filename().string().ends_with("_Provider.cpp") && e.path().filename() != left_out) {
            const fs::path rel = fs::relative(e.path(), tree);
            fs::create_directories(dir / "src" / rel.parent_path());
            std::ofstream(dir / "src" / rel) << "\n";
        }
    for (const std::string& s : sources)
        std::ofstream(dir / "src" / "added" / s) << "\n";
    // With a generated file named, the generator writes the module and the
    // output is that file.
    const std::string mode = generated.empty() ? "--check" : "--out '" + (dir / "out").string() + "'";
    std::string cmd = std::string("'") + PROVIDERS_PYTHON + "' -B '" + PROVIDERS_GENERATOR + "' " + mode +
                      " --table '" + (dir / "providers.table").string() + "' --sources '" + (dir / "src").string() +
                      "' " + PROVIDERS_SCHEMA_ARGS + " 2>&1";
    Check r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (p) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p))
            r.output += buf;
        int st = ::pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    if (!generated.empty()) {
        std::ifstream in(dir / "out" / generated);
        std::stringstream text;
        text << in.rdbuf();
        r.output = text.str();
    }
    fs::remove_all(dir);
    return r;
}

TEST(GeneratorCheck, RealTablePasses)
{
    Check r = run_check(real_table());
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST(GeneratorCheck, RefusesBrokenTables)
{
    const std::string t = real_table();
    struct Case {
        const char* what;
        std::string table;
        const char* message;
    } cases[] = {
        {"a provider missing", replace(t, "CIM_HostedService ", "# CIM_HostedService "), "151 rows"},
        {"a provider twice", t + "CIM_HostedService association members=association-map\n", "listed twice"},
        {"unknown flag", replace(t, "CIM_BindsTo                                   association ",
                                 "CIM_BindsTo association shiny "),
         "unknown flag"},
        {"a lookup end the class lacks",
         replace(t, "get-from=Antecedent", "get-from=SourceElement"), "has no reference SourceElement"},
        {"a lookup end on an instance provider", replace(t, "VELDARO_Location                              instance",
                                                          "VELDARO_Location instance get-from=Name"),
         "only association providers look an instance up"},
        {"class not in the schema", replace(t, "VELDARO_Location ", "VELDARO_Locus "), "no class VELDARO_Locus"},
        {"method the class lacks", replace(t, "carries=CreateSetting", "carries=CreateSettings"),
         "has no method CreateSettings"},
        {"shapes swapped", replace(replace(t, "CIM_AlertIndication                           indication",
                                           "CIM_AlertIndication instance"),
                                   "VELDARO_Location                              instance",
                                   "VELDARO_Location indication"),
         "indication shape does not fit class VELDARO_Location"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Check r = run_check(c.table);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    }
}

// The first hand-written instance provider of the real table.
std::string hand_written_row(const std::string& table)
{
    std::istringstream in(table);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string cls, shape, flag;
        fields >> cls >> shape;
        if (cls.empty() || cls[0] == '#' || shape != "instance")
            continue;
        while (fields >> flag)
            if (flag == "hand-written")
                return line;
    }
    return {};
}

TEST(GeneratorCheck, HandWrittenMarkAndSourceFileGoTogether)
{
    const std::string table = real_table();
    const std::string row = hand_written_row(table);
    ASSERT_FALSE(row.empty());
    const std::string source = row.substr(0, row.find(' ')) + "_Provider.cpp";

    Check missing = run_check(table, {}, {}, source);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("does not exist"), std::string::npos) << missing.output;

    const std::string unmarked_row = replace(row, " hand-written", "");
    Check unmarked = run_check(replace(table, row + "\n", unmarked_row + "\n"));
    EXPECT_EQ(unmarked.status, 1);
    EXPECT_NE(unmarked.output.find("does not mark"), std::string::npos) << unmarked.output;
}

TEST(GeneratorCheck, HandWrittenParentProviderAnswersReferencesThroughItsFrame)
{
    Check r = run_check(real_table(), {}, "CIM_IsSpare_Provider.h");
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("return references(instance, role, &any); }"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("{ return associators(instance, result_class, role, result_role, handler); }"),
              std::string::npos);
}

} // namespace
