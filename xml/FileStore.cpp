#include "xml/FileStore.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorlex {

namespace {

// The engine keeps a whole document in memory; larger files are refused.
constexpr size_t kLargestFile = size_t{1} << 30;

bool Fail(FileError& error, std::u16string_view what, int number) {
    error.what = what;
    error.number = number;
    return false;
}

// Closes the descriptor it holds, if any, when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    // Closes now; false when the close reports a failed write.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The rename itself must reach the disk too; a folder that cannot be
// synced (some file systems refuse) does not make the save a failure.
void SyncFolder(const std::filesystem::path& folder) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());
    }
}

} // namespace

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, FileError& error) {
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        return Fail(error, u"cannot open", errno);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        return Fail(error, u"cannot read", errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return Fail(error, u"not a file", EISDIR);
    }
    if (static_cast<uint64_t>(info.st_size) > kLargestFile) {
        return Fail(error, u"file too large", EFBIG);
    }
    std::string data;
    data.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(file.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Fail(error, u"cannot read", errno);
        }
        if (n == 0) {
            break;
        }
        if (data.size() + static_cast<size_t>(n) > kLargestFile) {
            return Fail(error, u"file too large", EFBIG);
        }
        data.append(buffer, static_cast<size_t>(n));
    }
    bytes = std::move(data);
    return true;
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, FileError& error) {
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string temporary = path.string() + ".XXXXXX";
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0) {
        return Fail(error, u"cannot create", errno);
    }
    // The replacement keeps the permissions of the file it replaces.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(file.Get(), old.st_mode & 07777);
    }
    std::u16string_view failure;
    if (!WriteAll(file.Get(), bytes) || ::fsync(file.Get()) != 0 || !file.Close()) {
        failure = u"cannot write";
    } else if (::rename(temporary.c_str(), path.c_str()) != 0) {
        failure = u"cannot replace";
    }
    if (!failure.empty()) {
        const int number = errno;
        ::unlink(temporary.c_str());
        return Fail(error, failure, number);
    }
    SyncFolder(folder);
    return true;
}

} // namespace quorlex
