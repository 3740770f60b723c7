// A set of instances of one class in insertion order, unique by key
// (key_eq). The map owns its instances: it destroys them when cleared,
// when removed and when the map is destroyed.
#ifndef CIMPLE_INSTANCE_MAP_H
#define CIMPLE_INSTANCE_MAP_H

#include <cimple/Instance.h>

namespace cimple {

class Instance_Map_Base {
public:
    explicit Instance_Map_Base(const Meta_Class* meta_class) : _meta_class(meta_class) {}
    ~Instance_Map_Base();
    Instance_Map_Base(const Instance_Map_Base&) = delete;
    Instance_Map_Base& operator=(const Instance_Map_Base&) = delete;

    // Destroys every instance and empties the map.
    void clear();

protected:
    // Takes ownership of inst and appends it; returns its position. An
    // instance key-equal to one already held is refused: size_t(-1) is
    // returned and the instance stays the caller's, to free or keep. A null
    // one is refused the same way.
    size_t _insert(Instance* inst);
    // Position of the instance key-equal to model, or size_t(-1).
    size_t _find(const Instance* model) const;
    // The instance key-equal to model (still owned by the map), or null.
    Instance* _lookup(const Instance* model) const;
    // Destroys and removes the instance at pos (nothing past the end).
    void _remove(size_t pos);

    const Meta_Class* _meta_class;
    Array<Instance*> _instances;
};

template <class CLASS>
class Instance_Map : public Instance_Map_Base {
public:
    Instance_Map() : Instance_Map_Base(&CLASS::static_meta_class) {}

    size_t insert(CLASS* inst) { return _insert(inst); }
    size_t find(const CLASS* model) const { return _find(model); }
    CLASS* lookup(const CLASS* model) const { return static_cast<CLASS*>(_lookup(model)); }
    void remove(size_t pos) { _remove(pos); }
    size_t size() const { return _instances.size(); }
    CLASS* operator[](size_t pos) { return static_cast<CLASS*>(_instances[pos]); }
    const CLASS* operator[](size_t pos) const { return static_cast<const CLASS*>(_instances[pos]); }
};

} // namespace cimple

#endif
