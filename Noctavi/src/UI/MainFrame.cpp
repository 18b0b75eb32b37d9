#include <Noctavi/UI/MainFrame.h>

#include <Noctavi/HTTP/Net.h>
#include <Noctavi/MachineEvent/DetectedEventManager.h>
#include <Noctavi/MachineEvent/DetectedEventQueue.h>
#include <Noctavi/MachineEvent/PopupEventManager.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Serializer.h>
#include <Noctavi/Monitor/EventMonitorManager.h>
#include <Noctavi/Monitor/EventSignalReceiver.h>
#include <Noctavi/Monitor/MachineMonitorManager.h>
#include <Noctavi/System/ApplicationBusy.h>
#include <Noctavi/System/Config.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/System/Folders.h>
#include <Noctavi/System/InstanceLock.h>
#include <Noctavi/UI/AboutDlg.h>
#include <Noctavi/UI/DeferredExit.h>
#include <Noctavi/UI/EndSessionSignals.h>
#include <Noctavi/UI/EntryManagerDlg.h>
#include <Noctavi/UI/EventLogDlg.h>
#include <Noctavi/UI/Guard.h>
#include <Noctavi/UI/InstanceChannel.h>
#include <Noctavi/UI/Message.h>
#include <Noctavi/UI/OpenLoginPage.h>
#include <Noctavi/UI/PopupEventDlg.h>
#include <Noctavi/UI/PopupEventPresenter.h>
#include <Noctavi/UI/PopupMenu.h>
#include <Noctavi/UI/SingletonWnd.h>
#include <Noctavi/UI/SystemTrayIcon.h>
#include <Noctavi/UI/TrayHostWatch.h>
#include <Noctavi/Utility/TextConversion.h>
#include <Noctavi/Utility/Trace.h>

#include <pelmo/exception.hpp>

#include <boost/make_shared.hpp>

#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <utility>

