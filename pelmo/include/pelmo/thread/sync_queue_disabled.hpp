#ifndef PELMO_THREAD_SYNC_QUEUE_DISABLED_HPP
#define PELMO_THREAD_SYNC_QUEUE_DISABLED_HPP

#include <pelmo/exception.hpp>

namespace pelmo {

// Raised by every operation of a disabled sync_queue: how its threads learn to stop.
class sync_queue_disabled : public exception {
};

} // namespace pelmo

#endif
