#ifndef NOCTAVI_UI_VIEW_H
#define NOCTAVI_UI_VIEW_H

#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/Observer.h>
#include <Noctavi/UI/EventHandover.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/Utility/Trace.h>

#include <QEvent>

namespace UI {

// The event by which a view learns, on the GUI thread, that the model changed.
inline QEvent::Type ModelChangedEvent()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// A window that follows the model: told of a change on the model's
// notification thread, it only posts itself the model-changed event, and
// runs Update for it on the GUI thread.
template <class Window>
class View : public Window, public MonitoredEntry::Observer {
public:
    using Window::Window;

    ~View() override { ResetModel(); }

    // Observes the model instead of the one observed before; the first
    // Update follows at once.
    void SetModel(MonitoredEntry::EntryManager& model)
    {
        ResetModel();
        model_ = &model;
        model.AddObserver(*this);
    }

    // Stops observing; an Update already on its way may still run.
    void ResetModel() noexcept
    {
        if (!model_)
            return;
        try {
            model_->RemoveObserver(*this);
        } catch (...) {
            Utility::TraceFailure(Utility::kTraceUi, "a window could not stop observing the model");
        }
        model_ = nullptr;
    }

    void Notify(MonitoredEntry::EntryManager&) override
    {
        handover_.Post(*this, new QEvent(ModelChangedEvent()));
    }

protected:
    virtual void Update() = 0;

    bool event(QEvent* event) override
    {
        handover_.Received();
        if (event->type() != ModelChangedEvent())
            return Window::event(event);
        RunGuarded(this, [this] { Update(); });
        return true;
    }

private:
    MonitoredEntry::EntryManager* model_ = nullptr;
    EventHandover handover_;
};

} // namespace UI

#endif
