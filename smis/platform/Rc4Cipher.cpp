#include "Rc4Cipher.h"

#include <openssl/crypto.h>

#include <utility>

Rc4Cipher::Rc4Cipher(const std::uint8_t* key, std::size_t keyLength)
{
    for (unsigned n = 0; n < 256; ++n)
        _state[n] = static_cast<std::uint8_t>(n);
    if (key == nullptr || keyLength == 0)
        return;

    std::uint8_t j = 0;
    for (unsigned n = 0; n < 256; ++n)
    {
        j = static_cast<std::uint8_t>(j + _state[n] + key[n % keyLength]);
        std::swap(_state[n], _state[j]);
    }
    _valid = true;
}

Rc4Cipher::~Rc4Cipher()
{
    // The permutation reveals the key; do not leave it on the stack.
    OPENSSL_cleanse(_state, sizeof(_state));
    _i = 0;
    _j = 0;
}

bool Rc4Cipher::apply(std::uint8_t* data, std::size_t length)
{
    if (!_valid || (data == nullptr && length != 0))
        return false;
    for (std::size_t n = 0; n < length; ++n)
    {
        _i = static_cast<std::uint8_t>(_i + 1);
        _j = static_cast<std::uint8_t>(_j + _state[_i]);
        std::swap(_state[_i], _state[_j]);
        data[n] ^= _state[static_cast<std::uint8_t>(_state[_i] + _state[_j])];
    }
    return true;
}
