// Compares the scan of a description's markup for its link with the full
// parse: wherever the scan answers, the two must agree, so that a change in
// how libxml2 reads HTML is caught.
#include <Noctavi/IS/DescriptionLink.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string markup(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> scanned = IS::ScanDescriptionLink(markup);
    if (!scanned)
        return 0;
    static HTTP::XML::Parser document;
    const std::string parsed = IS::ParseDescriptionLink(document, markup);
    if (*scanned != parsed) {
        std::fprintf(stderr, "scan \"%s\", full parse \"%s\"\n", scanned->c_str(), parsed.c_str());
        std::abort();
    }
    return 0;
}
