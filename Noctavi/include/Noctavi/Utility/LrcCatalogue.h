#ifndef NOCTAVI_UTILITY_LRCCATALOGUE_H
#define NOCTAVI_UTILITY_LRCCATALOGUE_H

#include <boost/optional.hpp>
#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// A language catalogue: an optional little-endian record file beside the
// executable whose texts replace entries of the built-in string table. Copies
// share one loaded file.
//
// The static operations Open, Free, LoadString and GetVersionText work on the
// one process-wide catalogue; LoadFile, Parse, Find and Version on a catalogue
// of their own.
class LrcCatalogue {
public:
    // Whether the display has a font for a catalogue's character set, given as
    // a Windows character-set code (0 Western, 128 Japanese, 204 Cyrillic, ...).
    // The core cannot see the display; the user interface passes its
    // font-database check, everything else accepts every character set.
    using CharsetCheck = std::function<bool(int charset)>;
    static bool AnyCharset(int charset);

    // Entry kind whose text carries an accelerator after a TAB.
    static constexpr std::uint16_t kAcceleratorKind = 5;

    // Entry flags.
    static constexpr std::uint16_t kMnemonic = 0x01;        // the mnemonic field is set
    static constexpr std::uint16_t kColon = 0x02;           // append ":"
    static constexpr std::uint16_t kEllipsis = 0x04;        // append "..."
    static constexpr std::uint16_t kSpace = 0x08;           // append " "
    static constexpr std::uint16_t kAppendMnemonic = 0x10;  // always "(&X)", never inside the text

    // One string entry as the file stores it.
    struct Entry {
        std::int32_t id = 0;
        std::uint16_t kind = 0;
        std::uint16_t flags = 0;
        char16_t mnemonic = 0;
        std::u16string text;  // ends before the first NUL within its stored size
    };

    // The executable's path with its extension replaced by ".lrc". Throws
    // SystemError when the executable's path cannot be read.
    static std::string GetCataloguePath();

    // Frees the process-wide catalogue, then loads the file as the new one.
    // True when a catalogue is loaded; a missing or invalid file is no error.
    static bool Open(const std::string& path, const CharsetCheck& hasFont = AnyCharset);
    static void Free();

    // The text of an identifier: from the process-wide catalogue when it has
    // the identifier, else from the built-in table, else empty. Never throws
    // for a missing string.
    static std::wstring LoadString(unsigned int id);

    // The process-wide catalogue's Version, or "-" when none is loaded.
    static std::wstring GetVersionText();

    // A catalogue from a file or from bytes, or none when any check fails.
    static boost::optional<LrcCatalogue> LoadFile(const std::string& path,
                                                  const CharsetCheck& hasFont = AnyCharset);
    static boost::optional<LrcCatalogue> Parse(const unsigned char* data, std::size_t size,
                                               const CharsetCheck& hasFont = AnyCharset);

    // The shown text of an entry: its mnemonic placed or appended and its
    // decorations added, the accelerator part (kind 5) kept at the end.
    static std::wstring ComposeMenuText(const Entry& entry);

    // The composed text of the first entry with the identifier, in file order.
    // A miss in a catalogue that holds strings sets the missing mark.
    boost::optional<std::wstring> Find(unsigned int id) const;

    // "a.b.c.d" from the file's version bytes, with " !" once a lookup missed.
    std::wstring Version() const;

private:
    struct Pimpl;
    explicit LrcCatalogue(boost::shared_ptr<Pimpl> pimpl);

    boost::shared_ptr<Pimpl> pimpl_;
};

#endif
