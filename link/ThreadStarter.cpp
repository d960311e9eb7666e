#include "link/ThreadStarter.h"

#include <system_error>

namespace quorlex {
namespace {

class SystemStarter final : public ThreadStarter {
public:
    bool Start(std::thread& thread, std::function<void()> body) override {
        try {
            thread = std::thread(std::move(body));
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }
};

} // namespace

ThreadStarter& SystemThreadStarter() {
    // Stateless, so one shared instance is safe from every thread.
    static SystemStarter starter;
    return starter;
}

} // namespace quorlex
