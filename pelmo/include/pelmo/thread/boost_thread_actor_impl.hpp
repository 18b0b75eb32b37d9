#ifndef PELMO_THREAD_BOOST_THREAD_ACTOR_IMPL_HPP
#define PELMO_THREAD_BOOST_THREAD_ACTOR_IMPL_HPP

#include <boost/thread/thread.hpp>

#include <functional>

namespace pelmo {

// Thread implementation of pelmo::actor over a Boost thread, whose
// interruption wakes every interruptible wait of the body.
class boost_thread_actor_impl {
public:
    void launch(std::function<void()> body);
    void interrupt();
    void join();

private:
    boost::thread thread_;
};

} // namespace pelmo

#endif
