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
    if (!inst || _find(inst) != static_cast<size_t>(-1))
        return static_cast<size_t>(-1);
    _instances.append(inst);
    return _instances.size() - 1;
}

size_t Instance_Map_Base::_find(const Instance* model) const
{
    for (size_t i = 0; i < _instances.size(); i++) {
        if (key_eq(_instances[i], model))
            return i;
    }
    return static_cast<size_t>(-1);
}

Instance* Instance_Map_Base::_lookup(const Instance* model) const
{
    const size_t pos = _find(model);
    return pos == static_cast<size_t>(-1) ? nullptr : _instances[pos];
}

void Instance_Map_Base::_remove(size_t pos)
{
    if (pos >= _instances.size())
        return;
    destroy(_instances[pos]);
    _instances.remove(pos);
}

} // namespace cimple
