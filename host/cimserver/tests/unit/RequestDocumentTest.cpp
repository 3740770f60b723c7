// Only one well-formed UTF-8 document is taken as a request.
#include "RequestDocument.h"

#include <gtest/gtest.h>

namespace cimserver {
namespace {

TEST(RequestDocument, TakesOnlyOneWellFormedUtf8Document)
{
    struct Case {
        const char* what;
        std::string body;
        bool taken;
    } cases[] = {
        {"one root", "<?xml version=\"1.0\"?><CIM A=\"1\" B=\"2\"><X A=\"1\"/></CIM>", true},
        {"UTF-8 text", "<CIM>gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x98\x80</CIM>", true},
        {"two roots", "<CIM></CIM><CIM></CIM>", false},
        {"no root", "<?xml version=\"1.0\"?>", false},
        {"duplicate attribute", "<CIM><X NAME=\"a\" TYPE=\"b\" NAME=\"c\"/></CIM>", false},
        {"duplicate attribute deep down", "<CIM><A><B><C X=\"1\" X=\"1\"/></B></A></CIM>", false},
        {"Latin-1 byte", "<CIM>gr\xfc\xdf</CIM>", false},
        {"truncated sequence", "<CIM>\xe2\x82</CIM>", false},
        {"overlong form", "<CIM>\xc0\xbc</CIM>", false},
        {"surrogate", "<CIM>\xed\xa0\x80</CIM>", false},
        {"beyond U+10FFFF", "<CIM>\xf4\x90\x80\x80</CIM>", false},
        {"invalid UTF-8 in an attribute", "<CIM><MESSAGE ID=\"\xff\"/></CIM>", false},
    };
    for (auto& c : cases) {
        pugi::xml_document doc;
        EXPECT_EQ(RequestDocument::load(c.body, doc), c.taken) << c.what;
    }
}

} // namespace
} // namespace cimserver
