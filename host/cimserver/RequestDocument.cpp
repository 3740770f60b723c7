#include "RequestDocument.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cimserver {

namespace {

// True when two attributes of the element have the same name.
bool repeats_attribute(pugi::xml_node element)
{
    std::vector<const char*> names;
    for (pugi::xml_attribute a : element.attributes())
        names.push_back(a.name());
    if (names.size() < 2)
        return false;
    std::sort(names.begin(), names.end(), [](const char* a, const char* b) { return std::strcmp(a, b) < 0; });
    return std::adjacent_find(names.begin(), names.end(),
                              [](const char* a, const char* b) { return std::strcmp(a, b) == 0; }) != names.end();
}

} // namespace

bool RequestDocument::valid_utf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        unsigned char c = p[i];
        if (c < 0x80) {
            i++;
            continue;
        }
        size_t len;
        unsigned cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; k++) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

bool RequestDocument::load(const std::string& body, pugi::xml_document& doc)
{
    if (!valid_utf8(body))
        return false;
    if (!doc.load_buffer(body.data(), body.size(), pugi::parse_default, pugi::encoding_utf8))
        return false;
    size_t roots = 0;
    for (pugi::xml_node n : doc.children()) {
        if (n.type() == pugi::node_element)
            roots++;
        else if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            return false; // text outside the root element
    }
    if (roots != 1)
        return false;
    // Every element, without recursion: requests may nest deeply.
    for (pugi::xml_node n = doc.first_child(); n;) {
        if (n.type() == pugi::node_element && repeats_attribute(n))
            return false;
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && !n.next_sibling())
            n = n.parent();
        if (n)
            n = n.next_sibling();
    }
    return true;
}

} // namespace cimserver
