#include <pelmo/thread/actor_group.hpp>

#include <boost/thread/lock_guard.hpp>

namespace pelmo {

actor_group::~actor_group()
{
    try {
        join_all();
    } catch (...) {
    }
}

void actor_group::add(const boost::shared_ptr<inf_actor>& member)
{
    boost::lock_guard<boost::mutex> lock(mutex_);
    members_.push_back(member);
}

void actor_group::start_all()
{
    boost::lock_guard<boost::mutex> lock(mutex_);
    for (const auto& member : members_)
        member->Start();
}

void actor_group::interrupt_all()
{
    boost::lock_guard<boost::mutex> lock(mutex_);
    for (const auto& member : members_)
        member->Interrupt();
}

void actor_group::join_all()
{
    boost::lock_guard<boost::mutex> lock(mutex_);
    for (const auto& member : members_)
        member->Join();
}

} // namespace pelmo
