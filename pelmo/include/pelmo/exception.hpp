#ifndef PELMO_EXCEPTION_HPP
#define PELMO_EXCEPTION_HPP

#include <boost/exception/exception.hpp>
#include <boost/throw_exception.hpp>

#include <exception>

// Every throw of the system goes through this macro: it records the enclosing
// function's signature, the file and the line, and throws the exception so that
// boost::current_exception() can carry it, with its full type, to another thread.
#define PELMO_THROW(e) BOOST_THROW_EXCEPTION(e)

namespace pelmo {

// Root of every failure of the library and the application, except the
// operating-system errors, which descend from pelmo::system_error instead.
class exception : public virtual boost::exception, public virtual std::exception {
public:
    exception() = default;
    ~exception() noexcept override = default;
};

} // namespace pelmo

#endif
