// Growable array of values. Elements are copied in and destroyed with the
// array; an array of pointers holds the pointers only, so clearing or
// destroying it frees nothing that they point to.
#ifndef CIMPLE_ARRAY_H
#define CIMPLE_ARRAY_H

#include <cimple/Type.h>

#include <new>
#include <utility>

namespace cimple {

template <class T>
class Array {
public:
    Array() = default;
    Array(const T* data, size_t size) { append(data, size); }
    Array(const Array& x) { append(x._data, x._size); }
    Array(Array&& x) noexcept : _data(x._data), _size(x._size), _cap(x._cap)
    {
        x._data = nullptr;
        x._size = x._cap = 0;
    }
    ~Array() { _release(); }

    Array& operator=(const Array& x)
    {
        if (this != &x) {
            Array tmp(x);
            swap(tmp);
        }
        return *this;
    }
    Array& operator=(Array&& x) noexcept
    {
        if (this != &x) {
            _release();
            _data = x._data;
            _size = x._size;
            _cap = x._cap;
            x._data = nullptr;
            x._size = x._cap = 0;
        }
        return *this;
    }

    void swap(Array& x) noexcept
    {
        std::swap(_data, x._data);
        std::swap(_size, x._size);
        std::swap(_cap, x._cap);
    }

    size_t size() const { return _size; }
    T* data() { return _data; }
    const T* data() const { return _data; }
    T& operator[](size_t i) { return _data[i]; }
    const T& operator[](size_t i) const { return _data[i]; }

    void reserve(size_t n)
    {
        if (n <= _cap)
            return;
        T* p = static_cast<T*>(::operator new(n * sizeof(T)));
        for (size_t i = 0; i < _size; i++) {
            new (p + i) T(std::move(_data[i]));
            _data[i].~T();
        }
        ::operator delete(_data);
        _data = p;
        _cap = n;
    }

    void append(const T& x)
    {
        if (_size == _cap) {
            T copy(x); // x may live inside this array
            reserve(_cap ? _cap * 2 : 8);
            new (_data + _size) T(std::move(copy));
        } else {
            new (_data + _size) T(x);
        }
        _size++;
    }

    void append(const T* data, size_t size)
    {
        if (!data || size == 0)
            return;
        if (_size + size > _cap) {
            Array copy(*this); // data may live inside this array
            copy.reserve(_size + size > _cap * 2 ? _size + size : _cap * 2);
            for (size_t i = 0; i < size; i++)
                copy.append(data[i]);
            swap(copy);
            return;
        }
        for (size_t i = 0; i < size; i++)
            new (_data + _size + i) T(data[i]);
        _size += size;
    }

    // Inserts x before position pos; a pos past the end appends.
    void insert(size_t pos, const T& x)
    {
        if (pos >= _size) {
            append(x);
            return;
        }
        T copy(x);
        append(_data[_size - 1]);
        for (size_t i = _size - 2; i > pos; i--)
            _data[i] = std::move(_data[i - 1]);
        _data[pos] = std::move(copy);
    }

    // Removes up to n elements from pos; nothing when pos lies past the end.
    void remove(size_t pos, size_t n = 1)
    {
        if (pos >= _size || n == 0)
            return;
        if (n > _size - pos)
            n = _size - pos;
        for (size_t i = pos; i + n < _size; i++)
            _data[i] = std::move(_data[i + n]);
        for (size_t i = _size - n; i < _size; i++)
            _data[i].~T();
        _size -= n;
    }

    // Drops every element (pointers are dropped, not freed); keeps the storage.
    void clear()
    {
        for (size_t i = 0; i < _size; i++)
            _data[i].~T();
        _size = 0;
    }

    friend bool operator==(const Array& a, const Array& b)
    {
        if (a._size != b._size)
            return false;
        for (size_t i = 0; i < a._size; i++)
            if (!(a._data[i] == b._data[i]))
                return false;
        return true;
    }
    friend bool operator!=(const Array& a, const Array& b) { return !(a == b); }

private:
    void _release()
    {
        clear();
        ::operator delete(_data);
        _data = nullptr;
        _cap = 0;
    }

    T* _data = nullptr;
    size_t _size = 0;
    size_t _cap = 0;
};

class Instance;

// Field of a reference-array parameter in a method instance.
typedef Array<Instance*> Array_Instance;

} // namespace cimple

#endif
