#include "challenge.hpp"

#include "ascii.hpp"

#include <algorithm>

namespace transport::detail {
namespace {

bool is_tchar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool is_token68_char(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("-._~+/").find(c) != std::string_view::npos;
}

// A cursor over one header value.
class reader {
public:
    explicit reader(std::string_view text)
        : text_(text)
    {
    }

    bool done() const { return at_ >= text_.size(); }
    char peek(std::size_t ahead = 0) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0'; }
    std::size_t mark() const { return at_; }
    void rewind(std::size_t mark) { at_ = mark; }

    void skip_blanks()
    {
        while (peek() == ' ' || peek() == '\t')
            ++at_;
    }

    void skip_separators()
    {
        while (peek() == ' ' || peek() == '\t' || peek() == ',')
            ++at_;
    }

    template <class Accept>
    std::string run(Accept accept)
    {
        const std::size_t start = at_;
        while (!done() && accept(text_[at_]))
            ++at_;
        return std::string(text_.substr(start, at_ - start));
    }

    // A quoted-string with its escapes undone; the cursor is on its opening quote.
    std::string quoted()
    {
        std::string value;
        for (++at_; !done() && text_[at_] != '"'; ++at_) {
            if (text_[at_] == '\\' && at_ + 1 < text_.size())
                ++at_;
            value += text_[at_];
        }
        ++at_;
        return value;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// name = ( token / quoted-string ), when that is what comes next.
bool read_param(reader& in, challenge& into)
{
    const std::size_t start = in.mark();
    const std::string name = in.run(is_tchar);
    in.skip_blanks();
    if (name.empty() || in.peek() != '=') {
        in.rewind(start);
        return false;
    }
    in.run([](char c) { return c == '='; });
    in.skip_blanks();
    into.params[lower_ascii(name)] = in.peek() == '"' ? in.quoted() : in.run(is_tchar);
    return true;
}

// token68 ends in '=' padding only: "realm=x" is a parameter, "abc==" is not.
bool read_token68(reader& in, challenge& into)
{
    const std::size_t start = in.mark();
    std::string value = in.run(is_token68_char);
    value += in.run([](char c) { return c == '='; });
    in.skip_blanks();
    if (value.empty() || value.front() == '=' || !(in.done() || in.peek() == ',')) {
        in.rewind(start);
        return false;
    }
    into.params[""] = value;
    return true;
}

// The auth-params after a scheme, up to the next challenge's scheme.
void read_params(reader& in, challenge& into)
{
    if (read_token68(in, into))
        return;
    while (read_param(in, into)) {
        in.skip_blanks();
        if (in.peek() != ',')
            return;
        in.skip_separators();
    }
}

void parse_value(std::string_view value, std::vector<challenge>& into)
{
    reader in(value);
    for (in.skip_separators(); !in.done(); in.skip_separators()) {
        challenge next;
        next.scheme = lower_ascii(in.run(is_tchar));
        if (next.scheme.empty() || !(in.done() || in.peek() == ' ' || in.peek() == '\t' || in.peek() == ','))
            return;
        in.skip_blanks();
        read_params(in, next);
        into.push_back(std::move(next));
    }
}

} // namespace

std::vector<challenge> parse_challenges(std::string_view values)
{
    std::vector<challenge> result;
    while (!values.empty()) {
        const std::size_t end = std::min(values.find('\n'), values.size());
        parse_value(trim(values.substr(0, end)), result);
        values.remove_prefix(std::min(end + 1, values.size()));
    }
    return result;
}

bool offers(const std::vector<challenge>& challenges, std::string_view scheme)
{
    return std::any_of(challenges.begin(), challenges.end(),
                       [scheme](const challenge& c) { return c.scheme == scheme; });
}

} // namespace transport::detail
