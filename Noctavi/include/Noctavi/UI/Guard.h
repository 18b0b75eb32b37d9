#ifndef NOCTAVI_UI_GUARD_H
#define NOCTAVI_UI_GUARD_H

#include <functional>
#include <utility>

class QWidget;

namespace UI {

// Runs a slot, event override or menu handler so that no exception crosses
// Qt's event loop: one that escapes is reported with string 61473 in a box
// modal to the window, which stays open. True when the handler completed.
bool RunGuarded(QWidget* window, const std::function<void()>& handler) noexcept;

// The handler made fit for connect(): each call runs through RunGuarded. It
// takes the signal's arguments that the handler takes.
template <typename Handler>
auto Guarded(QWidget* window, Handler handler)
{
    return [window, handler = std::move(handler)](auto&&... args)
               -> decltype(std::declval<const Handler&>()(std::forward<decltype(args)>(args)...), void()) {
        RunGuarded(window, [&] { handler(std::forward<decltype(args)>(args)...); });
    };
}

} // namespace UI

#endif
