#pragma once
// The credential tool: adds, changes, removes and lists the command-line
// login stored per array in the credential file.
//
// runCredkeep returns the tool's result code: 0 success, 1 to 8 the
// credential store's error code, 1001 to 1007 the tool's own failures (see
// CredkeepResult). main() exits with its low 8 bits, since a process exit
// status holds only those.

// The tool's own result codes.
enum CredkeepResult : int {
    CREDKEEP_SUCCESS = 0,
    CREDKEEP_INVALID_COMMAND_LINE = 1001,
    CREDKEEP_CANNOT_LOCK = 1002,
    CREDKEEP_ALREADY_STORED = 1003,
    CREDKEEP_NOT_CONFIGURED = 1004,
    CREDKEEP_PASSWORD_MISMATCH = 1005,
    CREDKEEP_NO_CONFIGURATION = 1006,
    CREDKEEP_NOT_PRIVILEGED = 1007,
};

// Runs the tool on its command line (argv[0] is the program name).
int runCredkeep(int argc, char* argv[]);

// Writes text and a newline to standard error; nothing for NULL.
void printLine(const char* text);

// Writes the text of a credential store error code (1 to 8); nothing for others.
void printErrorText(int code);

// Writes the usage text.
void printUsage();
