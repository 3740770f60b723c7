#pragma once

#include <cstddef>
#include <cstdint>

// RC4 stream cipher. The credential file stores passwords encrypted with RC4
// keyed by a 16-byte MD5 digest; OpenSSL 3 keeps RC4 only in its legacy
// provider, so the project carries this small implementation instead.
//
// Encryption and decryption are the same operation: apply() XORs the key
// stream into the data in place. One object produces one continuous key
// stream, so successive apply() calls continue where the previous one ended.
class Rc4Cipher
{
public:
    // Runs the key schedule. Keys of 1 to 256 bytes are meaningful; an empty
    // key leaves the object unusable (valid() is false, apply() refuses).
    Rc4Cipher(const std::uint8_t* key, std::size_t keyLength);
    ~Rc4Cipher();

    Rc4Cipher(const Rc4Cipher&) = delete;
    Rc4Cipher& operator=(const Rc4Cipher&) = delete;

    bool valid() const { return _valid; }

    // XORs the next length bytes of key stream into data. Returns false, with
    // data untouched, when the object has no valid key.
    bool apply(std::uint8_t* data, std::size_t length);

private:
    std::uint8_t _state[256];
    std::uint8_t _i = 0;
    std::uint8_t _j = 0;
    bool _valid = false;
};
