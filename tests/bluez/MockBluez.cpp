#include "MockBluez.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

namespace quorlex::test {

namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kMockInterface = "org.bluez.Mock";
constexpr auto kStartTimeout = std::chrono::seconds(20);

std::string Take(sd_bus_error& error, int r) {
    std::string text;
    if (r < 0) {
        text = error.name != nullptr ? error.name : ("errno " + std::to_string(-r));
    }
    sd_bus_error_free(&error);
    return text;
}

// Started with fork and exec rather than posix_spawn so that the child dies
// with the test even when the test itself is killed.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            int addressFd, const std::string& logPath) {
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    envp.reserve(env.size() + 1);
    for (const std::string& entry : env) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    // Only async-signal-safe calls from here on.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        _exit(127);
    }
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log >= 0) {
        dup2(log, 1);
        dup2(log, 2);
    }
    if (addressFd >= 0) {
        dup2(addressFd, 3);
    }
    execve(args[0], args.data(), envp.data());
    _exit(127);
}

std::vector<std::string> EnvironmentWith(const std::string& name, const std::string& value) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!std::string(*entry).starts_with(name + "=")) {
            env.emplace_back(*entry);
        }
    }
    env.push_back(name + "=" + value);
    return env;
}

bool Exited(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// Appends "key=value" for each string value of a dictionary argument.
void ReadTextDictionary(sd_bus_message* m, std::vector<std::string>& out) {
    sd_bus_message_enter_container(m, 'v', "a{sv}");
    sd_bus_message_enter_container(m, 'a', "{sv}");
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
        const char* key = nullptr;
        const char* value = nullptr;
        sd_bus_message_read(m, "s", &key);
        char type = 0;
        const char* contents = nullptr;
        sd_bus_message_peek_type(m, &type, &contents);
        if (contents != nullptr && std::string(contents) == "s" &&
            sd_bus_message_read(m, "v", "s", &value) >= 0) {
            out.push_back(std::string(key) + "=" + value);
        } else {
            sd_bus_message_skip(m, "v");
        }
        sd_bus_message_exit_container(m);
    }
    sd_bus_message_exit_container(m);
    sd_bus_message_exit_container(m);
}

} // namespace

MockBluez::MockBluez() {
    std::error_code ignored;
    std::string pattern =
        (std::filesystem::temp_directory_path(ignored) / "quorlex-bluez-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        dir_ = pattern;
    }
    const char* saved = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    hadAddress_ = saved != nullptr;
    savedAddress_ = saved != nullptr ? saved : "";
}

MockBluez::~MockBluez() {
    sd_bus_flush_close_unref(bus_);
    Stop(mock_);
    Stop(daemon_);
    if (hadAddress_) {
        setenv("DBUS_SYSTEM_BUS_ADDRESS", savedAddress_.c_str(), 1);
    } else {
        unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

std::string MockBluez::MissingReason() {
    static const std::string reason = [] {
        if (access(kPython, X_OK) != 0) {
            return std::string("no ") + kPython;
        }
        const pid_t pid = Spawn({kPython, "-c", "import dbusmock.templates.bluez5"},
                                EnvironmentWith("PYTHONDONTWRITEBYTECODE", "1"), -1, "/dev/null");
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            return std::string("python3-dbusmock is not installed for ") + kPython;
        }
        return std::string();
    }();
    return reason;
}

std::string MockBluez::Start() {
    if (dir_.empty()) {
        return "no temp dir";
    }
    if (std::string error = StartDaemon(); !error.empty()) {
        return error;
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    return StartMock();
}

std::string MockBluez::StartWithoutBluez() {
    if (dir_.empty()) {
        return "no temp dir";
    }
    if (std::string error = StartDaemon(); !error.empty()) {
        return error;
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    return {};
}

std::string MockBluez::StartDaemon() {
    const std::string config = dir_ + "/bus.conf";
    std::ofstream(config) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                             "Configuration 1.0//EN\"\n"
                             " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                             "<busconfig>\n"
                             "  <listen>unix:path="
                          << dir_
                          << "/bus</listen>\n"
                             "  <auth>EXTERNAL</auth>\n"
                             "  <policy context=\"default\">\n"
                             "    <allow user=\"*\"/>\n"
                             "    <allow own=\"*\"/>\n"
                             "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                             "    <allow eavesdrop=\"true\"/>\n"
                             "  </policy>\n"
                             "</busconfig>\n";
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return "pipe failed";
    }
    // Keep the pipe off descriptor 3, where the daemon expects it.
    const int writeEnd = fcntl(fds[1], F_DUPFD_CLOEXEC, 10);
    close(fds[1]);
    daemon_ = Spawn({"/usr/bin/dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + config,
                     "--print-address=3"},
                    EnvironmentWith("DBUS_VERBOSE", "0"), writeEnd, dir_ + "/daemon.log");
    close(writeEnd);
    std::string line;
    pollfd pfd{fds[0], POLLIN, 0};
    char c = 0;
    while (daemon_ > 0 && poll(&pfd, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') {
        line += c;
    }
    close(fds[0]);
    if (line.empty()) {
        return "the bus daemon did not start";
    }
    address_ = line;
    return sd_bus_new(&bus_) >= 0 && sd_bus_set_address(bus_, address_.c_str()) >= 0 &&
                   sd_bus_set_bus_client(bus_, 1) >= 0 && sd_bus_start(bus_) >= 0
               ? std::string()
               : "cannot connect to the private bus";
}

std::string MockBluez::StartMock() {
    mock_ = Spawn({kPython, "-m", "dbusmock", "--system", "--template", "bluez5"},
                  EnvironmentWith("DBUS_SYSTEM_BUS_ADDRESS", address_), -1, dir_ + "/mock.log");
    if (mock_ < 0) {
        return "cannot start the mock daemon";
    }
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        int owned = 0;
        sd_bus_message* reply = nullptr;
        if (sd_bus_call_method(bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "NameHasOwner", nullptr, &reply, "s",
                               "org.bluez") >= 0) {
            sd_bus_message_read(reply, "b", &owned);
        }
        sd_bus_message_unref(reply);
        if (owned != 0) {
            return {};
        }
        if (Exited(mock_)) {
            mock_ = -1;
            return "the mock daemon exited; see " + dir_ + "/mock.log";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "the mock daemon did not take its name";
}

void MockBluez::Stop(pid_t& pid) {
    if (pid <= 0) {
        return;
    }
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!Exited(pid)) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid = -1;
}

std::string MockBluez::AddAdapter(const std::string& name) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int r = sd_bus_call_method(bus_, "org.bluez", "/", kMockInterface, "AddAdapter", &error,
                                     nullptr, "ss", name.c_str(), "quorlex-test");
    return Take(error, r);
}

std::string MockBluez::AddDevice(const std::string& adapter, const std::string& address,
                                 const std::string& alias) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int r =
        sd_bus_call_method(bus_, "org.bluez", "/", kMockInterface, "AddDevice", &error, nullptr,
                           "sss", adapter.c_str(), address.c_str(), alias.c_str());
    return Take(error, r);
}

std::vector<MockBluez::Call> MockBluez::Calls(const std::string& path) {
    std::vector<Call> calls;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus_, "org.bluez", path.c_str(), "org.freedesktop.DBus.Mock", "GetCalls",
                           nullptr, &reply, "") < 0) {
        return calls;
    }
    sd_bus_message_enter_container(reply, 'a', "(tsav)");
    while (sd_bus_message_enter_container(reply, 'r', "tsav") > 0) {
        uint64_t when = 0;
        const char* method = nullptr;
        sd_bus_message_read(reply, "ts", &when, &method);
        Call call{method, {}};
        sd_bus_message_enter_container(reply, 'a', "v");
        char type = 0;
        const char* contents = nullptr;
        while (sd_bus_message_peek_type(reply, &type, &contents) > 0) {
            const std::string signature = contents != nullptr ? contents : "";
            const char* text = nullptr;
            if ((signature == "s" || signature == "o") &&
                sd_bus_message_read(reply, "v", contents, &text) >= 0) {
                call.textArgs.emplace_back(text);
            } else if (signature == "a{sv}") {
                ReadTextDictionary(reply, call.textArgs);
            } else {
                sd_bus_message_skip(reply, "v");
            }
        }
        sd_bus_message_exit_container(reply);
        sd_bus_message_exit_container(reply);
        calls.push_back(std::move(call));
    }
    sd_bus_message_unref(reply);
    return calls;
}

