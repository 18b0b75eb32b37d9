#ifndef NOCTAVI_UI_VIRTUALLIST_SOURCE_H
#define NOCTAVI_UI_VIRTUALLIST_SOURCE_H

#include <memory>
#include <vector>

namespace UI::VirtualList {

// Where a list's rows come from: the keys of the rows, and a lock around the
// data they denote. GetKeys, Exists and every cell read are called with the
// lock held, so that data shared with other threads is read consistently.
template <class KeyT>
class Source {
public:
    typedef KeyT Key;
    typedef std::vector<Key> Keys;

    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    virtual ~Source() = default;

    // Every key offered now, in the source's own order.
    virtual std::unique_ptr<Keys> GetKeys() const = 0;
    // Whether the key still denotes a row.
    virtual bool Exists(const Key& key) const = 0;
    // A recursive lock: the thread that holds it may take it again.
    virtual void Lock() = 0;
    virtual void Unlock() noexcept = 0;
};

} // namespace UI::VirtualList

#endif
