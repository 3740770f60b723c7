// The schema generator rejects sources that would give a broken repository.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

struct RunResult {
    int status;
    std::string output;
};

// Runs the generator in check mode on one source text.
RunResult runCheck(const std::string& source, const std::string& options = "")
{
    static int counter = 0;
    std::string path = testing::TempDir() + "schema_check_" + std::to_string(::getpid()) + "_" +
                       std::to_string(counter++) + ".schema";
    {
        std::ofstream out(path);
        out << source;
    }
    std::string cmd = std::string("'") + SCHEMA_PYTHON + "' -B '" + SCHEMA_GENSCHEMA + "' --check " +
                      options + " '" + path + "' 2>&1";
    RunResult r{-1, ""};
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        r.output += buf;
    int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::remove(path.c_str());
    return r;
}

const char* const kBase = R"(schema 2.18.1
class CIM_Root abstract
  string InstanceID key
  uint16 State = 5
class CIM_Thing : CIM_Root
  string Label
class CIM_Other : CIM_Root
class CIM_Link association
  ref CIM_Root Left key
  ref CIM_Root Right key
)";

TEST(GeneratorChecks, AcceptsAWellFormedSource)
{
    RunResult r = runCheck(std::string(kBase) + R"(class CIM_ThingLink : CIM_Link
  ref CIM_Thing Left override
  uint16 State
  method uint32 Frob
    in uint16 Mode required
    inout ref CIM_Thing[] Targets
    out string Blob embedded-instance=CIM_Thing
)");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST(GeneratorChecks, RejectsBrokenSources)
{
    struct Case {
        const char* what;
        std::string extra;   // appended to the base source
        const char* message; // part of the diagnostic
    };
    const Case cases[] = {
        {"missing superclass", "class CIM_X : CIM_Nowhere\n", "superclass CIM_Nowhere"},
        {"feature twice", "class CIM_X\n  string A\n  uint8 A\n", "declares A twice"},
        {"redeclared without override", "class CIM_X : CIM_Thing\n  string Label\n",
         "without override"},
        {"override of nothing", "class CIM_X : CIM_Thing\n  string Nothing override\n",
         "does not inherit"},
        {"override changes the type", "class CIM_X : CIM_Thing\n  uint32 Label override\n",
         "different type"},
        {"override with an unrelated class",
         "class CIM_L2 : CIM_Link\n  ref CIM_Link Left override\n", "not a subclass"},
        {"key on a method", "class CIM_X\n  method uint32 M key\n", "unknown method flag"},
        {"key on a parameter", "class CIM_X\n  method uint32 M\n    in uint16 P key\n",
         "unknown parameter flag"},
        {"key on an array", "class CIM_X\n  string[] Names key\n", "must be a scalar"},
        {"reference outside an association", "class CIM_X\n  ref CIM_Root R\n",
         "outside an association"},
        {"reference to a missing class", "class CIM_L3 : CIM_Link\n  ref CIM_Gone Left override\n",
         "CIM_Gone does not exist"},
        {"default of the wrong type", "class CIM_X\n  uint8 Level = 300\n", "out of range"},
        {"boolean default", "class CIM_X\n  boolean On = yes\n", "true or false"},
        {"class twice", "class CIM_Thing\n", "defined twice"},
        {"unknown type", "class CIM_X\n  uint128 Big\n", "unknown CIM type"},
        {"inheritance cycle", "class CIM_A : CIM_B\nclass CIM_B : CIM_A\n", "cycle"},
        {"parameter twice", "class CIM_X\n  method uint32 M\n    in uint16 P\n    out uint16 P\n",
         "repeated"},
    };
    for (const Case& c : cases) {
        RunResult r = runCheck(std::string(kBase) + c.extra);
        EXPECT_EQ(r.status, 1) << c.what;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << c.what << ": " << r.output;
        EXPECT_NE(r.output.find(".schema:"), std::string::npos) << c.what << ": " << r.output;
    }
}

TEST(GeneratorChecks, RejectsWrongClassCounts)
{
    RunResult ok = runCheck(kBase, "--expect CIM_=4");
    EXPECT_EQ(ok.status, 0) << ok.output;
    RunResult r = runCheck(kBase, "--expect CIM_=5");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("4 classes with prefix CIM_, expected 5"), std::string::npos) << r.output;
    RunResult stray = runCheck(std::string(kBase) + "class ACME_X\n", "--expect CIM_=4");
    EXPECT_EQ(stray.status, 1);
    EXPECT_NE(stray.output.find("ACME_X"), std::string::npos) << stray.output;
}

// The qualifier source is held to the classes it names.
TEST(GeneratorChecks, HoldsTheQualifierSourceToTheClasses)
{
    const std::string base = std::string(kBase) + "class CIM_Job : CIM_Root\n  method uint32 Frob\n"
                                                  "    in uint16 Mode\n    out ref CIM_Thing Done\n";
    struct Case {
        const char* what;
        const char* qualifiers;
        const char* message; // part of the diagnostic; empty when accepted
    };
    const Case cases[] = {
        {"maps of a property and a parameter",
         "class CIM_Root\n  State\n    ValueMap [\"2\", \"..\"]\n    Values [\"On\", \"Reserved\"]\n"
         "class CIM_Job\n  method Frob\n    ValueMap [\"0\"]\n    param Mode\n      Units \"Bytes\"\n",
         ""},
        {"unknown class", "class CIM_Gone\n", "no class CIM_Gone"},
        {"unknown feature", "class CIM_Thing\n  Nothing\n", "has no feature Nothing"},
        {"a method named as a property", "class CIM_Job\n  Frob\n", "has no feature Frob"},
        {"unknown parameter", "class CIM_Job\n  method Frob\n    param Speed\n", "no parameter Speed"},
        {"unknown qualifier", "class CIM_Root\n  State\n    Colour \"red\"\n", "unknown qualifier"},
        {"a text where a list goes", "class CIM_Root\n  State\n    ValueMap \"2\"\n", "list of texts"},
        {"maps of different lengths",
         "class CIM_Root\n  State\n    ValueMap [\"1\", \"2\"]\n    Values [\"One\"]\n", "differ in length"},
        {"feature twice", "class CIM_Root\n  State\n  State\n", "listed twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = testing::TempDir() + "qualifiers_" + std::to_string(::getpid()) + ".schema";
        {
            std::ofstream out(path);
            out << c.qualifiers;
        }
        RunResult r = runCheck(base, "--qualifiers '" + path + "'");
        std::remove(path.c_str());
        if (*c.message == '\0') {
            EXPECT_EQ(r.status, 0) << r.output;
        } else {
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        }
    }
}

} // namespace
