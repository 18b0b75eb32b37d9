#ifndef NOCTAVI_UI_VIRTUALLIST_SCOPEDLOCK_H
#define NOCTAVI_UI_VIRTUALLIST_SCOPEDLOCK_H

// Holds a list's data source locked for a scope: the model lock for the entry
// and event lists, the user source's own lock for the user list.
template <class X>
class ScopedLock {
public:
    explicit ScopedLock(X& source)
        : source_(&source)
    {
        source.Lock();
    }

    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock() { source_->Unlock(); }

private:
    X* source_;
};

#endif
