#include "network/CacheFile.h"

#include "common/Format.h"

#include <cstdlib>

namespace quorlex {

namespace {

std::filesystem::path AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    return std::filesystem::path(value);
}

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

bool WriteCacheFile(const std::filesystem::path& file, std::string_view bytes, FileError& error) {
    return MakeParentFolders(file, error) && ReplaceFile(file, bytes, error);
}

std::u16string CacheSaveFailedText(const std::filesystem::path& file, const FileError& error) {
    const std::u16string path = PathText(file);
    const std::u16string reason = FileErrorText(error);
    return FormatText(u"无法保存源列表缓存文件：\n%s\n原因：%s",
                      {std::u16string_view(path), std::u16string_view(reason)});
}

} // namespace quorlex
