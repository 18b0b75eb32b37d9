#ifndef NOCTAVI_IS_INVALIDRESPONSE_H
#define NOCTAVI_IS_INVALIDRESPONSE_H

#include <Noctavi/IS/Error.h>

namespace IS {

// A reply lacks a required element, holds a value outside its set, or its "RESULT" is none of the known ones.
class InvalidResponse : public Error {
};

} // namespace IS

#endif
