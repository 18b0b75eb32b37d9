#ifndef NOCTAVI_UI_SEAM_H
#define NOCTAVI_UI_SEAM_H

#include <functional>
#include <utility>

namespace UI {

template <typename Signature>
class Seam;

// An operation that would block or reach outside the process (a modal box, a
// program started, the desktop's tray), called through one replaceable
// function so that tests and the dialog gallery can stand in for it. Used on
// the GUI thread only.
template <typename Result, typename... Args>
class Seam<Result(Args...)> {
public:
    using Function = std::function<Result(Args...)>;

    explicit Seam(Function function)
        : function_(std::move(function))
    {
    }
    Seam(const Seam&) = delete;
    Seam& operator=(const Seam&) = delete;

    Result operator()(Args... args) const { return function_(std::forward<Args>(args)...); }

    // Stands in for the seam's operation for its own life; overrides nest.
    class Override {
    public:
        Override(Seam& seam, Function replacement)
            : seam_(seam)
            , previous_(std::exchange(seam.function_, std::move(replacement)))
        {
        }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;
        ~Override() { seam_.function_ = std::move(previous_); }

    private:
        Seam& seam_;
        Function previous_;
    };

private:
    Function function_;
};

} // namespace UI

#endif
