#include <codec/buffer.hpp>

#include <openssl/crypto.h>

#include <utility>

namespace codec {

buffer::buffer(buffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr))
    , size_(std::exchange(other.size_, 0))
    , capacity_(std::exchange(other.capacity_, 0))
{
}

buffer& buffer::operator=(buffer&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

buffer::~buffer()
{
    release();
}

void buffer::release() noexcept
{
    // The whole allocation is wiped: the cipher may have written past the final size.
    OPENSSL_clear_free(data_, capacity_);
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

} // namespace codec
