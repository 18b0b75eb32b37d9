#ifndef PELMO_DOMAIN_ERROR_HPP
#define PELMO_DOMAIN_ERROR_HPP

#include <pelmo/logic_error.hpp>

namespace pelmo {

// A request outside what the program can serve, such as a second instance.
class domain_error : public logic_error {
};

} // namespace pelmo

#endif
