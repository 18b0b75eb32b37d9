#include <Noctavi/IS/DescriptionLink.h>

#include <Noctavi/Utility/TextConversion.h>

#include <boost/algorithm/string/predicate.hpp>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace IS {
namespace {

using HTTP::XML::Parser;

// Beyond these, markup is left to the full parse, which has its own limits.
constexpr std::size_t kMaxMarkup = 16384;
constexpr int kMaxTags = 64;

// Elements that both parsers read alike in any order: none holds raw text,
// none is moved or dropped by the HTML parser.
constexpr std::array<std::string_view, 33> kElements = {
    "a",  "b",   "big",    "blockquote", "br",     "center", "cite", "code",  "dd",    "div",   "dl",
    "dt", "em",  "font",   "h1",         "h2",     "h3",     "h4",   "hr",    "i",     "img",   "li",
    "ol", "p",   "pre",    "small",      "span",   "strong", "sub",  "sup",   "tt",    "u",     "ul",
};

// Fewer than 32, so that a tag's attributes can be told apart by a bit each.
constexpr std::array<std::string_view, 20> kAttributes = {
    "align", "alt",   "border", "class",  "color", "dir",   "face",  "height", "href",  "hspace",
    "id",    "lang",  "name",   "rel",    "size",  "src",   "style", "target", "title", "width",
};

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII only, as both parsers compare names; no locale is consulted.
bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Lower(x) == Lower(y);
           });
}

bool IsKnownElement(std::string_view name)
{
    return std::any_of(kElements.begin(), kElements.end(),
                       [name](std::string_view known) { return SameName(known, name); });
}

// The attribute's place in kAttributes; its size for an unknown one.
std::size_t AttributeIndex(std::string_view name)
{
    return static_cast<std::size_t>(
        std::find_if(kAttributes.begin(), kAttributes.end(),
                     [name](std::string_view known) { return SameName(known, name); })
        - kAttributes.begin());
}

