#include "CredkeepOptions.h"

#include "CredkeepTool.h"
#include "SMIS_Credkeep.h"

#include <cctype>
#include <string>

namespace {

const char* const INVALID_PARAMETER = "Invalid Parameter.\nUse '-h' to obtain command syntax.";

// What the next argument is the value of.
enum Pending { NONE = 0, STORAGE = 1, USER = 2, PASSWORD = 3, NEW_PASSWORD = 4 };

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool equalsIgnoringCase(const char* text, char option)
{
    return text[0] != '\0' && text[1] == '\0' && lower(text[0]) == option;
}

cimple::String* field(CredkeepOptions& options, int pending)
{
    switch (pending) {
    case STORAGE: return &options.storage;
    case USER: return &options.user;
    case PASSWORD: return &options.password;
    case NEW_PASSWORD: return &options.newPassword;
    default: return nullptr;
    }
}

// Reads one option (the text after '-' or '/'); false when it is none.
bool readOption(const char* text, CredkeepOptions& options, int& pending)
{
    // The whole option names first.
    if (equalsIgnoringCase(text, 'a')) { options.add = 1; pending = STORAGE; return true; }
    if (equalsIgnoringCase(text, 'm')) { options.modify = 1; pending = STORAGE; return true; }
    if (equalsIgnoringCase(text, 'r')) { options.remove = 1; pending = STORAGE; return true; }
    if (equalsIgnoringCase(text, 'l')) { options.list = 1; return true; }
    if (equalsIgnoringCase(text, 'u')) { pending = USER; return true; }
    if (equalsIgnoringCase(text, 'w')) { pending = PASSWORD; return true; }
    if (equalsIgnoringCase(text, 'n')) { pending = NEW_PASSWORD; return true; }
    if (equalsIgnoringCase(text, 'h')) { options.help = 1; return true; }

    // Then an option letter with its value attached.
    const cimple::String rest(text[0] != '\0' ? text + 1 : text);
    switch (lower(text[0])) {
    case 'a': options.add = 1; options.storage = rest; return true;
    case 'm': options.modify = 1; options.storage = rest; return true;
    case 'r': options.remove = 1; options.storage = rest; return true;
    case 'u': options.user = rest; return true;
    case 'w': options.password = rest; return true;
    case 'n': options.newPassword = rest; return true;
    default: return false;
    }
}

bool given(const cimple::String& value)
{
    return !value.empty();
}

// The fields match the mode's row of the legal combinations.
bool legalCombination(const CredkeepOptions& o)
{
    if (o.add + o.modify + o.remove + o.list + o.help != 1)
        return false;
    if (o.add)
        return given(o.storage) && given(o.user) && given(o.password) && !given(o.newPassword);
    if (o.modify)
        return given(o.storage) && !given(o.user) && given(o.password) && given(o.newPassword);
    if (o.remove)
        return given(o.storage) && !given(o.user) && !given(o.password) && !given(o.newPassword);
    return !given(o.storage) && !given(o.user) && !given(o.password) && !given(o.newPassword);
}

// A value that fits its limit and that a record can hold (see
// SMIS_Credkeep::isStorableField: no control character, no ',' outside passwords).
bool fits(const cimple::String& value, std::size_t limit, bool commaAllowed)
{
    return value.size() <= limit &&
           cimple::SMIS_Credkeep::isStorableField(std::string(value.c_str(), value.size()), commaAllowed);
}

}  // namespace

bool parseOptions(int argc, char* argv[], CredkeepOptions& options)
{
    int pending = NONE;
    for (int n = 1; n < argc; ++n) {
        const char* arg = argv[n] ? argv[n] : "";
        if (arg[0] == '-' || arg[0] == '/') {
            if (pending != NONE || !readOption(arg + 1, options, pending)) {
                printLine(INVALID_PARAMETER);
                return false;
            }
        } else {
            cimple::String* target = field(options, pending);
            if (!target) {
                printLine(INVALID_PARAMETER);
                return false;
            }
            *target = cimple::String(arg);
            pending = NONE;
        }
    }
    if (pending != NONE || !legalCombination(options)) {
        printLine(INVALID_PARAMETER);
        return false;
    }

    if (options.modify && options.password == options.newPassword) {
        printLine("Error, new and old passwords cannot be same.");
        return false;
    }
    if (!fits(options.user, CREDKEEP_MAX_USER, false)) {
        printLine("username is not valid for option \"-u\".\nUse '-h' to obtain command syntax.");
        return false;
    }
    if (!fits(options.password, CREDKEEP_MAX_PASSWORD, true)) {
        printLine("password is not valid for option \"-w\".\nUse '-h' to obtain command syntax.");
        return false;
    }
    if (!fits(options.newPassword, CREDKEEP_MAX_PASSWORD, true)) {
        printLine("password is not valid for option \"-n\".\nUse '-h' to obtain command syntax.");
        return false;
    }
    // An added address becomes the first field of a record: no ',' and no
    // control character, and no '#', which would turn the record into a
    // comment. Modify and remove only look an address up: one that no record
    // can hold is simply not found.
    if (options.add && (!fits(options.storage, options.storage.size(), false) ||
                        (given(options.storage) && options.storage[0] == '#'))) {
        printLine("storage IP is not valid for option \"-a\".\nUse '-h' to obtain command syntax.");
        return false;
    }
    return true;
}
