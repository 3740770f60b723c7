#include <cimple/Instance_Map.h>

namespace cimple {

Instance_Map_Base::~Instance_Map_Base()
{
    clear();
}

void Instance_Map_Base::clear()
{
    for (size_t i = 0; i < _instances.size(); i++)
        destroy(_instances[i]);
    _instances.clear();
}

size_t Instance_Map_Base::_insert(Instance* inst)
{
    if (!inst || _find(inst) >= 0)
        return static_cast<size_t>(-1);
    _instances.append(inst);
    return _instances.size() - 1;
}

ssize_t Instance_Map_Base::_find(const Instance* model) const
{
    for (size_t i = 0; i < _instances.size(); i++) {
        if (key_eq(_instances[i], model))
            return static_cast<ssize_t>(i);
    }
    return -1;
}

Instance* Instance_Map_Base::_lookup(const Instance* model) const
{
    ssize_t pos = _find(model);
    return pos < 0 ? nullptr : _instances[static_cast<size_t>(pos)];
}

bool Instance_Map_Base::_remove(size_t pos)
{
    if (pos >= _instances.size())
        return false;
    destroy(_instances[pos]);
    _instances.remove(pos);
    return true;
}

} // namespace cimple
