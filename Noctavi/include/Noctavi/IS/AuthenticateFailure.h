#ifndef NOCTAVI_IS_AUTHENTICATEFAILURE_H
#define NOCTAVI_IS_AUTHENTICATEFAILURE_H

#include <Noctavi/IS/ErrorResult.h>

namespace IS {

// "FAIL_AUTHENTICATE": the account ID and password were refused.
class AuthenticateFailure : public ErrorResult {
};

} // namespace IS

#endif
