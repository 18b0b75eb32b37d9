#ifndef NOCTAVI_TESTS_SUPPORT_CATALOGUEBUILDER_H
#define NOCTAVI_TESTS_SUPPORT_CATALOGUEBUILDER_H

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

// One string entry as it is to be written.
struct CatalogueEntry {
    std::int32_t id;
    std::u16string text;
    std::uint16_t flags = 0;
    char16_t mnemonic = 0;
    std::uint16_t kind = 0;
    std::uint16_t textOffset = 2;
};

// Offsets of fields that the malformed-file tests rewrite.
constexpr std::size_t kHeaderSizeField = 136;
constexpr std::size_t kDataSizeField = 140;
constexpr std::size_t kMaskField = 144;
constexpr std::size_t kSection = 152;  // first section: type, header size, data size, -, charset, 1, count
constexpr std::size_t kFirstEntry = kSection + 28;

inline void Put16(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value)
{
    bytes.resize(std::max(bytes.size(), offset + 2));
    bytes[offset] = static_cast<unsigned char>(value);
    bytes[offset + 1] = static_cast<unsigned char>(value >> 8);
}

inline void Put32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value)
{
    Put16(bytes, offset, value & 0xFFFF);
    Put16(bytes, offset + 2, value >> 16);
}

// A catalogue file: the header (version 1.2.3.4) and, with entries, one string
// section holding them.
inline std::vector<unsigned char> BuildCatalogue(const std::vector<CatalogueEntry>& entries, int charset = 0)
{
    std::vector<unsigned char> bytes{'V', 'R', 'Q', 'T', 1, 2, 3, 4};
    bytes.resize(kSection);
    if (!entries.empty()) {
        std::vector<unsigned char> data;
        for (const CatalogueEntry& entry : entries) {
            const std::size_t at = data.size();
            Put32(data, at, static_cast<std::uint32_t>(entry.id));
            Put16(data, at + 4, entry.kind);
            Put16(data, at + 6, entry.flags);
            Put16(data, at + 8, entry.textOffset);
            Put16(data, at + 10, static_cast<std::uint32_t>(2 * (entry.text.size() + 1)));
            Put16(data, at + 12, entry.mnemonic);
            const std::size_t text = at + 12 + entry.textOffset;
            for (std::size_t i = 0; i <= entry.text.size(); ++i)
                Put16(data, text + 2 * i, i < entry.text.size() ? entry.text[i] : 0);
        }
        const std::uint32_t values[] = {1, 28, static_cast<std::uint32_t>(data.size()), 0,
                                        static_cast<std::uint32_t>(charset), 1,
                                        static_cast<std::uint32_t>(entries.size())};
        for (std::uint32_t value : values)
            Put32(bytes, bytes.size(), value);
        bytes.insert(bytes.end(), data.begin(), data.end());
        Put32(bytes, kMaskField, 1);
    }
    Put32(bytes, kHeaderSizeField, kSection);
    Put32(bytes, kDataSizeField, static_cast<std::uint32_t>(bytes.size() - kSection));
    return bytes;
}

// Appends a section of another kind and claims it in the mask.
inline void AppendSection(std::vector<unsigned char>& bytes, std::uint32_t type, std::uint32_t headerSize = 16,
                          std::uint32_t dataSize = 1)
{
    const std::size_t at = bytes.size();
    for (std::uint32_t value : {type, headerSize, dataSize, 0u})
        Put32(bytes, bytes.size(), value);
    bytes.resize(at + headerSize + dataSize, 0x5A);
    Put32(bytes, kMaskField, (bytes[kMaskField] | bytes[kMaskField + 1] << 8) | type);
    Put32(bytes, kDataSizeField, static_cast<std::uint32_t>(bytes.size() - kSection));
}

} // namespace test

#endif
