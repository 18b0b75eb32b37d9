#ifndef PELMO_LOGIC_ERROR_HPP
#define PELMO_LOGIC_ERROR_HPP

#include <pelmo/exception.hpp>

namespace pelmo {

// Programming or data-consistency errors; base of the model's table errors.
class logic_error : public exception {
};

} // namespace pelmo

#endif
