#ifndef NOCTAVI_SYSTEM_APPLICATIONBUSY_H
#define NOCTAVI_SYSTEM_APPLICATIONBUSY_H

#include <pelmo/runtime_error.hpp>

// Another instance of the program runs for this user; this one must end
// quietly.
class ApplicationBusy : public pelmo::runtime_error {
};

#endif
