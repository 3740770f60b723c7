#pragma once
// The command line of credkeep.

#include <cimple/String.h>

// Four option values and five mode flags, as the command line gives them.
struct CredkeepOptions {
    cimple::String storage;      // -a, -m or -r
    cimple::String user;         // -u
    cimple::String password;     // -w (the old password with -m)
    cimple::String newPassword;  // -n

    int add = 0;     // -a
    int modify = 0;  // -m
    int remove = 0;  // -r
    int list = 0;    // -l
    int help = 0;    // -h
};

// Longest user name and passwords the tool accepts, in bytes.
constexpr unsigned CREDKEEP_MAX_USER = 32;
constexpr unsigned CREDKEEP_MAX_PASSWORD = 64;

// Reads the arguments after the program name into options. Options match
// without regard to case and may begin with '/' in place of '-'; a value
// follows its option or is attached to it. Prints the reason and answers
// false when the command line is not legal.
bool parseOptions(int argc, char* argv[], CredkeepOptions& options);