bool MockBluez::Flag(const std::string& path, const std::string& interface,
                     const std::string& property) {
    int value = 0;
    sd_bus_get_property_trivial(bus_, "org.bluez", path.c_str(), interface.c_str(),
                                property.c_str(), nullptr, 'b', &value);
    return value != 0;
}

void MockBluez::SetFlag(const std::string& path, const std::string& interface,
                        const std::string& property, bool value) {
    sd_bus_set_property(bus_, "org.bluez", path.c_str(), interface.c_str(), property.c_str(),
                        nullptr, "b", static_cast<int>(value));
}

bool MockBluez::ObjectExists(const std::string& path) {
    sd_bus_message* props = nullptr;
    const int r =
        sd_bus_call_method(bus_, "org.bluez", path.c_str(), "org.freedesktop.DBus.Properties",
                           "GetAll", nullptr, &props, "s", "org.bluez.Device1");
    sd_bus_message_unref(props);
    return r >= 0;
}

std::string MockBluez::RefusePropertyChanges(const std::string& path) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const int r = sd_bus_call_method(
        bus_, "org.bluez", path.c_str(), "org.freedesktop.DBus.Mock", "AddMethod", &error, nullptr,
        "sssss", "org.freedesktop.DBus.Properties", "Set", "ssv", "",
        "raise dbus.exceptions.DBusException('Blocked through rfkill', "
        "name='org.bluez.Error.Blocked')");
    return Take(error, r);
}

std::string MockBluez::CallForText(const std::string& destination, const std::string& path,
                                   const std::string& interface, const std::string& member,
                                   const std::string& objectArg, std::string& text) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus_, destination.c_str(), path.c_str(), interface.c_str(),
                               member.c_str(), &error, &reply, "o", objectArg.c_str());
    if (r >= 0) {
        const char* value = nullptr;
        r = sd_bus_message_read(reply, "s", &value);
        text = value != nullptr ? value : "";
    }
    sd_bus_message_unref(reply);
    return Take(error, r);
}

std::string MockBluez::CallForNumber(const std::string& destination, const std::string& path,
                                     const std::string& interface, const std::string& member,
                                     const std::string& objectArg, uint32_t& number) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int r = sd_bus_call_method(bus_, destination.c_str(), path.c_str(), interface.c_str(),
                               member.c_str(), &error, &reply, "o", objectArg.c_str());
    if (r >= 0) {
        r = sd_bus_message_read(reply, "u", &number);
    }
    sd_bus_message_unref(reply);
    return Take(error, r);
}

} // namespace quorlex::test
