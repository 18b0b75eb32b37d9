#include <codec/codec.hpp>

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <climits>
#include <memory>

namespace codec {

namespace detail {

// The cipher writes straight into the caller's buffer, so nothing is copied
// and no second copy of a password is left to wipe.
struct buffer_access {
    static bool allocate(buffer& target, std::size_t capacity) noexcept
    {
        target = buffer();
        target.data_ = static_cast<unsigned char*>(OPENSSL_malloc(capacity));
        if (!target.data_)
            return false;
        target.capacity_ = capacity;
        return true;
    }

    static unsigned char* data(buffer& target) noexcept { return target.data_; }

    static void set_size(buffer& target, std::size_t size) noexcept { target.size_ = size; }
};

} // namespace detail

namespace {

constexpr std::size_t block_size = 16;
// An MD5 digest is exactly an AES-128 key.
constexpr std::size_t key_size = 16;

// Fixed, so that a password always gives the same bytes: stored forms are
// compared and copied as they are.
constexpr unsigned char initial_vector[block_size] = {0x4e, 0x6f, 0x63, 0x74, 0x61, 0x76, 0x69, 0x2d,
                                                      0x63, 0x6f, 0x64, 0x65, 0x63, 0x2d, 0x69, 0x76};

struct context_deleter {
    void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
};
using cipher_context = std::unique_ptr<EVP_CIPHER_CTX, context_deleter>;

// Wipes the derived key on every path out of the cipher.
class key_material {
public:
    key_material() = default;
    key_material(const key_material&) = delete;
    key_material& operator=(const key_material&) = delete;
    ~key_material() { OPENSSL_cleanse(bytes_, sizeof bytes_); }

    bool derive(const char* key, std::size_t key_length) noexcept
    {
        unsigned int digest_length = 0;
        return EVP_Digest(key, key_length, bytes_, &digest_length, EVP_md5(), nullptr) == 1
            && digest_length == key_size;
    }

    const unsigned char* data() const noexcept { return bytes_; }

private:
    unsigned char bytes_[key_size] = {};
};

enum class direction { decipher = 0, encipher = 1 };

bool valid_arguments(const unsigned char* input, std::size_t length, const char* key,
                     std::size_t key_length) noexcept
{
    // The cipher counts in int; one block more is needed for the padding.
    const bool length_fits = length <= static_cast<std::size_t>(INT_MAX) - block_size;
    return length_fits && (input || length == 0) && (key || key_length == 0);
}

int run(direction way, const unsigned char* input, std::size_t length, const char* key,
        std::size_t key_length, buffer& output) noexcept
{
    output = buffer();
    if (!valid_arguments(input, length, key, key_length))
        return result::failure;

    key_material cipher_key;
    if (!cipher_key.derive(key, key_length))
        return result::key_derivation_failed;

    const cipher_context context(EVP_CIPHER_CTX_new());
    if (!context)
        return result::out_of_memory;
    if (EVP_CipherInit_ex(context.get(), EVP_aes_128_cbc(), nullptr, cipher_key.data(), initial_vector,
                          static_cast<int>(way)) != 1)
        return result::failure;

    buffer result_bytes;
    if (!detail::buffer_access::allocate(result_bytes, length + block_size))
        return result::out_of_memory;
    unsigned char* const out = detail::buffer_access::data(result_bytes);

    int updated = 0;
    int finished = 0;
    if (EVP_CipherUpdate(context.get(), out, &updated, input, static_cast<int>(length)) != 1
        || EVP_CipherFinal_ex(context.get(), out + updated, &finished) != 1)
        return result::failure;

    detail::buffer_access::set_size(result_bytes, static_cast<std::size_t>(updated + finished));
    output = std::move(result_bytes);
    return result::success;
}

} // namespace

int encipher(const unsigned char* input, std::size_t length, const char* key, std::size_t key_length,
             buffer& output) noexcept
{
    return run(direction::encipher, input, length, key, key_length, output);
}

int decipher(const unsigned char* input, std::size_t length, const char* key, std::size_t key_length,
             buffer& output) noexcept
{
    return run(direction::decipher, input, length, key, key_length, output);
}

} // namespace codec
