#include "network/CacheFile.h"
#include "network/SourceTableStore.h"

#include "SampleTables.h"
#include "common/CodePage.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

using namespace quorlex;
using quorlex::testing::LargeTable;
using quorlex::testing::SmallTable;

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

class SourceTableCache : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sourcetable-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path CacheFile() const { return dir_ / "cache" / "quorlex" / "sourcetable.dat"; }

    static std::string ReadBytes(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    static void WriteBytes(const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

    // Feeds the table as a receiver would hand it over, in 4096-character chunks.
    static void FeedInChunks(SourceTableStore& store, std::u16string_view text) {
        for (size_t at = 0; at < text.size(); at += 4096) {
            store.FeedSourceTable(text.substr(at, 4096));
        }
    }

    fs::path dir_;
};

} // namespace

TEST_F(SourceTableCache, FileLivesInTheUserCacheFolder) {
    {
        ScopedEnv xdg("XDG_CACHE_HOME", (dir_ / "xdg").c_str());
        EXPECT_EQ(SourceTableStore().FileName(), dir_ / "xdg" / "quorlex" / "sourcetable.dat");
    }
    {
        ScopedEnv xdg("XDG_CACHE_HOME", "relative/cache");
        ScopedEnv home("HOME", dir_.c_str());
        EXPECT_EQ(SourceTableStore().FileName(), dir_ / ".cache" / "quorlex" / "sourcetable.dat");
    }
    {
        ScopedEnv xdg("XDG_CACHE_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        SourceTableStore store;
        EXPECT_TRUE(store.FileName().empty());
        store.FeedSourceTable(SmallTable());
        EXPECT_FALSE(store.SaveCache());
        EXPECT_FALSE(store.LoadCache());
    }
}

TEST_F(SourceTableCache, SavedFileIsCodePage936WithCrLfAndNoBom) {
    SourceTableStore store(CacheFile());
    store.FeedSourceTable(u"SOURCETABLE 200 OK\nSTR;VRS;基站;RTCM\nENDSOURCETABLE\n");
    ASSERT_TRUE(store.SaveCache());
    const std::string expected = "SOURCETABLE 200 OK\r\nSTR;VRS;\xBB\xF9\xD5\xBE;RTCM\r\n"
                                 "ENDSOURCETABLE\r\n";
    EXPECT_EQ(ReadBytes(CacheFile()), expected);
    EXPECT_EQ(fs::status(CacheFile()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    // Only the file itself is left: no temporary files beside it.
    EXPECT_EQ(
        std::distance(fs::directory_iterator(CacheFile().parent_path()), fs::directory_iterator()),
        1);
}

TEST_F(SourceTableCache, SaveReplacesAnOlderFile) {
    WriteBytes(CacheFile(), std::string(10000, 'x'));
    SourceTableStore store(CacheFile());
    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;A;x\r\n");
    ASSERT_TRUE(store.SaveCache());
    EXPECT_EQ(ReadBytes(CacheFile()), "SOURCETABLE 200 OK\r\nSTR;A;x\r\n");
}

TEST_F(SourceTableCache, TimeOutBeforeAnyTableLeavesAnEmptyFile) {
    WriteBytes(CacheFile(), "old table");
    SourceTableStore store(CacheFile());
    for (int i = 0; i < 61; ++i) {
        store.TickTimeout();
    }
    ASSERT_TRUE(store.IsTimedOut());
    ASSERT_TRUE(store.SaveCache());
    EXPECT_TRUE(fs::exists(CacheFile()));
    EXPECT_EQ(fs::file_size(CacheFile()), 0u);
}

TEST_F(SourceTableCache, SaveFailsWhenTheFolderCannotBeMade) {
    WriteBytes(dir_ / "blocker", "a file where the folder should be");
    SourceTableStore store(dir_ / "blocker" / "quorlex" / "sourcetable.dat");
    store.FeedSourceTable(SmallTable());
    FileError error;
    EXPECT_FALSE(store.SaveCache(&error));
    EXPECT_EQ(error.number, ENOTDIR);
    EXPECT_EQ(ReadBytes(dir_ / "blocker"), "a file where the folder should be");
    EXPECT_EQ(CacheSaveFailedText(store.FileName(), error),
              u"无法保存源列表缓存文件：\n" + PathText(store.FileName()) +
                  u"\n原因：路径中有一项不是文件夹（错误 20）");
}

TEST_F(SourceTableCache, RoundTripKeepsChineseTextAndEveryRecord) {
    SourceTableStore saved(CacheFile());
    FeedInChunks(saved, SmallTable());
    ASSERT_TRUE(saved.SaveCache());

    SourceTableStore loaded(CacheFile());
    ASSERT_TRUE(loaded.LoadCache());
    EXPECT_EQ(loaded.CasList(), saved.CasList());
    EXPECT_EQ(loaded.NetList(), saved.NetList());
    EXPECT_EQ(loaded.StrList(), saved.StrList());
    EXPECT_EQ(loaded.TableText(), saved.TableText());
    EXPECT_EQ(loaded.StrList()[1].misc, u"上海");
    EXPECT_EQ(loaded.State(), SourceTableState::Complete);
}

TEST_F(SourceTableCache, LargeTableComesBackWhole) {
    const std::u16string text = LargeTable(3000);
    SourceTableStore saved(CacheFile());
    FeedInChunks(saved, text);
    ASSERT_EQ(saved.StrList().size(), 3000u);
    ASSERT_TRUE(saved.IsComplete());
    ASSERT_TRUE(saved.SaveCache());

    SourceTableStore loaded(CacheFile());
    ASSERT_TRUE(loaded.LoadCache());
    EXPECT_EQ(loaded.StrList().size(), 3000u);
    EXPECT_EQ(loaded.StrList(), saved.StrList());
    EXPECT_EQ(loaded.CasList(), saved.CasList());
    EXPECT_TRUE(loaded.IsComplete());
}

TEST_F(SourceTableCache, LoadingAgainDoesNotRepeatRecords) {
    WriteBytes(CacheFile(), EncodeCp936(SmallTable()));
    SourceTableStore store(CacheFile());
    ASSERT_TRUE(store.LoadCache());
    ASSERT_TRUE(store.LoadCache());
    EXPECT_EQ(store.StrList().size(), 2u);
    EXPECT_EQ(store.CasList().size(), 1u);
    EXPECT_EQ(store.NetList().size(), 1u);
}

TEST_F(SourceTableCache, MissingFileChangesNothing) {
    SourceTableStore store(CacheFile());
    store.FeedSourceTable(SmallTable());
    EXPECT_FALSE(store.LoadCache());
    EXPECT_EQ(store.StrList().size(), 2u);
    EXPECT_TRUE(store.IsComplete());
}

TEST_F(SourceTableCache, LastLineWithoutTerminatorAndCutOffTables) {
    WriteBytes(CacheFile(), "SOURCETABLE 200 OK\r\nSTR;A;x\r\nENDSOURCETABLE");
    SourceTableStore store(CacheFile());
    ASSERT_TRUE(store.LoadCache());
    EXPECT_TRUE(store.IsComplete());
    EXPECT_EQ(store.StrList().size(), 1u);

    // A table saved at a time-out has no end line: its records still load.
    WriteBytes(CacheFile(), "SOURCETABLE 200 OK\r\nSTR;A;x\r\nSTR;B;x\r\n");
    ASSERT_TRUE(store.LoadCache());
    EXPECT_EQ(store.State(), SourceTableState::Receiving);
    EXPECT_EQ(store.StrList().size(), 2u);
    EXPECT_TRUE(store.StatusText().size() > 0);

    // An empty file loads as an empty table.
    WriteBytes(CacheFile(), "");
    ASSERT_TRUE(store.LoadCache());
    EXPECT_TRUE(store.StrList().empty());
}

TEST_F(SourceTableCache, LoadIgnoresAnUnfinishedReceivedLine) {
    WriteBytes(CacheFile(), "SOURCETABLE 200 OK\r\nSTR;A;x\r\nENDSOURCETABLE\r\n");
    SourceTableStore store(CacheFile());
    store.FeedSourceTable(u"SOURCETABLE 200 OK\r\nSTR;HALF");
    ASSERT_TRUE(store.LoadCache());
    ASSERT_EQ(store.StrList().size(), 1u);
    EXPECT_EQ(store.StrList()[0].mountPoint, u"A");
}
