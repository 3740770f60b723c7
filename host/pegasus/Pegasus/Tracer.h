#pragma once
// Older include path of <Pegasus/Common/Tracer.h>, the path the CIM server's own
// headers have; new code includes that one.
#include <Pegasus/Common/Tracer.h>
