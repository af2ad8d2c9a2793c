// Timers as the windows use them: an interval in milliseconds and an
// enabled switch. While enabled (and the interval is above 0) the handler
// runs every interval; a single-shot timer switches itself off just before
// its handler runs, so a second switch-on before it fires is absorbed into
// the one pending run. Switching on a timer that is already on keeps its
// countdown; changing the interval of a running timer restarts it.
//
// Timers run on Qt's event loop, or on a FakeClock while one exists: a test
// creates a FakeClock before the windows and advances it by hand.
#pragma once

#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace kx::platform {

class Timer {
public:
    Timer();
    explicit Timer(int intervalMs, bool singleShot = false);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetInterval(int ms);
    int Interval() const { return interval_; }
    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }
    void SetSingleShot(bool singleShot) { singleShot_ = singleShot; }
    bool SingleShot() const { return singleShot_; }
    void OnTimer(std::function<void()> handler) { handler_ = std::move(handler); }

private:
    friend class FakeClock;
    void arm();
    void disarm();
    void fire();

    std::function<void()> handler_;
    int interval_ = 0;
    bool enabled_ = false;
    bool singleShot_ = false;
    std::uint64_t generation_ = 0;  // changes on every arm, so a stale run is recognised
    std::unique_ptr<QTimer> qtimer_;
    std::shared_ptr<bool> alive_;
};

// A clock that tests advance by hand. While it exists, timers armed from
// then on are driven by it alone.
class FakeClock {
public:
    FakeClock();
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    // Moves the clock forward, running every timer that falls due on the way
    // in order of its due time (timers due at the same time in arming order).
    void Advance(int ms);
    qint64 Now() const { return now_; }
    // The number of timers now waiting on this clock.
    int PendingTimers() const;

private:
    friend class Timer;
    struct Entry {
        Timer* timer;
        std::uint64_t generation;
        qint64 due;
        std::uint64_t order;
    };
    void add(Timer* t);
    void remove(Timer* t);

    qint64 now_ = 0;
    std::uint64_t nextOrder_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace kx::platform
