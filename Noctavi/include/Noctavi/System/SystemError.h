#ifndef NOCTAVI_SYSTEM_SYSTEMERROR_H
#define NOCTAVI_SYSTEM_SYSTEMERROR_H

#include <pelmo/system_error.hpp>

#include <cerrno>

// A failed operating-system call, carrying its errno in the system category.
// The default argument reads errno at the throw site, before anything else can change it.
class SystemError : public pelmo::system_error {
public:
    explicit SystemError(int error = errno);
};

#endif