namespace UI {

namespace {

void BringForward(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

struct MainFrame::Pimpl {
    enum class Stage { Building, Running, Exiting };

    Pimpl(MainFrame& frame, System::InstanceLock& lock, ExitCodeStore storeExitCode)
        : frame(frame)
        , lock(lock)
        , storeExitCode(std::move(storeExitCode))
    {
    }

    ~Pimpl()
    {
        Stop();
        tray.Remove();
        lock.Unlock();
    }

    MonitoredEntry::EntryManager& Model() { return serializer.GetEntryManager(); }

    void TakeInstanceLock();
    void PublishSettings();
    void Create();

    void ListenForRequests();
    void LoadData();
    void Build();
    void Start();
    void SetSerializeTimer();
    Monitor::EventSignalReceiver* EnsureReceiver() noexcept;

    void Update();
    void ShowSettings();
    void Activate();
    void ShowEventLogViewer();
    void Login(BasicID<long> entryId);
    // Runs a handler of the tray, the menu or the channel once the frame is built.
    void WhenRunning(const std::function<void()>& handler);

    void RequestExit();
    void Exit();
    void CloseDialogs();
    void Stop() noexcept;
    void SaveQuietly() noexcept;
    void SaveData();

    MainFrame& frame;
    System::InstanceLock& lock;
    const ExitCodeStore storeExitCode;
    Serializer serializer;
    // The menu outlives the icon that shows it.
    std::unique_ptr<PopupMenu> menu;
    SystemTrayIcon tray;
    std::unique_ptr<MachineEvent::DetectedEventQueue> queue;
    std::unique_ptr<MachineEvent::DetectedEventManager> detectedEvents;
    std::unique_ptr<Monitor::EventMonitorManager> eventMonitors;
    std::unique_ptr<Monitor::MachineMonitorManager> machineMonitors;
    std::unique_ptr<PopupEventPresenter> presenter;
    std::unique_ptr<MachineEvent::PopupEventManager> popups;
    // Destroyed before the managers above: its threads call the event monitor
    // manager.
    std::unique_ptr<Monitor::EventSignalReceiver> receiver;
    bool trayState = false;
    QTimer saveTimer;
    InstanceChannel channel;
    std::unique_ptr<EndSessionSignals> endSession;
    TrayHostWatch trayHost;
    QPointer<QWindow> lastActive;
    Stage stage = Stage::Building;
    bool exitRequested = false;
    bool monitoringStarted = false;
    // Last, so destroyed first: the application object then calls nothing
    // here while the rest goes.
    QObject appConnections;
};

void MainFrame::Pimpl::TakeInstanceLock()
{
    if (lock.TryLock())
        return;
    InstanceChannel::Send(InstanceChannel::Command::Activate);
    PELMO_THROW(ApplicationBusy());
}

// Every reader of the settings reads these copies, and the transport records
// machines' keys in the data folder: both before the first thread or request.
void MainFrame::Pimpl::PublishSettings()
{
    Config::GetInstance().Load();
    ApplyConfigLimits();
    HTTP::Net::SetKnownMachinesFolder(Utility::ToNarrow(System::GetDataFolder()));
}

void MainFrame::Pimpl::Create()
{
    ListenForRequests();
    tray.Show(trayState);
    LoadData();
    Build();
    Start();
    SetSerializeTimer();
    stage = Stage::Running;
    if (exitRequested)
        QTimer::singleShot(0, &frame, [this] { RequestExit(); });
}

// Requests can come in from here on, even while a box of the start-up waits
// for an answer; WhenRunning and RequestExit hold them until the frame is built.
void MainFrame::Pimpl::ListenForRequests()
{
    connect(&trayHost, &TrayHostWatch::Returned, &frame, [this] {
        WhenRunning([this] {
            tray.Remove();
            tray.Show(trayState);
        });
    });
    connect(&tray, &SystemTrayIcon::Activated, &frame, [this] { WhenRunning([this] { ShowEventLogViewer(); }); });
    connect(qApp, &QGuiApplication::focusWindowChanged, &appConnections, [this](QWindow* window) {
        if (window)
            lastActive = window;
    });
    endSession = std::make_unique<EndSessionSignals>();
    connect(endSession.get(), &EndSessionSignals::Received, &frame, [this] { RequestExit(); });
    connect(&channel, &InstanceChannel::CloseRequested, &frame, [this] { RequestExit(); });
    connect(&channel, &InstanceChannel::ActivateRequested, &frame, [this] { WhenRunning([this] { Activate(); }); });
    channel.Listen();
}

// A file that fails to load has been kept aside by the serializer, so the
// empty model that the program then runs with never overwrites it.
void MainFrame::Pimpl::LoadData()
{
    try {
        serializer.Load();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the data file could not be loaded");
        Message::LoadSettingsFailed();
    }
}

void MainFrame::Pimpl::Build()
{
    menu = std::make_unique<PopupMenu>(Model());
    connect(menu.get(), &PopupMenu::SettingsRequested, &frame, [this] { WhenRunning([this] { ShowSettings(); }); });
    connect(menu.get(), &PopupMenu::EventLogViewerRequested, &frame,
            [this] { WhenRunning([this] { ShowEventLogViewer(); }); });
    connect(menu.get(), &PopupMenu::AboutRequested, &frame,
            [this] { WhenRunning([] { SingletonWnd<AboutDlg>::ShowOrCreate(); }); });
    connect(menu.get(), &PopupMenu::ExitRequested, &frame, [this] { RequestExit(); });
    connect(menu.get(), &PopupMenu::LoginRequested, &frame,
            [this](BasicID<long> entryId) { WhenRunning([this, entryId] { Login(entryId); }); });
    tray.SetContextMenu(menu->GetMenu());

    queue = std::make_unique<MachineEvent::DetectedEventQueue>(GetConfigLimits().DetectedEventQueueSize);
    detectedEvents = std::make_unique<MachineEvent::DetectedEventManager>(Model(), *queue);
    eventMonitors = std::make_unique<Monitor::EventMonitorManager>(*queue);
    machineMonitors = std::make_unique<Monitor::MachineMonitorManager>();
    presenter = std::make_unique<PopupEventPresenter>(Model());
    connect(presenter.get(), &PopupEventPresenter::EventLogViewerRequested, &frame,
            [this] { WhenRunning([this] { ShowEventLogViewer(); }); });
    popups = std::make_unique<MachineEvent::PopupEventManager>(Model(), *presenter);
    EnsureReceiver();
}

// Without the receiver (its port taken, say) new events are found by polling alone.
void MainFrame::Pimpl::Start()
{
    monitoringStarted = true;
    frame.SetModel(Model());
    machineMonitors->Start(Model());
    eventMonitors->Start(Model());
    detectedEvents->SetNotifiable(popups.get());
    try {
        if (Monitor::EventSignalReceiver* started = EnsureReceiver()) {
            started->Attach(eventMonitors.get());
            started->Start();
        }
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the event signal receiver could not start");
    }
    popups->Start();
    detectedEvents->Start();
}

void MainFrame::Pimpl::SetSerializeTimer()
{
    connect(&saveTimer, &QTimer::timeout, &frame, [this] { SaveQuietly(); });
    saveTimer.start(Config::GetInstance().GetRegularSerializeInterval());
}

Monitor::EventSignalReceiver* MainFrame::Pimpl::EnsureReceiver() noexcept
{
    if (!receiver) {
        try {
            receiver = std::make_unique<Monitor::EventSignalReceiver>();
        } catch (...) {
            Utility::TraceFailure(Utility::kTraceUi, "the event signal receiver could not be made");
        }
    }
    return receiver.get();
}

// The icon changes only when the answer flips, not at every notification.
void MainFrame::Pimpl::Update()
{
    int unread = 0;
    {
        MonitoredEntry::ModelLock modelLock(Model());
        unread = Model().GetEntryDB().CountUnread();
    }
    const bool state = unread > 0;
    if (state == trayState)
        return;
    trayState = state;
    tray.Change(state);
}

void MainFrame::Pimpl::ShowSettings()
{
    SingletonWnd<EntryManagerDlg>::ShowOrCreate([this] { return std::make_unique<EntryManagerDlg>(Model()); });
}

// A box that waits for an answer, else the window that the user last worked
// in, else the pop-up, which comes up without taking the focus, else an open
// dialog (settings, event log viewer, about box); with none of them, the
// event log viewer opens.
void MainFrame::Pimpl::Activate()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return BringForward(*modal);
    if (lastActive && lastActive->isVisible()) {
        lastActive->raise();
        lastActive->requestActivate();
        return;
    }
    for (QWidget* open : {static_cast<QWidget*>(presenter->GetOpenPopup()),
                          static_cast<QWidget*>(SingletonWnd<EntryManagerDlg>::GetOpen()),
                          static_cast<QWidget*>(SingletonWnd<EventLogDlg>::GetOpen()),
                          static_cast<QWidget*>(SingletonWnd<AboutDlg>::GetOpen())}) {
        if (open)
            return BringForward(*open);
    }
    ShowEventLogViewer();
}

void MainFrame::Pimpl::ShowEventLogViewer()
{
    SingletonWnd<EventLogDlg>::ShowOrCreate([this] { return std::make_unique<EventLogDlg>(Model(), *eventMonitors); });
}

void MainFrame::Pimpl::Login(BasicID<long> entryId)
{
    OpenLoginPage(Model(), entryId);
}

void MainFrame::Pimpl::WhenRunning(const std::function<void()>& handler)
{
    if (stage == Stage::Running)
        RunGuarded(&frame, handler);
}

void MainFrame::Pimpl::RequestExit()
{
    if (stage == Stage::Building)
        exitRequested = true;
    else if (stage == Stage::Running)
        DeferredExit::Request([this] { RunGuarded(&frame, [this] { Exit(); }); });
}

void MainFrame::Pimpl::Exit()
{
    if (stage == Stage::Exiting)
        return;
    stage = Stage::Exiting;
    saveTimer.stop();
    CloseDialogs();
    Stop();
    SaveData();
    tray.Remove();
    channel.StopListening();
    lock.Unlock();
    channel.AnswerClose();
    frame.ResetModel();
    QCoreApplication::exit(0);
}

void MainFrame::Pimpl::CloseDialogs()
{
    SingletonWnd<EntryManagerDlg>::Close();
    SingletonWnd<EventLogDlg>::Close();
    SingletonWnd<AboutDlg>::Close();
}

// The pop-up manager goes first, so that nothing is handed to a pop-up that
// can no longer show it; the detected-event manager, which takes what the
// monitors find, goes last and completes the batch it is filing.
void MainFrame::Pimpl::Stop() noexcept
{
    if (!std::exchange(monitoringStarted, false))
        return;
    try {
        popups->Join();
        detectedEvents->ResetNotifiable();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the pop-up event manager could not stop");
    }
    try {
        if (receiver) {
            receiver->Stop();
            receiver->Detach(eventMonitors.get());
        }
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the event signal receiver could not stop");
    }
    // The unsubscriptions may take a connect time-out, and a session manager
    // may kill the program sooner: on the way out, what was filed is saved
    // before they start. Every monitor is told to end before any is waited
    // for, so that the machines' unsubscriptions and time-outs run side by side.
    if (stage == Stage::Exiting)
        SaveQuietly();
    try {
        machineMonitors->Interrupt();
        eventMonitors->Interrupt();
        machineMonitors->Stop();
        eventMonitors->Stop();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the monitors could not stop");
    }
    try {
        detectedEvents->Join();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the detected-event manager could not stop");
    }
}

// The next tick, or the exit's last save, tries again and reports a failure.
void MainFrame::Pimpl::SaveQuietly() noexcept
{
    try {
        serializer.Save();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "a quiet save of the data file failed");
    }
}

void MainFrame::Pimpl::SaveData()
{
    try {
        serializer.Save();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceUi, "the data file could not be saved");
        Message::SaveSettingsFailed();
        storeExitCode(30);
    }
}

MainFrame::MainFrame(System::InstanceLock& lock, ExitCodeStore storeExitCode)
    : pimpl_(boost::make_shared<Pimpl>(*this, lock, std::move(storeExitCode)))
{
    try {
        pimpl_->TakeInstanceLock();
        pimpl_->PublishSettings();
        pimpl_->Create();
    } catch (...) {
        // The base detaches too, but only after the model has gone.
        ResetModel();
        throw;
    }
}

// The model outlives its observers and the dialogs that read it.
MainFrame::~MainFrame()
{
    ResetModel();
    SingletonWnd<EntryManagerDlg>::Release();
    SingletonWnd<EventLogDlg>::Release();
    SingletonWnd<AboutDlg>::Release();
    pimpl_.reset();
}

MonitoredEntry::EntryManager& MainFrame::GetEntryManager()
{
    return pimpl_->Model();
}

void MainFrame::Update()
{
    pimpl_->Update();
}

} // namespace UI
