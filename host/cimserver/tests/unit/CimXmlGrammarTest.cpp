// The grammar check the end-to-end tests hold every answer to: it passes
// well-formed answers and names the first departure of faulty ones.
#include "CimXmlGrammar.h"

#include <gtest/gtest.h>

#include <string>

namespace cimserver::test {
namespace {

std::string method_answer(const std::string& inside)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
           "<MESSAGE ID=\"8\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><METHODRESPONSE NAME=\"ExposePaths\">" +
           inside + "</METHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
}

std::string intrinsic_answer(const std::string& inside)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\" ?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
           "<MESSAGE ID=\"7\" PROTOCOLVERSION=\"1.0\"><SIMPLERSP><IMETHODRESPONSE NAME=\"GetClass\">" +
           inside + "</IMETHODRESPONSE></SIMPLERSP></MESSAGE></CIM>";
}

const std::string REFERENCE = "<VALUE.REFERENCE><INSTANCEPATH><NAMESPACEPATH><HOST>h</HOST><LOCALNAMESPACEPATH>"
                              "<NAMESPACE NAME=\"root\"></NAMESPACE></LOCALNAMESPACEPATH></NAMESPACEPATH>"
                              "<INSTANCENAME CLASSNAME=\"C\"><KEYBINDING NAME=\"K\"><KEYVALUE VALUETYPE=\"string\">"
                              "v</KEYVALUE></KEYBINDING></INSTANCENAME></INSTANCEPATH></VALUE.REFERENCE>";
const std::string RETURN = "<RETURNVALUE PARAMTYPE=\"uint32\"><VALUE>0</VALUE></RETURNVALUE>";

TEST(CimXmlGrammar, HoldsAnswersToTheElementRules)
{
    struct Case {
        const char* what;
        std::string text;
        const char* problem; // part of the reported problem; empty when the answer fits
    };
    const Case cases[] = {
        {"a reference array as the grammar has it",
         method_answer(RETURN + "<PARAMVALUE NAME=\"ProtocolControllers\" PARAMTYPE=\"reference\"><VALUE.REFARRAY>" +
                       REFERENCE + REFERENCE + "</VALUE.REFARRAY></PARAMVALUE>"),
         ""},
        // What the server wrote before: references in a VALUE.ARRAY.
        {"references in a value array",
         method_answer(RETURN + "<PARAMVALUE NAME=\"ProtocolControllers\" PARAMTYPE=\"reference\"><VALUE.ARRAY>" +
                       REFERENCE + "</VALUE.ARRAY></PARAMVALUE>"),
         "/VALUE.ARRAY: children (VALUE.REFERENCE) do not fit"},
        {"an error answer", method_answer("<ERROR CODE=\"4\" DESCRIPTION=\"bad\"></ERROR>"), ""},
        {"an error after the return value", method_answer(RETURN + "<ERROR CODE=\"4\"></ERROR>"),
         "METHODRESPONSE[ExposePaths]: children"},
        {"an output before the return value",
         method_answer("<PARAMVALUE NAME=\"Size\"><VALUE>1</VALUE></PARAMVALUE>" + RETURN), "do not fit"},
        {"a class with qualifiers and a method",
         intrinsic_answer("<IRETURNVALUE><CLASS NAME=\"C\"><QUALIFIER NAME=\"Abstract\" TYPE=\"boolean\"><VALUE>TRUE"
                          "</VALUE></QUALIFIER><PROPERTY.ARRAY NAME=\"S\" TYPE=\"uint16\"><QUALIFIER NAME=\"ValueMap\" "
                          "TYPE=\"string\"><VALUE.ARRAY><VALUE>0</VALUE></VALUE.ARRAY></QUALIFIER></PROPERTY.ARRAY>"
                          "<METHOD NAME=\"M\" TYPE=\"uint32\"><PARAMETER.REFERENCE NAME=\"Job\" REFERENCECLASS=\"J\">"
                          "</PARAMETER.REFERENCE></METHOD></CLASS></IRETURNVALUE>"),
         ""},
        {"a property after a method",
         intrinsic_answer("<IRETURNVALUE><CLASS NAME=\"C\"><METHOD NAME=\"M\"></METHOD><PROPERTY NAME=\"P\" "
                          "TYPE=\"string\"></PROPERTY></CLASS></IRETURNVALUE>"),
         "CLASS[C]: children"},
        {"a qualifier without its type",
         intrinsic_answer("<IRETURNVALUE><CLASS NAME=\"C\"><QUALIFIER NAME=\"Key\"></QUALIFIER></CLASS></IRETURNVALUE>"),
         "attribute TYPE is missing"},
        {"a type outside the list",
         intrinsic_answer("<IRETURNVALUE><CLASS NAME=\"C\"><PROPERTY NAME=\"P\" TYPE=\"int\"></PROPERTY></CLASS>"
                          "</IRETURNVALUE>"),
         "TYPE=\"int\""},
        {"an attribute the element does not have",
         intrinsic_answer("<IRETURNVALUE><CLASSNAME NAME=\"C\" SUPERCLASS=\"B\"></CLASSNAME></IRETURNVALUE>"),
         "attribute SUPERCLASS is not allowed"},
        {"text in an element of elements",
         intrinsic_answer("<IRETURNVALUE>x<CLASSNAME NAME=\"C\"></CLASSNAME></IRETURNVALUE>"), "holds text"},
        {"an element the grammar does not know", intrinsic_answer("<IRETURNVALUE><THING></THING></IRETURNVALUE>"),
         "no such element"},
        {"mixed kinds in a return value",
         intrinsic_answer("<IRETURNVALUE><CLASSNAME NAME=\"C\"></CLASSNAME><INSTANCENAME CLASSNAME=\"C\">"
                          "</INSTANCENAME></IRETURNVALUE>"),
         "IRETURNVALUE: children"},
        {"a cut-off answer", intrinsic_answer("<IRETURNVALUE>").substr(0, 120), "not well-formed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string problem = CimXmlGrammar::check(c.text);
        if (*c.problem == '\0')
            EXPECT_EQ(problem, "");
        else
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
}

TEST(CimXmlGrammar, LongListsOfChildrenAreCheckedWhole)
{
    std::string names;
    for (int i = 0; i < 20000; i++)
        names += "<CLASSNAME NAME=\"C\"></CLASSNAME>";
    EXPECT_EQ(CimXmlGrammar::check(intrinsic_answer("<IRETURNVALUE>" + names + "</IRETURNVALUE>")), "");
    EXPECT_NE(CimXmlGrammar::check(intrinsic_answer("<IRETURNVALUE>" + names + "<INSTANCE CLASSNAME=\"C\">"
                                                    "</INSTANCE></IRETURNVALUE>")),
              "");
}

} // namespace
} // namespace cimserver::test
