// A replaceable service: the real implementation unless another one is
// installed (a test double).
#pragma once

namespace kx::platform {

template <class Service>
class ServiceSlot {
public:
    explicit ServiceSlot(Service& real) : real_(real), current_(&real) {}
    // Installs a service (nullptr: the real one) and returns the one it replaces.
    Service* Install(Service* service) {
        Service* previous = current_;
        current_ = service ? service : &real_;
        return previous;
    }
    Service& Get() const { return *current_; }

private:
    Service& real_;
    Service* current_;
};

// Installs a service for its own lifetime and puts the previous one back.
template <class Service, Service* (*InstallFunction)(Service*)>
class Installation {
public:
    explicit Installation(Service* service) : previous_(InstallFunction(service)) {}
    ~Installation() { InstallFunction(previous_); }
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

private:
    Service* previous_;
};

}  // namespace kx::platform
