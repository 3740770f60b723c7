#include "CredkeepTool.h"

// A process exit status holds 8 bits: the tool's result codes 1001 to 1007
// leave the process as 233 to 239 (README lists both).
int main(int argc, char* argv[])
{
    int result;
    try {
        result = runCredkeep(argc, argv);
    } catch (...) {
        printLine("The fatal error occurred.");
        result = -1;
    }
    return result & 0xFF;
}
