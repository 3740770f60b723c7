// The model path an indication names its source instance by.
//
// The frameworks' instance_to_model_path differ (CIMPLE escapes no quote or
// backslash of a top-level text key, gives a method instance a path and
// leaves a partial path on failure); the path a client reads is this one
// under either framework.
#ifndef SOURCE_MODEL_PATH_H
#define SOURCE_MODEL_PATH_H

#include <cimple/cimple.h>

namespace cimple {

// Class name, then "." and the comma-separated key bindings Name=value in
// feature order (only the class name for a class without keys). Texts,
// char16 and date-time values are quoted with '"', quotes and backslashes
// in them escaped; a reference key is the quoted path of the instance it
// points to. False, the path cleared, for a null instance, a method
// instance, a null key, an array key or a null reference key.
bool source_model_path(const Instance* inst, String& path);

} // namespace cimple

#endif
