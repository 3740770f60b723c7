#include <cimple/Meta_Repository.h>
#include <cimple/String.h>

namespace cimple {

const Meta_Class* find_meta_class(const Meta_Repository* mr, const char* name)
{
    if (!mr || !name)
        return nullptr;
    for (size_t i = 0; i < mr->num_meta_classes; i++) {
        const Meta_Class* mc = mr->meta_classes[i];
        if (mc && eqi(mc->name, name))
            return mc;
    }
    return nullptr;
}

} // namespace cimple
