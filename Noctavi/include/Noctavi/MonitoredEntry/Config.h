#ifndef NOCTAVI_MONITOREDENTRY_CONFIG_H
#define NOCTAVI_MONITOREDENTRY_CONFIG_H

namespace MonitoredEntry {

// An entry's own settings. Every field is 0 or false by default; new entries
// take their real defaults from the application settings.
class Config {
public:
    Config() = default;
    Config(int logMax, int interval, bool notice, int eraseTime, bool eventRead, bool deleteMsg);

    // The most events the entry's event log keeps.
    int GetLogMax() const { return logMax_; }
    void SetLogMax(int logMax) { logMax_ = logMax; }
    // Polling interval of the entry's monitor, in milliseconds.
    int GetInterval() const { return interval_; }
    void SetInterval(int interval) { interval_ = interval; }
    // Show a pop-up for new events.
    bool GetNotice() const { return notice_; }
    void SetNotice(bool notice) { notice_ = notice; }
    // How long a pop-up stays, in milliseconds; 0 means until it is closed.
    int GetEraseTime() const { return eraseTime_; }
    void SetEraseTime(int eraseTime) { eraseTime_ = eraseTime; }
    // Opening a document marks its event read.
    bool GetEventRead() const { return eventRead_; }
    void SetEventRead(bool eventRead) { eventRead_ = eventRead; }
    // Ask before deleting a document.
    bool GetDeleteMsg() const { return deleteMsg_; }
    void SetDeleteMsg(bool deleteMsg) { deleteMsg_ = deleteMsg; }

    // The log size, interval and pop-up time lie within the process-wide limits
    // (ConfigLimits), bounds included. Throws std::runtime_error when the
    // event-log limit is below 1.
    bool IsValid() const;

private:
    int logMax_ = 0;
    int interval_ = 0;
    bool notice_ = false;
    int eraseTime_ = 0;
    bool eventRead_ = false;
    bool deleteMsg_ = false;
};

} // namespace MonitoredEntry

#endif
