#pragma once

#include "sim/ReceiverSimulator.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace quorlex::test {

// A pseudo-terminal standing for a serial cable whose receiver end a
// simulator serves (it owns the master). A second handle on the terminal
// side keeps the master open until the link opens the terminal; closing the
// master, as the simulator's Detach() does, is the cable pulled out.
class PseudoTerminal {
public:
    explicit PseudoTerminal(ReceiverSimulator& simulator) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
            return;
        }
        path = ::ptsname(master);
        keeper = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        simulator.Attach(master);
    }
    ~PseudoTerminal() {
        if (keeper >= 0) {
            ::close(keeper);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Ready() const { return keeper >= 0; }

    std::string path; // the terminal side, as /dev/pts/N
    int keeper = -1;
};

} // namespace quorlex::test
