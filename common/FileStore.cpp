#include "common/FileStore.h"

#include "common/Format.h"
#include "common/Text.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorlex {

namespace {

// The engine keeps a whole document in memory; larger files are refused.
constexpr size_t kLargestFile = size_t{1} << 30;
// As the kernel's own limit on nested links.
constexpr int kMaxLinks = 40;
constexpr mode_t kNewFileMode = 0600;
constexpr mode_t kNewFolderMode = 0700;

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
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Writes, flushes to disk and closes; errno tells why when it fails.
bool WriteAndClose(Descriptor& file, std::string_view bytes) {
    if (!WriteAll(file.Get(), bytes) || ::fsync(file.Get()) != 0) {
        return false;
    }
    return file.Close();
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

// The rename itself must reach the disk too; a folder that cannot be
// synced (some file systems refuse) does not make the save a failure.
void SyncFolder(const std::filesystem::path& folder) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());
    }
}

bool ReadLink(const std::filesystem::path& link, std::string& target, FileError& error) {
    std::string buffer(256, '\0');
    while (true) {
        const ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size());
        if (n < 0) {
            return Fail(error, u"cannot read link", errno);
        }
        if (static_cast<size_t>(n) < buffer.size()) {
            target.assign(buffer.data(), static_cast<size_t>(n));
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The file a path finally names once symbolic links are followed, so that
// the link itself stays and its target gets the new contents. A missing
// final target is fine: the save creates it.
bool FinalTarget(const std::filesystem::path& path, std::filesystem::path& target,
                 FileError& error) {
    target = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return true;
        }
        std::string next;
        if (!ReadLink(target, next, error)) {
            return false;
        }
        const std::filesystem::path named(next);
        target = named.is_absolute() ? named : target.parent_path() / named;
    }
    return Fail(error, u"too many links", ELOOP);
}

// What the target is before the save: absent, or a regular file we may write.
bool CheckTarget(const std::filesystem::path& target, bool& exists, struct stat& old,
                 FileError& error) {
    exists = ::stat(target.c_str(), &old) == 0;
    if (!exists) {
        return errno == ENOENT || Fail(error, u"cannot create", errno);
    }
    if (S_ISDIR(old.st_mode)) {
        return Fail(error, u"not a file", EISDIR);
    }
    if (!S_ISREG(old.st_mode)) {
        return Fail(error, u"not a file", EINVAL);
    }
    // A file its owner made read-only is not replaced behind their back,
    // although the folder would let a rename do it.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return Fail(error, u"cannot write", errno);
    }
    return true;
}

// The replacement looks like the file it replaces, also when root saves a
// user's file; what the system refuses is left as it is.
void KeepModeAndOwner(int fd, const struct stat& old) {
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
    ::fchmod(fd, old.st_mode & 07777);
}

// For a folder that cannot take a temporary file (or a file mounted over
// itself): the file is rewritten where it is. The room is reserved first,
// so a full disk fails before the first byte changes.
bool WriteInPlace(const std::filesystem::path& target, std::string_view bytes, FileError& error) {
    Descriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        return Fail(error, u"cannot write", errno);
    }
    const auto size = static_cast<off_t>(bytes.size());
    if (size > 0 && ::fallocate(file.Get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        return Fail(error, u"cannot write", errno);
    }
    if (!WriteAll(file.Get(), bytes) || ::ftruncate(file.Get(), size) != 0 ||
        ::fsync(file.Get()) != 0 || !file.Close()) {
        return Fail(error, u"cannot write", errno);
    }
    return true;
}

bool IsFolderRefusal(int number) {
    return number == EACCES || number == EPERM;
}

struct ErrorReason {
    int number;
    std::u16string_view text;
};

constexpr ErrorReason kReasons[] = {
    {EACCES, u"权限不足"},
    {EPERM, u"操作不被允许"},
    {EROFS, u"文件系统为只读"},
    {ENOSPC, u"磁盘空间不足"},
    {EDQUOT, u"超出磁盘配额"},
    {ENOENT, u"文件或文件夹不存在"},
    {ENOTDIR, u"路径中有一项不是文件夹"},
    {EISDIR, u"目标是一个文件夹"},
    {EINVAL, u"目标不是普通文件"},
    {ELOOP, u"符号链接层数过多"},
    {ENAMETOOLONG, u"文件名过长"},
    {EIO, u"读写错误"},
    {EFBIG, u"文件过大"},
    {EEXIST, u"文件已存在"},
    {EBUSY, u"文件正被占用"},
    {EMFILE, u"打开的文件过多"},
    {ENFILE, u"打开的文件过多"},
};

} // namespace

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, FileError& error) {
    // Non-blocking, so a pipe put in the file's place cannot hang the program.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        return Fail(error, u"cannot open", errno);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        return Fail(error, u"cannot read", errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return Fail(error, u"not a file", S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
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
    std::filesystem::path target;
    bool exists = false;
    struct stat old {};
    if (!FinalTarget(path, target, error) || !CheckTarget(target, exists, old, error)) {
        return false;
    }
    std::string temporary = target.string() + ".XXXXXX";
    Descriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0) {
        if (exists && IsFolderRefusal(errno)) {
            return WriteInPlace(target, bytes, error);
        }
        return Fail(error, u"cannot create", errno);
    }
    if (exists) {
        KeepModeAndOwner(file.Get(), old);
    } else {
        ::fchmod(file.Get(), kNewFileMode);
    }
    if (!WriteAndClose(file, bytes)) {
        const int number = errno;
        ::unlink(temporary.c_str());
        return Fail(error, u"cannot write", number);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int number = errno;
        ::unlink(temporary.c_str());
        // A file mounted over itself (a container's bind mount) cannot be renamed over.
        if (exists && number == EBUSY) {
            return WriteInPlace(target, bytes, error);
        }
        return Fail(error, u"cannot replace", number);
    }
    SyncFolder(FolderOf(target));
    return true;
}

bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes, FileError& error) {
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
    if (file.Get() < 0) {
        return Fail(error, u"cannot create", errno);
    }
    ::fchmod(file.Get(), kNewFileMode);
    if (!WriteAndClose(file, bytes)) {
        const int number = errno;
        ::unlink(path.c_str());
        return Fail(error, u"cannot write", number);
    }
    SyncFolder(FolderOf(path));
    return true;
}

bool MakeParentFolders(const std::filesystem::path& path, FileError& error) {
    const std::filesystem::path folder = path.parent_path();
    if (folder.empty() || folder == path) {
        return true;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode) || Fail(error, u"cannot create folder", ENOTDIR);
    }
    if (errno != ENOENT) {
        return Fail(error, u"cannot create folder", errno);
    }
    if (!MakeParentFolders(folder, error)) {
        return false;
    }
    // Private, as the per-user folders are meant to be.
    if (::mkdir(folder.c_str(), kNewFolderMode) != 0 && errno != EEXIST) {
        return Fail(error, u"cannot create folder", errno);
    }
    return true;
}

std::u16string FileErrorText(const FileError& error) {
    for (const ErrorReason& reason : kReasons) {
        if (reason.number == error.number) {
            return FormatText(u"%s（错误 %d）", {reason.text, int64_t{error.number}});
        }
    }
    // No reason of our own: the system's words are better than none.
    char buffer[256] = {};
    const std::u16string text = FromUtf8(::strerror_r(error.number, buffer, sizeof buffer));
    return FormatText(u"系统错误 %d（%s）", {int64_t{error.number}, std::u16string_view(text)});
}

std::u16string PathText(const std::filesystem::path& path) {
    return FromUtf8(path.native());
}

} // namespace quorlex
