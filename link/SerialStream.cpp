#include "link/SerialStream.h"

#include "common/Text.h"
#include "link/LinkTarget.h"
#include "link/StreamWait.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace quorlex {
namespace {

constexpr std::array<std::pair<int, speed_t>, 18> kSpeeds = {{
    {300, B300},
    {600, B600},
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
    {230400, B230400},
    {460800, B460800},
    {500000, B500000},
    {576000, B576000},
    {921600, B921600},
    {1000000, B1000000},
    {1152000, B1152000},
    {1500000, B1500000},
}};

bool SpeedOf(int baud, speed_t& speed) {
    for (const auto& [rate, code] : kSpeeds) {
        if (rate == baud) {
            speed = code;
            return true;
        }
    }
    return false;
}

// Raw bytes both ways, 8 data bits, no parity, one stop bit, no flow
// control of either kind, modem lines ignored; a read returns what is there.
void MakeRaw(termios& line, speed_t speed) {
    ::cfmakeraw(&line);
    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    ::cfsetispeed(&line, speed);
    ::cfsetospeed(&line, speed);
}

} // namespace

SerialStream::SerialStream(std::string path, int baud)
    : path_(std::move(path)), baud_(baud), wakeFd_(MakeWakeDescriptor()) {}

SerialStream::~SerialStream() {
    const int device = fd_.load();
    if (device >= 0) {
        // A device that has gone refuses these; nothing is lost then.
        if (restore_) {
            ::tcsetattr(device, TCSANOW, &saved_);
        }
        ::ioctl(device, TIOCNXCL);
        ::close(device);
    }
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
    }
}

int32_t SerialStream::Kind() const {
    return kLinkKindSerial;
}

std::string SerialStream::Describe() const {
    return path_ + ":" + std::to_string(baud_);
}

OpenResult SerialStream::Failure(int error) const {
    return {OpenStatus::Failed, FromUtf8("serial " + Describe() + ": " + std::strerror(error))};
}

// Opening a tty does not block: O_NONBLOCK keeps the open from waiting for
// a carrier, and the line is set up at once.
OpenResult SerialStream::Open(std::stop_token stop) {
    if (wakeFd_ < 0) {
        return Failure(errno);
    }
    if (stop.stop_requested() || IsShutDown()) {
        return Failure(ECANCELED);
    }
    const int device = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (device < 0) {
        return Failure(errno);
    }
    if (const int error = SetUpLine(device); error != 0) {
        ::close(device);
        return Failure(error);
    }
    const std::lock_guard lock(mutex_);
    fd_.store(device);
    if (shutDown_) {
        return Failure(ECANCELED);
    }
    return {OpenStatus::Opened, {}};
}

int SerialStream::SetUpLine(int device) {
    speed_t speed = B0;
    if (!SpeedOf(baud_, speed)) {
        return EINVAL;
    }
    if (!::isatty(device)) {
        return ENOTTY;
    }
    // Another program that locks the line the same way has it.
    if (::flock(device, LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? EBUSY : errno;
    }
    if (::ioctl(device, TIOCEXCL) != 0 || ::tcgetattr(device, &saved_) != 0) {
        return errno;
    }
    termios line = saved_;
    MakeRaw(line, speed);
    if (::tcsetattr(device, TCSANOW, &line) != 0) {
        return errno;
    }
    restore_ = true;
    // Whatever the line held before is not the receiver's answer to us.
    ::tcflush(device, TCIOFLUSH);
    return 0;
}

bool SerialStream::IsShutDown() {
    const std::lock_guard lock(mutex_);
    return shutDown_;
}

int SerialStream::WaitReadable(std::chrono::milliseconds timeout) {
    return WaitReadableFor(fd_.load(), wakeFd_, timeout);
}

std::ptrdiff_t SerialStream::Read(char* buffer, std::size_t size) {
    if (IsShutDown()) {
        return 0;
    }
    for (;;) {
        const ssize_t n = ::read(fd_.load(), buffer, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0) {
            // A tty in raw mode reads nothing only once it has been hung up:
            // the device is gone, as a dropped link.
            errno = ENODEV;
            return -1;
        }
        return n;
    }
}

std::ptrdiff_t SerialStream::Write(const char* bytes, std::size_t size) {
    std::size_t written = 0;
    while (written < size) {
        if (IsShutDown()) {
            errno = EPIPE;
            return -1;
        }
        const ssize_t n = ::write(fd_.load(), bytes + written, size - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return -1;
        }
        // The line's buffer is full: it drains at the line rate.
        const WaitOutcome room = WaitFor(fd_.load(), POLLOUT, wakeFd_, kWriteLimit);
        if (room == WaitOutcome::TimedOut) {
            errno = ETIMEDOUT;
            return -1;
        }
        if (room != WaitOutcome::Ready) {
            errno = room == WaitOutcome::Woken ? EPIPE : errno;
            return -1;
        }
    }
    return static_cast<std::ptrdiff_t>(written);
}

void SerialStream::Shutdown() {
    const std::lock_guard lock(mutex_);
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    SignalWake(wakeFd_);
}

int SerialStream::LastError() {
    return errno;
}

} // namespace quorlex
