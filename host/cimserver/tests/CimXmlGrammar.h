// Holds a CIM-XML document to the element grammar of CIM-XML: every element
// is one the grammar knows, its children come in the allowed order and
// count, text stands only where the grammar allows it, required attributes
// are there, and no attribute is unknown or has a value outside its list.
#ifndef HOST_CIMSERVER_TESTS_CIM_XML_GRAMMAR_H
#define HOST_CIMSERVER_TESTS_CIM_XML_GRAMMAR_H

#include <pugixml.hpp>

#include <string>

namespace cimserver::test {

class CimXmlGrammar {
public:
    // The first departure from the grammar, as "path: problem"; empty when
    // the document follows it.
    static std::string check(const pugi::xml_document& doc);
    // The same for a text (a document that is not well-formed fails).
    static std::string check(const std::string& text);
};

} // namespace cimserver::test

#endif
