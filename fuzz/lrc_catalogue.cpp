// Feeds arbitrary bytes to the language catalogue's loader and, when they
// load, looks up identifiers taken from the same bytes, so that every entry's
// text is composed as well.
#include <Noctavi/Utility/LrcCatalogue.h>

#include <cstddef>
#include <cstdint>

namespace {

// Some character sets have no font, so the refusal path is reached too.
bool HasFont(int charset)
{
    return charset % 3 != 2;
}

unsigned int ReadId(const std::uint8_t* data)
{
    return data[0] | data[1] << 8 | data[2] << 16 | static_cast<unsigned int>(data[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const boost::optional<LrcCatalogue> catalogue = LrcCatalogue::Parse(data, size, HasFont);
    if (!catalogue)
        return 0;
    // Entries start on even offsets after the 152-byte header and a section header.
    constexpr std::size_t kMaxLookups = 512;
    for (std::size_t offset = 152, n = 0; offset + 4 <= size && n < kMaxLookups; offset += 2, ++n)
        catalogue->Find(ReadId(data + offset));
    catalogue->Version();
    return 0;
}
