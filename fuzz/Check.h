#ifndef NOCTAVI_FUZZ_CHECK_H
#define NOCTAVI_FUZZ_CHECK_H

#include <cstdlib>

namespace fuzz {

// A property that does not hold aborts, so that libFuzzer keeps the input as a crash.
inline void Check(bool property)
{
    if (!property)
        std::abort();
}

} // namespace fuzz

#endif