// A character both parsers take as it is: no controls (C0 but white space,
// DEL, C1), no surrogates, no non-characters that XML refuses.
bool IsPlainCharacter(char32_t c)
{
    if (c < 0x20)
        return IsSpace(static_cast<char>(c));
    return (c < 0x7F || c > 0x9F) && (c < 0xD800 || c > 0xDFFF) && c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

// Malformed UTF-8 would make the HTML parser read what follows as Latin-1.
bool IsPlainText(std::string_view markup)
{
    const bool ascii = std::all_of(markup.begin(), markup.end(), [](char c) { return c >= 0; });
    if (ascii)
        return std::all_of(markup.begin(), markup.end(), [](char c) { return IsPlainCharacter(c); });
    const std::wstring wide = Utility::ToWide(markup);
    // Only well-formed UTF-8 comes back unchanged.
    return Utility::ToNarrow(wide) == markup
        && std::all_of(wide.begin(), wide.end(), [](wchar_t c) { return IsPlainCharacter(c); });
}

// Reads markup from left to right; every step either moves on or gives up.
class Scanner {
public:
    explicit Scanner(std::string_view markup)
        : text_(markup)
    {
    }

    // The link; none when the markup is not simple.
    std::optional<std::string> Link()
    {
        for (int tags = 0; tags <= kMaxTags; ++tags) {
            if (!SkipText())
                return std::nullopt;
            if (AtEnd())
                return std::string();
            const std::optional<bool> isLink = Tag();
            if (!isLink)
                return std::nullopt;
            if (*isLink)
                return href_;
        }
        return std::nullopt;
    }

private:
    bool AtEnd() const { return at_ == text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[at_]; }

    bool Take(char c)
    {
        if (Peek() != c)
            return false;
        ++at_;
        return true;
    }

    bool SkipSpaces()
    {
        const std::size_t from = at_;
        while (IsSpace(Peek()))
            ++at_;
        return at_ != from;
    }

    std::string_view Name()
    {
        const std::size_t from = at_;
        if (IsLetter(Peek())) {
            while (IsLetter(Peek()) || IsDigit(Peek()))
                ++at_;
        }
        return text_.substr(from, at_ - from);
    }

    // Text up to the next tag; its references must be ones both parsers know.
    bool SkipText()
    {
        while (!AtEnd() && Peek() != '<') {
            if (Peek() != '&')
                ++at_;
            else if (!Reference(nullptr))
                return false;
        }
        return true;
    }

    // One tag: whether it starts the first link; none when it is not simple.
    std::optional<bool> Tag()
    {
        ++at_; // '<'
        if (Take('/')) {
            const bool known = IsKnownElement(Name());
            SkipSpaces();
            return known && Take('>') ? std::optional<bool>(false) : std::nullopt;
        }
        const std::string_view name = Name();
        if (!IsKnownElement(name))
            return std::nullopt;
        const bool isLink = SameName(name, "a");
        std::uint32_t seen = 0;
        for (;;) {
            const bool spaced = SkipSpaces();
            if (Take('>'))
                return isLink;
            if (Take('/'))
                return Take('>') ? std::optional<bool>(isLink) : std::nullopt;
            const std::size_t attribute = AttributeIndex(Name());
            const std::uint32_t bit = std::uint32_t{1} << attribute;
            if (!spaced || attribute == kAttributes.size() || (seen & bit) != 0)
                return std::nullopt;
            seen |= bit;
            if (!Value(isLink && kAttributes[attribute] == "href" ? &href_ : nullptr))
                return std::nullopt;
        }
    }

    // ="value", decoded into `out` when given, each run of white space as one
    // space, as the attribute reader leaves it.
    bool Value(std::string* out)
    {
        SkipSpaces();
        if (!Take('='))
            return false;
        SkipSpaces();
        if (!Take('"'))
            return false;
        std::string decoded;
        bool afterSpace = false;
        while (!Take('"')) {
            if (AtEnd() || Peek() == '<')
                return false;
            decoded.clear();
            if (Peek() != '&')
                decoded += text_[at_++];
            else if (!Reference(&decoded))
                return false;
            const bool space = decoded.size() == 1 && IsSpace(decoded[0]);
            if (out && !(space && afterSpace))
                *out += space ? std::string_view(" ") : std::string_view(decoded);
            afterSpace = space;
        }
        return true;
    }

    // A reference at '&': one of the five predefined entities, or a numeric
    // one naming a plain character.
    bool Reference(std::string* out)
    {
        const std::size_t end = text_.find(';', at_);
        if (end == std::string_view::npos || end == at_ + 1 || end - at_ > 10)
            return false;
        const std::string_view name = text_.substr(at_ + 1, end - at_ - 1);
        const std::optional<char32_t> character = name[0] == '#' ? Numeric(name.substr(1)) : Named(name);
        if (!character)
            return false;
        if (out)
            *out = Utility::ToNarrow(std::wstring(1, static_cast<wchar_t>(*character)));
        at_ = end + 1;
        return true;
    }

    static std::optional<char32_t> Named(std::string_view name)
    {
        static constexpr std::pair<std::string_view, char> entities[] = {
            {"quot", '"'}, {"apos", '\''}, {"lt", '<'}, {"gt", '>'}, {"amp", '&'},
        };
        for (const auto& [entity, character] : entities) {
            if (name == entity)
                return character;
        }
        return std::nullopt;
    }

    // Decimal or lower-case "x" hexadecimal digits, at most seven of them.
    static std::optional<char32_t> Numeric(std::string_view digits)
    {
        const bool hex = !digits.empty() && digits[0] == 'x';
        if (hex)
            digits.remove_prefix(1);
        if (digits.empty() || digits.size() > 7)
            return std::nullopt;
        char32_t value = 0;
        for (const char c : digits) {
            const int digit = IsDigit(c) ? c - '0'
                : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                : -1;
            if (digit < 0)
                return std::nullopt;
            value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        }
        return IsPlainCharacter(value) ? std::optional<char32_t>(value) : std::nullopt;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string href_;
};

// Without "<a" in any case the markup holds no A element, and the HTML
// parser, by far the dearest step of the analysis, can be skipped.
bool MayHoldLink(const std::string& markup)
{
    for (std::size_t open = markup.find('<'); open != std::string::npos; open = markup.find('<', open + 1)) {
        if (open + 1 < markup.size() && (markup[open + 1] == 'a' || markup[open + 1] == 'A'))
            return true;
    }
    return false;
}

} // namespace

std::optional<std::string> ScanDescriptionLink(std::string_view markup)
{
    if (markup.size() > kMaxMarkup || !IsPlainText(markup))
        return std::nullopt;
    return Scanner(markup).Link();
}

// Attribute names are compared as HTML compares them, without regard to
// case: markup that happens to be well-formed XML keeps its names' case.
std::string ParseDescriptionLink(Parser& document, const std::string& markup)
{
    if (!MayHoldLink(markup) || !document.Parse(std::vector<unsigned char>(markup.begin(), markup.end())))
        return std::string();
    const Parser::Iterator link = document.Find("A");
    if (link == Parser::End())
        return std::string();
    for (const auto& [name, value] : (*link).GetAttributes()) {
        if (boost::algorithm::iequals(name, "href"))
            return value;
    }
    return std::string();
}

} // namespace IS
