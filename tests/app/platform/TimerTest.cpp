#include "Timer.h"

#include <QTest>

#include <memory>

using kx::platform::FakeClock;
using kx::platform::Timer;

class TimerTest : public QObject {
    Q_OBJECT
private slots:
    void singleShotFiresOnceAndAbsorbsASecondSwitchOn() {
        FakeClock clock;
        Timer t(500, true);
        int runs = 0;
        t.OnTimer([&] {
            QVERIFY(!t.Enabled());  // switched off before the handler runs
            ++runs;
        });
        t.SetEnabled(true);
        clock.Advance(300);
        t.SetEnabled(true);  // already pending: no second run, no restart
        clock.Advance(199);
        QCOMPARE(runs, 0);
        clock.Advance(1);
        QCOMPARE(runs, 1);
        clock.Advance(5000);
        QCOMPARE(runs, 1);
        QCOMPARE(clock.PendingTimers(), 0);
    }

    void repeatingTimerRunsEveryIntervalUntilSwitchedOff() {
        FakeClock clock;
        Timer t(20);
        std::vector<qint64> at;
        t.OnTimer([&] {
            at.push_back(clock.Now());
            if (at.size() == 3) t.SetEnabled(false);
        });
        t.SetEnabled(true);
        clock.Advance(1000);
        QCOMPARE(at, (std::vector<qint64>{20, 40, 60}));
    }

    void timersRunInOrderOfDueTime() {
        FakeClock clock;
        std::vector<int> order;
        Timer slow(300, true), fast(200, true), same(200, true);
        slow.OnTimer([&] { order.push_back(3); });
        fast.OnTimer([&] { order.push_back(1); });
        same.OnTimer([&] { order.push_back(2); });
        slow.SetEnabled(true);
        fast.SetEnabled(true);
        same.SetEnabled(true);
        clock.Advance(1000);
        QCOMPARE(order, (std::vector<int>{1, 2, 3}));
    }

    void changingTheIntervalRestartsAndZeroStops() {
        FakeClock clock;
        Timer t(100);
        int runs = 0;
        t.OnTimer([&] { ++runs; });
        t.SetEnabled(true);
        clock.Advance(90);
        t.SetInterval(50);
        clock.Advance(49);
        QCOMPARE(runs, 0);
        clock.Advance(1);
        QCOMPARE(runs, 1);
        t.SetInterval(0);
        clock.Advance(1000);
        QCOMPARE(runs, 1);
        QVERIFY(t.Enabled());
    }

    void handlerMayRearmOrDeleteItsTimer() {
        FakeClock clock;
        auto t = std::make_unique<Timer>(10, true);
        int runs = 0;
        t->OnTimer([&] {
            if (++runs < 3) t->SetEnabled(true);  // a one-shot that arms itself again
        });
        t->SetEnabled(true);
        clock.Advance(100);
        QCOMPARE(runs, 3);

        auto doomed = std::make_unique<Timer>(10);
        doomed->OnTimer([&] { doomed.reset(); });
        doomed->SetEnabled(true);
        clock.Advance(100);
        QVERIFY(!doomed);
        QCOMPARE(clock.PendingTimers(), 0);
    }

    void withoutAFakeClockTheEventLoopDrivesTimers() {
        Timer t(10, true);
        int runs = 0;
        t.OnTimer([&] { ++runs; });
        t.SetEnabled(true);
        QVERIFY(QTest::qWaitFor([&] { return runs == 1; }, 5000));
        QVERIFY(!t.Enabled());
    }
};

QTEST_MAIN(TimerTest)
#include "TimerTest.moc"
