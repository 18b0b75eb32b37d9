#ifndef CODEC_CODEC_HPP
#define CODEC_CODEC_HPP

#include <codec/buffer.hpp>
#include <codec/result.hpp>

#include <cstddef>

namespace codec {

// A keyed, deterministic and reversible transformation of short secrets such
// as stored passwords. It hides them from a casual reader of the file that
// holds them; anyone with this library can reverse it, so it is no encryption
// in the sense of secrecy.
//
// Both functions replace what `output` held, return a code of codec::result
// and leave `output` empty unless they return result::success. Neither throws.

int encipher(const unsigned char* input, std::size_t length, const char* key, std::size_t key_length,
             buffer& output) noexcept;

int decipher(const unsigned char* input, std::size_t length, const char* key, std::size_t key_length,
             buffer& output) noexcept;

} // namespace codec

#endif
