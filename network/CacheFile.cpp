#include "network/CacheFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace quorlex {

namespace {

std::filesystem::path AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    return std::filesystem::path(value);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// A file made by mkstemp; removed again unless Keep() is called.
class TempFile {
public:
    explicit TempFile(std::string pattern) : path_(std::move(pattern)) {
        fd_ = ::mkstemp(path_.data());
        created_ = fd_ >= 0;
    }
    ~TempFile() {
        Close();
        if (created_ && !kept_) {
            ::unlink(path_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool Created() const { return created_; }
    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }

    bool Close() {
        if (fd_ < 0) {
            return true;
        }
        const bool ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }
    void Keep() { kept_ = true; }

private:
    std::string path_;
    int fd_ = -1;
    bool created_ = false;
    bool kept_ = false;
};

} // namespace

std::filesystem::path UserCacheFolder() {
    std::filesystem::path base = AbsoluteFromEnvironment("XDG_CACHE_HOME");
    if (base.empty()) {
        const std::filesystem::path home = AbsoluteFromEnvironment("HOME");
        if (home.empty()) {
            return {};
        }
        base = home / ".cache";
    }
    return base / "quorlex";
}

bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
    std::error_code error;
    const std::filesystem::path folder = file.parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            return false;
        }
    }
    TempFile temp(file.string() + ".XXXXXX");
    if (!temp.Created()) {
        return false;
    }
    // The temporary file is private to mkstemp; give the result the usual mode.
    ::fchmod(temp.Fd(), 0644);
    if (!WriteAll(temp.Fd(), bytes) || ::fsync(temp.Fd()) != 0 || !temp.Close()) {
        return false;
    }
    if (::rename(temp.Path().c_str(), file.c_str()) != 0) {
        return false;
    }
    temp.Keep();
    return true;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    bool ok = true;
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = false;
            break;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (!ok) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace quorlex
