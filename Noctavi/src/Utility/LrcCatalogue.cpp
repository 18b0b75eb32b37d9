#include <Noctavi/Utility/LrcCatalogue.h>

#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/CLrcReader.h>
#include <Noctavi/Utility/LoadString.h>
#include <Noctavi/Utility/Utf16Conversion.h>

#include <pelmo/exception.hpp>

#include <boost/make_shared.hpp>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cwctype>
#include <new>
#include <vector>

#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

namespace {

constexpr std::size_t kHeaderSize = 152;

// Offsets of the header's fields.
enum HeaderField : std::size_t {
    kVersionOffset = 4,
    kHeaderSizeOffset = 136,
    kDataSizeOffset = 140,
    kMaskOffset = 144,
};

// Offsets of a string section header's own fields, after type and sizes.
enum StringSectionField : std::size_t {
    kCharsetOffset = 16,
    kFormatOffset = 20,
    kEntryCountOffset = 24,
};

constexpr std::uint32_t kStringSection = 1;
constexpr std::uint32_t kStringFormat = 1;
constexpr std::uint32_t kMinSectionHeader = 16;
constexpr std::uint32_t kStringSectionHeader = 28;  // up to and including the entry count

constexpr std::size_t kEntryHeader = 12;
constexpr std::uint16_t kMinTextOffset = 2;  // the mnemonic sits between header and text

// A catalogue holds a few hundred short texts; anything near this size is not
// one, and refusing it keeps a hostile file from exhausting memory.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

// Room for "(&X)", " ", "..." and ":".
constexpr std::size_t kDecorationRoom = 9;

// Little-endian reads that are checked against the end of the data: a read
// that does not fit answers false.
class ByteReader {
public:
    ByteReader(const unsigned char* data, std::size_t size)
        : data_(data)
        , size_(size)
    {
    }

    std::size_t Size() const { return size_; }

    bool Fits(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size_ && length <= size_ - offset;
    }

    bool U8(std::uint64_t offset, unsigned char& value) const
    {
        if (!Fits(offset, 1))
            return false;
        value = data_[offset];
        return true;
    }

    bool U16(std::uint64_t offset, std::uint16_t& value) const
    {
        unsigned char low = 0;
        unsigned char high = 0;
        if (!U8(offset, low) || !U8(offset + 1, high))
            return false;
        value = static_cast<std::uint16_t>(low | high << 8);
        return true;
    }

    bool U32(std::uint64_t offset, std::uint32_t& value) const
    {
        std::uint16_t low = 0;
        std::uint16_t high = 0;
        if (!U16(offset, low) || !U16(offset + 2, high))
            return false;
        value = static_cast<std::uint32_t>(low) | static_cast<std::uint32_t>(high) << 16;
        return true;
    }

