#include <pelmo/thread/boost_thread_actor_impl.hpp>

#include <utility>

namespace pelmo {

void boost_thread_actor_impl::launch(std::function<void()> body)
{
    thread_ = boost::thread(std::move(body));
}

void boost_thread_actor_impl::interrupt()
{
    thread_.interrupt();
}

void boost_thread_actor_impl::join()
{
    if (thread_.joinable())
        thread_.join();
    thread_ = boost::thread();
}

} // namespace pelmo
