#pragma once
// Older include path of <Pegasus/Common/System.h>, the path the CIM server's own
// headers have; new code includes that one.
#include <Pegasus/Common/System.h>
