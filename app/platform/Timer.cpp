#include "Timer.h"

#include <QTimer>
#include <QtDebug>

#include <algorithm>
#include <exception>

namespace kx::platform {
namespace {
FakeClock* activeClock = nullptr;
}

Timer::Timer() : alive_(std::make_shared<bool>(true)) {}

Timer::Timer(int intervalMs, bool singleShot) : Timer() {
    interval_ = intervalMs;
    singleShot_ = singleShot;
}

Timer::~Timer() {
    *alive_ = false;
    disarm();
    // The handler may be deleting this timer from inside the QTimer's own
    // signal: let Qt delete that one once the signal has returned.
    if (qtimer_) {
        qtimer_->disconnect();
        qtimer_.release()->deleteLater();
    }
}

void Timer::SetInterval(int ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) {
        disarm();
        arm();
    }
}

void Timer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (on)
        arm();
    else
        disarm();
}

void Timer::arm() {
    ++generation_;
    if (interval_ <= 0) return;
    if (activeClock) {
        activeClock->add(this);
        return;
    }
    if (!qtimer_) {
        qtimer_ = std::make_unique<QTimer>();
        QObject::connect(qtimer_.get(), &QTimer::timeout, [this] { fire(); });
    }
    qtimer_->setSingleShot(singleShot_);
    qtimer_->start(interval_);
}

void Timer::disarm() {
    ++generation_;
    if (qtimer_) qtimer_->stop();
    if (activeClock) activeClock->remove(this);
}

void Timer::fire() {
    if (!enabled_) return;
    if (singleShot_) SetEnabled(false);
    if (!handler_) return;
    // The handler may delete this timer: run a copy, and know whether it lives.
    std::shared_ptr<bool> alive = alive_;
    std::function<void()> handler = handler_;
    try {
        handler();
    } catch (const std::exception& e) {
        if (*alive) qWarning("A timer handler let an error through: %s", e.what());
    }
}

FakeClock::FakeClock() { activeClock = this; }

FakeClock::~FakeClock() {
    if (activeClock == this) activeClock = nullptr;
}

int FakeClock::PendingTimers() const { return static_cast<int>(entries_.size()); }

void FakeClock::add(Timer* t) {
    remove(t);
    entries_.push_back(Entry{t, t->generation_, now_ + t->interval_, nextOrder_++});
}

void FakeClock::remove(Timer* t) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [t](const Entry& e) { return e.timer == t; }),
                   entries_.end());
}

void FakeClock::Advance(int ms) {
    const qint64 target = now_ + std::max(ms, 0);
    for (;;) {
        auto next = std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
        if (next == entries_.end() || next->due > target) break;
        Entry due = *next;
        entries_.erase(next);
        now_ = due.due;
        Timer* t = due.timer;
        std::shared_ptr<bool> alive = t->alive_;
        const std::uint64_t generation = t->generation_;
        t->fire();
        // A repeating timer that its handler left alone runs again one
        // interval later; one that was re-armed or deleted has seen to itself.
        if (*alive && t->enabled_ && t->generation_ == generation && t->interval_ > 0)
            entries_.push_back(Entry{t, generation, now_ + t->interval_, nextOrder_++});
    }
    now_ = target;
}

}  // namespace kx::platform
