// Loads a request body as one well-formed XML document: UTF-8 text, a single
// root element, no attribute given twice on an element. pugixml alone takes
// fragments with several roots and repeated attributes.
#ifndef HOST_CIMSERVER_REQUEST_DOCUMENT_H
#define HOST_CIMSERVER_REQUEST_DOCUMENT_H

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace cimserver {

class RequestDocument {
public:
    // False when the body is not one well-formed document.
    static bool load(const std::string& body, pugi::xml_document& doc);

    // True when text is well-formed UTF-8 (no overlong forms, no surrogates,
    // nothing above U+10FFFF).
    static bool valid_utf8(std::string_view text);
};

} // namespace cimserver

#endif
