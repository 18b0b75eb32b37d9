#ifndef PELMO_CLONER_HPP
#define PELMO_CLONER_HPP

#include <atomic>
#include <utility>

namespace pelmo {

// Holder through which a value class reaches its private record. Copying the
// holder copies the record at once, so two values never share state.
//
// Moving hands the record over without copying it; the source is left with
// none, fit only to be destroyed or assigned to.
//
// The record type may be incomplete wherever the holder is copied or
// destroyed: cloning and deletion go through a policy object created where
// the record was made (where the type is complete). The policy is shared by a
// value and every value copied from it; its count is atomic because values
// are copied on different threads.
template <class T>
class cloner {
public:
    // A holder with no record.
    cloner() noexcept = default;

    // Takes ownership of the record; a null record gives a holder with none.
    explicit cloner(T* record)
        : record_(record)
        , policy_(record ? new impl<T>() : nullptr)
    {
    }

    cloner(const cloner& other)
        : record_(other.policy_ ? other.policy_->clone(other.record_) : nullptr)
        , policy_(other.policy_)
    {
        if (policy_)
            policy_->add_ref();
    }

    cloner(cloner&& other) noexcept
        : record_(std::exchange(other.record_, nullptr))
        , policy_(std::exchange(other.policy_, nullptr))
    {
    }

    // Clones the source first, so a failed clone leaves this value intact and
    // self-assignment works.
    cloner& operator=(const cloner& other)
    {
        T* record = other.policy_ ? other.policy_->clone(other.record_) : nullptr;
        impl_base* policy = other.policy_;
        if (policy)
            policy->add_ref();
        release();
        record_ = record;
        policy_ = policy;
        return *this;
    }

    cloner& operator=(cloner&& other) noexcept
    {
        if (this != &other) {
            release();
            record_ = std::exchange(other.record_, nullptr);
            policy_ = std::exchange(other.policy_, nullptr);
        }
        return *this;
    }

    ~cloner() { release(); }

    T* get() noexcept { return record_; }
    const T* get() const noexcept { return record_; }
    T* operator->() noexcept { return record_; }
    const T* operator->() const noexcept { return record_; }
    T& operator*() noexcept { return *record_; }
    const T& operator*() const noexcept { return *record_; }
    explicit operator bool() const noexcept { return record_ != nullptr; }

private:
    class impl_base {
    public:
        impl_base() = default;
        impl_base(const impl_base&) = delete;
        impl_base& operator=(const impl_base&) = delete;
        virtual ~impl_base() = default;
        virtual T* clone(const T* record) const = 0;
        virtual void destroy(T* record) const noexcept = 0;

        void add_ref() noexcept { count_.fetch_add(1, std::memory_order_relaxed); }
        // True when the caller released the last share.
        bool release_ref() noexcept { return count_.fetch_sub(1, std::memory_order_acq_rel) <= 1; }

    private:
        std::atomic<int> count_{1};
    };

    template <class U>
    class impl final : public impl_base {
    public:
        U* clone(const U* record) const override { return record ? new U(*record) : nullptr; }
        void destroy(U* record) const noexcept override { delete record; }
    };

    void release() noexcept
    {
        if (!policy_)
            return;
        policy_->destroy(record_);
        if (policy_->release_ref())
            delete policy_;
        record_ = nullptr;
        policy_ = nullptr;
    }

    T* record_ = nullptr;
    impl_base* policy_ = nullptr;
};

} // namespace pelmo

#endif
