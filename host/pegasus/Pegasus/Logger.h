#pragma once
// Older include path of <Pegasus/Common/Logger.h>, the path the CIM server's own
// headers have; new code includes that one.
#include <Pegasus/Common/Logger.h>
