#include "CredkeepTool.h"

#include "CredkeepOptions.h"
#include "SMIS_Credkeep.h"
#include "SMIS_EnvAccess.h"

#include <Pegasus/System.h>

#include <cstdio>

using cimple::SMIS_Credkeep;
using cimple::SMIS_EnvAccess;

namespace {

int addLogin(SMIS_Credkeep& keep, const CredkeepOptions& options)
{
    cimple::String storedUser;
    cimple::String storedPassword;
    int rc = keep.getCredkeep(options.storage, storedUser, storedPassword, false);
    if (rc != SMIS_Credkeep::CREDKEEP_ERR_NOT_FOUND) {
        printLine("Failed to add user.");
        if (rc != SMIS_Credkeep::CREDKEEP_OK) {
            printErrorText(rc);
            return rc;
        }
        printLine("The specified storage IP is already exists.");
        return CREDKEEP_ALREADY_STORED;
    }

    SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
    if (!env) {
        printLine("The fatal error occurred.(cannot access an environmental file)");
        return CREDKEEP_NO_CONFIGURATION;
    }
    for (unsigned short index = 0; index < env->getStorageCount(); ++index) {
        if (!(options.storage == env->getStorageIP(index).c_str()))
            continue;
        rc = keep.setCredkeep(SMIS_Credkeep::CREDKEEP_ADD, options.storage, options.user, options.password);
        if (rc == SMIS_Credkeep::CREDKEEP_OK) {
            printLine("User added successfully.");
            return CREDKEEP_SUCCESS;
        }
        printLine("Failed to add user.");
        printErrorText(rc);
        return rc;
    }
    printLine("Failed to add user.");
    printLine("The specified storage IP is not a valid IP address on the SMI-S Environment.");
    return CREDKEEP_NOT_CONFIGURED;
}

int modifyLogin(SMIS_Credkeep& keep, const CredkeepOptions& options)
{
    cimple::String storedUser;
    cimple::String storedPassword;
    int rc = keep.getCredkeep(options.storage, storedUser, storedPassword, false);
    if (rc != SMIS_Credkeep::CREDKEEP_OK) {
        printLine("Failed to change password.");
        printErrorText(rc);
        return rc;
    }
    if (!(options.password == storedPassword)) {
        printLine("Failed to change password.");
        printLine("The specified password does not match user's current password.");
        return CREDKEEP_PASSWORD_MISMATCH;
    }
    // The stored user name stays; only the password changes.
    rc = keep.setCredkeep(SMIS_Credkeep::CREDKEEP_REPLACE, options.storage, storedUser, options.newPassword);
    if (rc != SMIS_Credkeep::CREDKEEP_OK) {
        printLine("Failed to change password.");
        printErrorText(rc);
        return rc;
    }
    printLine("Password changed successfully.");
    return CREDKEEP_SUCCESS;
}

int removeLogin(SMIS_Credkeep& keep, const CredkeepOptions& options)
{
    cimple::String storedUser;
    cimple::String storedPassword;
    int rc = keep.getCredkeep(options.storage, storedUser, storedPassword, false);
    if (rc != SMIS_Credkeep::CREDKEEP_OK) {
        printLine("Failed to remove user.");
        printErrorText(rc);
        return rc;
    }
    rc = keep.setCredkeep(SMIS_Credkeep::CREDKEEP_REMOVE, options.storage, storedUser, storedPassword);
    if (rc != SMIS_Credkeep::CREDKEEP_OK) {
        printLine("Failed to remove user.");
        printErrorText(rc);
        return rc;
    }
    printLine("User removed successfully.");
    return CREDKEEP_SUCCESS;
}

int listLogins(SMIS_Credkeep& keep)
{
    const int rc = keep.showCredkeep();
    if (rc != SMIS_Credkeep::CREDKEEP_OK) {
        printLine("Failed to list the users.");
        printErrorText(rc);
        return rc;
    }
    return CREDKEEP_SUCCESS;
}

}  // namespace

void printLine(const char* text)
{
    if (text)
        std::fprintf(stderr, "%s\n", text);
}

void printErrorText(int code)
{
    static const char* const texts[] = {
        nullptr,
        "The error occurred in initialization of encryption.",
        "The error occurred in encryption.",
        "The error occurred in decryption.",
        "The error occurred in opening of a file.",
        "The error occurred in deletion of a file.",
        "The error occurred in change of the file name.",
        "The specified storage IP is not a valid storage IP.",
        "The error occurred in opening of the file for work.",
    };
    if (code > 0 && code < static_cast<int>(sizeof texts / sizeof texts[0]))
        printLine(texts[code]);
}

void printUsage()
{
    static const char* const lines[] = {
        "Usage: credkeep -a storage IP -u username -w password",
        "               -m storage IP -w old password -n new password",
        "               -r storage IP",
        "               -l",
        "               -h",
        "Options :",
        "    -a         - Add a new CLI user. Specify a Storage IP address",
        "    -h         - Display this help message",
        "    -l         - List the names of CLI users",
        "    -m         - Modify a CLI user's password. Specify a Storage IP address",
        "    -n         - Specify a new password for the CLI user",
        "                 (The maximum length is 64 characters)",
        "    -r         - Remove the CLI user. Specify a Storage IP address",
        "    -u         - Specify a CLI user name",
        "                 (The maximum length is 32 characters)",
        "    -w         - Specify a password for the CLI user",
        "                 (The maximum length is 64 characters)",
    };
    for (const char* line : lines)
        printLine(line);
}

int runCredkeep(int argc, char* argv[])
{
    SMIS_Credkeep keep;

    if (!Pegasus::System::isPrivilegedUser(Pegasus::System::getEffectiveUserName())) {
        printLine("You must have superuser privilege to run this command.");
        return CREDKEEP_NOT_PRIVILEGED;
    }

    CredkeepOptions options;
    if (!parseOptions(argc, argv, options))
        return CREDKEEP_INVALID_COMMAND_LINE;

    if (options.help) {
        printUsage();
        return CREDKEEP_SUCCESS;
    }

    void* lock = keep.lockCredkeep();
    if (!lock) {
        printLine("The fatal error occurred.(cannot lock)");
        return CREDKEEP_CANNOT_LOCK;
    }

    int result;
    if (options.add)
        result = addLogin(keep, options);
    else if (options.modify)
        result = modifyLogin(keep, options);
    else if (options.remove)
        result = removeLogin(keep, options);
    else
        result = listLogins(keep);

    keep.unlockCredkeep(lock);
    return result;
}
