#ifndef CODEC_RESULT_HPP
#define CODEC_RESULT_HPP

namespace codec {

// What encipher() and decipher() return.
namespace result {
constexpr int success = 0;
constexpr int out_of_memory = 1;
// The cipher key could not be derived from the caller's key text.
constexpr int key_derivation_failed = 100;
// Invalid arguments, or bytes that are not the output of encipher() under this key.
constexpr int failure = 999;
} // namespace result

} // namespace codec

#endif