    // The UTF-16 text of `units` code units at offset, up to the first NUL.
    bool Text(std::uint64_t offset, std::size_t units, std::u16string& text) const
    {
        if (!Fits(offset, std::uint64_t(units) * 2))
            return false;
        text.clear();
        for (std::size_t i = 0; i < units; ++i) {
            std::uint16_t unit = 0;
            U16(offset + 2 * i, unit);
            if (unit == 0)
                break;
            text += static_cast<char16_t>(unit);
        }
        return true;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
};

struct Header {
    std::array<unsigned char, 4> version{};
    std::uint32_t mask = 0;
};

bool IsOneBit(std::uint32_t value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

bool HasMagic(const ByteReader& reader)
{
    static const char kMagic[] = "VRQT";
    for (std::size_t i = 0; i < 4; ++i) {
        unsigned char byte = 0;
        if (!reader.U8(i, byte) || byte != static_cast<unsigned char>(kMagic[i]))
            return false;
    }
    return true;
}

boost::optional<Header> ReadHeader(const ByteReader& reader)
{
    Header header;
    std::uint32_t headerSize = 0;
    std::uint32_t dataSize = 0;
    if (reader.Size() < kHeaderSize || !HasMagic(reader) || !reader.U32(kHeaderSizeOffset, headerSize)
        || !reader.U32(kDataSizeOffset, dataSize) || !reader.U32(kMaskOffset, header.mask))
        return boost::none;
    if (headerSize != kHeaderSize || dataSize != reader.Size() - kHeaderSize)
        return boost::none;
    for (std::size_t i = 0; i < header.version.size(); ++i)
        reader.U8(kVersionOffset + i, header.version[i]);
    return header;
}

// One entry at offset, which must end by `end`; gives the entry's size.
bool ReadEntry(const ByteReader& reader, std::uint64_t offset, std::uint64_t end,
               LrcCatalogue::Entry& entry, std::uint64_t& size)
{
    std::uint32_t id = 0;
    std::uint16_t textOffset = 0;
    std::uint16_t textSize = 0;
    std::uint16_t mnemonic = 0;
    if (end - offset < kEntryHeader || !reader.U32(offset, id) || !reader.U16(offset + 4, entry.kind)
        || !reader.U16(offset + 6, entry.flags) || !reader.U16(offset + 8, textOffset)
        || !reader.U16(offset + 10, textSize))
        return false;
    if (textOffset < kMinTextOffset || textSize < 2 || textSize % 2 != 0)
        return false;
    size = kEntryHeader + textOffset + textSize;
    if (end - offset < size || !reader.U16(offset + kEntryHeader, mnemonic))
        return false;
    entry.id = static_cast<std::int32_t>(id);
    entry.mnemonic = static_cast<char16_t>(mnemonic);
    // The stored size counts the terminator; the text is taken by that size.
    return reader.Text(offset + kEntryHeader + textOffset, textSize / 2 - 1, entry.text);
}

// The string section at offset: its header's own fields, then entries that
// fill its data exactly and match its entry count (never 0, as the data is).
bool ReadStringSection(const ByteReader& reader, std::uint64_t offset, std::uint32_t headerSize,
                       std::uint32_t dataSize, const LrcCatalogue::CharsetCheck& hasFont,
                       std::vector<LrcCatalogue::Entry>& entries)
{
    std::uint32_t charset = 0;
    std::uint32_t format = 0;
    std::uint32_t count = 0;
    if (headerSize < kStringSectionHeader || !reader.U32(offset + kCharsetOffset, charset)
        || !reader.U32(offset + kFormatOffset, format) || !reader.U32(offset + kEntryCountOffset, count))
        return false;
    if (format != kStringFormat || !hasFont(static_cast<std::int32_t>(charset)))
        return false;

    std::uint64_t position = offset + headerSize;
    const std::uint64_t end = position + dataSize;
    while (position < end) {
        LrcCatalogue::Entry entry;
        std::uint64_t size = 0;
        if (!ReadEntry(reader, position, end, entry, size))
            return false;
        entries.push_back(std::move(entry));
        position += size;
    }
    return entries.size() == count;
}

// Sections lie back to back after the header up to the end of the file; their
// types cover the mask exactly, one section per bit, so data without a mask,
// or a mask without data, is refused too.
bool ReadSections(const ByteReader& reader, const Header& header, const LrcCatalogue::CharsetCheck& hasFont,
                  std::vector<LrcCatalogue::Entry>& entries)
{
    std::uint32_t seen = 0;
    std::uint64_t offset = kHeaderSize;
    while (offset < reader.Size()) {
        std::uint32_t type = 0;
        std::uint32_t headerSize = 0;
        std::uint32_t dataSize = 0;
        if (!reader.Fits(offset, kMinSectionHeader) || !reader.U32(offset, type)
            || !reader.U32(offset + 4, headerSize) || !reader.U32(offset + 8, dataSize))
            return false;
        if (!IsOneBit(type) || (seen & type) != 0)
            return false;
        if (headerSize < kMinSectionHeader || dataSize < 1
            || !reader.Fits(offset, std::uint64_t(headerSize) + dataSize))
            return false;
        if (type == kStringSection && !ReadStringSection(reader, offset, headerSize, dataSize, hasFont, entries))
            return false;
        seen |= type;
        offset += std::uint64_t(headerSize) + dataSize;
    }
    const bool empty = reader.Size() == kHeaderSize;
    return seen == header.mask && (empty || (seen & kStringSection) != 0);
}

// Owns a file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : fd_(fd)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

// The whole of a regular file of catalogue size. O_NONBLOCK keeps a FIFO put
// in the catalogue's place from blocking the open; it is then refused.
bool ReadCatalogueFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat status {};
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0)
        return false;
    if (!S_ISREG(status.st_mode) || status.st_size < off_t(kHeaderSize) || status.st_size > kMaxFileSize)
        return false;
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::read(file.Get(), bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

std::string ExecutablePath()
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            PELMO_THROW(SystemError());
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

// Case mapping over the whole of Unicode, as the mnemonic of a translated menu
// may be any letter; the classic locale maps ASCII only, so it is the fallback.
locale_t UnicodeCharacterTypes()
{
    static const locale_t types = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t());
    return types;
}

wchar_t ToUpper(wchar_t c)
{
    const locale_t types = UnicodeCharacterTypes();
    return static_cast<wchar_t>(types ? ::towupper_l(c, types) : std::towupper(c));
}

wchar_t ToLower(wchar_t c)
{
    const locale_t types = UnicodeCharacterTypes();
    return static_cast<wchar_t>(types ? ::towlower_l(c, types) : std::towlower(c));
}

// How an entry's mnemonic is shown: before the first character equal to
// upper or lower when placing is allowed, else appended as "(&upper)";
// upper 0 shows none.
struct Mnemonic {
    wchar_t upper = 0;
    wchar_t lower = 0;
    bool place = false;
};

// A text that marks its own mnemonic keeps it; an upper-case match in the text
// is preferred to an earlier lower-case one.
Mnemonic ChooseMnemonic(const LrcCatalogue::Entry& entry, std::wstring_view part)
{
    Mnemonic mnemonic;
    if ((entry.flags & LrcCatalogue::kMnemonic) == 0 || entry.mnemonic == 0)
        return mnemonic;
    const wchar_t letter = Utility::FromUtf16(std::u16string(1, entry.mnemonic))[0];
    mnemonic.upper = ToUpper(letter);
    if ((entry.flags & LrcCatalogue::kAppendMnemonic) == 0) {
        mnemonic.lower = ToLower(letter);
        mnemonic.place = true;
    }
    for (wchar_t c : part) {
        if (c == L'&')
            return Mnemonic();
        if (c == mnemonic.upper)
            mnemonic.lower = 0;
    }
    return mnemonic;
}

std::wstring WithMnemonic(std::wstring_view part, Mnemonic mnemonic)
{
    std::wstring text;
    text.reserve(part.size() + kDecorationRoom);
    for (wchar_t c : part) {
        if (mnemonic.place && (c == mnemonic.upper || (mnemonic.lower != 0 && c == mnemonic.lower))) {
            text += L'&';
            mnemonic = Mnemonic();
        }
        text += c;
    }
    if (mnemonic.upper != 0)
        text.append(L"(&").append(1, mnemonic.upper).append(L")");
    return text;
}

} // namespace

struct LrcCatalogue::Pimpl {
    std::array<unsigned char, 4> version{};
    std::vector<Entry> entries;  // file order; empty when the file has no strings
    // Set by lookups on any thread; atomic so that concurrent misses are safe.
    std::atomic<bool> missing{false};
};

LrcCatalogue::LrcCatalogue(boost::shared_ptr<Pimpl> pimpl)
    : pimpl_(std::move(pimpl))
{
}

bool LrcCatalogue::AnyCharset(int)
{
    return true;
}

std::string LrcCatalogue::GetCataloguePath()
{
    std::string path = ExecutablePath();
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        path.erase(dot);
    return path + ".lrc";
}

bool LrcCatalogue::Open(const std::string& path, const CharsetCheck& hasFont)
{
    Free();
    boost::optional<LrcCatalogue> catalogue = LoadFile(path, hasFont);
    const bool loaded = catalogue.is_initialized();
    CLrcReader::Install(std::move(catalogue));
    return loaded;
}

void LrcCatalogue::Free()
{
    CLrcReader::Install(boost::none);
}

std::wstring LrcCatalogue::LoadString(unsigned int id)
{
    try {
        if (boost::optional<std::wstring> text = CLrcReader().Find(id))
            return *text;
    } catch (const std::bad_alloc&) {
        // A text that cannot be composed falls back to the built-in one.
    }
    try {
        return LoadStringFromApp(id);
    } catch (const SystemError&) {
        return std::wstring();
    }
}

std::wstring LrcCatalogue::GetVersionText()
{
    return CLrcReader().GetVersionText().value_or(L"-");
}

boost::optional<LrcCatalogue> LrcCatalogue::LoadFile(const std::string& path, const CharsetCheck& hasFont)
{
    try {
        std::vector<unsigned char> bytes;
        if (!ReadCatalogueFile(path, bytes))
            return boost::none;
        return Parse(bytes.data(), bytes.size(), hasFont);
    } catch (const std::bad_alloc&) {
        return boost::none;
    }
}

boost::optional<LrcCatalogue> LrcCatalogue::Parse(const unsigned char* data, std::size_t size,
                                                  const CharsetCheck& hasFont)
{
    const ByteReader reader(data, size);
    const boost::optional<Header> header = ReadHeader(reader);
    if (!header)
        return boost::none;
    auto pimpl = boost::make_shared<Pimpl>();
    if (!ReadSections(reader, *header, hasFont, pimpl->entries))
        return boost::none;
    pimpl->version = header->version;
    return LrcCatalogue(std::move(pimpl));
}

std::wstring LrcCatalogue::ComposeMenuText(const Entry& entry)
{
    const std::wstring text = Utility::FromUtf16(entry.text);
    const std::size_t partEnd = entry.kind == kAcceleratorKind ? std::min(text.find(L'\t'), text.size()) : text.size();
    const std::wstring_view part(text.data(), partEnd);

    std::wstring composed = WithMnemonic(part, ChooseMnemonic(entry, part));
    if ((entry.flags & kSpace) != 0)
        composed += L' ';
    if ((entry.flags & kEllipsis) != 0)
        composed += L"...";
    if ((entry.flags & kColon) != 0)
        composed += L':';
    return composed.append(text, partEnd, std::wstring::npos);
}

boost::optional<std::wstring> LrcCatalogue::Find(unsigned int id) const
{
    if (pimpl_->entries.empty())
        return boost::none;
    const auto wanted = static_cast<std::int32_t>(id);
    for (const Entry& entry : pimpl_->entries) {
        if (entry.id == wanted)
            return ComposeMenuText(entry);
    }
    pimpl_->missing.store(true, std::memory_order_relaxed);
    return boost::none;
}

std::wstring LrcCatalogue::Version() const
{
    std::wstring text;
    for (unsigned char part : pimpl_->version)
        text.append(text.empty() ? L"" : L".").append(std::to_wstring(part));
    if (pimpl_->missing.load(std::memory_order_relaxed))
        text += L" !";
    return text;
}
