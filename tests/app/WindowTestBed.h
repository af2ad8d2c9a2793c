// What each window test of solver runs and text documents starts from: the
// shared state cleared, a program folder of its own and, when asked for, a
// fake clock that drives the windows' timers. A test makes it in init() and
// drops it in cleanup(); dropping it deletes every window the test left,
// then clears the shared state again.
#pragma once

#include "SharedState.h"
#include "Timer.h"

#include "DesktopTestSupport.h"

#include <optional>

namespace kx::test {

class WindowTestBed {
    // Made before the program folder (which sets the folders in the shared
    // state) and gone after it.
    struct ClearedState {
        ClearedState() { Shared() = SharedState{}; }
        ~ClearedState() { Shared() = SharedState{}; }
    } cleared_;

public:
    enum class Clock { Real, Fake };
    explicit WindowTestBed(Clock timers = Clock::Fake) {
        if (timers == Clock::Fake) clock.emplace();
    }
    ~WindowTestBed() { DeleteAllWindows(); }
    WindowTestBed(const WindowTestBed&) = delete;
    WindowTestBed& operator=(const WindowTestBed&) = delete;

    ProgramFolder folder;
    std::optional<platform::FakeClock> clock;
};

}  // namespace kx::test
