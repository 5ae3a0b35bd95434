#pragma once

namespace platform {

// Turns SIGINT, SIGTERM and SIGHUP into events a loop can wait for, together with wake-ups from other
// threads (a self-pipe). One instance per process; the handlers are installed by the
// constructor and the previous ones restored by the destructor.
class SignalWatcher {
public:
    enum class Event { Timeout, Signal, Wake };

    SignalWatcher();
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // False when the pipe or the handlers could not be set up.
    bool IsReady() const { return m_ready; }

    // Waits up to timeoutMs (negative: without limit) for a signal or a wake-up. Signal wins
    // over Wake when both are pending; each event is reported once.
    Event Wait(int timeoutMs);
    // The number of the last signal Wait reported (SIGINT, SIGTERM or SIGHUP), 0 before any.
    int LastSignal() const { return m_lastSignal; }
    // Makes a Wait of another thread return Wake; safe from any thread.
    void Wake();

private:
    bool m_ready = false;
    int m_lastSignal = 0;
    bool m_wakePending = false;
};

}  // namespace platform
