#ifndef PELMO_THREAD_ACTOR_GROUP_HPP
#define PELMO_THREAD_ACTOR_GROUP_HPP

#include <pelmo/thread/inf_actor.hpp>

#include <boost/shared_ptr.hpp>
#include <boost/thread/mutex.hpp>

#include <vector>

namespace pelmo {

// Actors started, interrupted and joined together, in the order they were added.
class actor_group {
public:
    actor_group() = default;
    actor_group(const actor_group&) = delete;
    actor_group& operator=(const actor_group&) = delete;
    // Joins every member; a failure while joining is swallowed.
    ~actor_group();

    void add(const boost::shared_ptr<inf_actor>& member);
    void start_all();
    void interrupt_all();
    void join_all();

private:
    std::vector<boost::shared_ptr<inf_actor>> members_;
    boost::mutex mutex_;
};

} // namespace pelmo

#endif
