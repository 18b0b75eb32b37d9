#ifndef CODEC_BUFFER_HPP
#define CODEC_BUFFER_HPP

#include <cstddef>

namespace codec {

namespace detail {
struct buffer_access;
}

// Owner of the bytes that encipher() and decipher() hand out. The memory is
// wiped before it is freed, since a deciphered buffer holds a password.
class buffer {
public:
    buffer() noexcept = default;
    buffer(buffer&& other) noexcept;
    buffer& operator=(buffer&& other) noexcept;
    buffer(const buffer&) = delete;
    buffer& operator=(const buffer&) = delete;
    ~buffer();

    const unsigned char* data() const noexcept { return data_; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    const unsigned char* begin() const noexcept { return data_; }
    const unsigned char* end() const noexcept { return data_ + size_; }

private:
    friend struct detail::buffer_access;

    void release() noexcept;

    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace codec

#endif
