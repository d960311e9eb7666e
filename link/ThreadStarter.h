#pragma once

#include <functional>
#include <thread>

namespace quorlex {

// Starts the link's threads. Kept behind an interface so that a refusal to
// start a thread, rare on a real system, can be exercised.
class ThreadStarter {
public:
    virtual ~ThreadStarter() = default;
    // false when the thread could not be started; thread is then untouched.
    virtual bool Start(std::thread& thread, std::function<void()> body) = 0;
};

// Plain threads; a start failure of the system is reported as false.
ThreadStarter& SystemThreadStarter();

} // namespace quorlex
