// Every recorded session under sessions/ is replayed and its outcome compared
// with the golden file beside it. QUORLEX_UPDATE_GOLDEN=1 rewrites the golden
// files instead, when a change of outcome is intended.
#include "tests/replay/SessionReplayer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace quorlex::replay {
namespace {

namespace fs = std::filesystem;

const fs::path kSessions = QUORLEX_REPLAY_SESSIONS;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> SessionFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kSessions)) {
        if (entry.path().extension() == ".session") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class ReplayedSession : public ::testing::TestWithParam<fs::path> {};

std::string CaseName(const ::testing::TestParamInfo<fs::path>& info) {
    std::string name = info.param.stem().string();
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Sessions, ReplayedSession, ::testing::ValuesIn(SessionFiles()), CaseName);

TEST_P(ReplayedSession, OutcomeMatchesItsGoldenFile) {
    const fs::path file = GetParam();
    Session session;
    SessionError error;
    ASSERT_TRUE(ReadSession(ReadFile(file), session, error))
        << file << ":" << error.line << ": " << error.reason;
    const fs::path cache =
        fs::temp_directory_path() / ("replay-" + std::to_string(::getpid()) + ".dat");
    const std::string outcome = ReplaySession(session, cache);
    fs::remove(cache);
    fs::path golden = file;
    golden.replace_extension(".golden");
    if (std::getenv("QUORLEX_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << outcome;
        GTEST_SKIP() << "rewrote " << golden;
    }
    ASSERT_TRUE(fs::exists(golden)) << golden << " is missing; QUORLEX_UPDATE_GOLDEN=1 writes it";
    EXPECT_EQ(outcome, ReadFile(golden)) << "replaying " << file;
}

// A session replays to the same outcome every time: nothing depends on timing.
TEST(ReplayedSessions, AReplayIsRepeatable) {
    const std::vector<fs::path> files = SessionFiles();
    ASSERT_FALSE(files.empty());
    const fs::path cache =
        fs::temp_directory_path() / ("replay-again-" + std::to_string(::getpid()) + ".dat");
    for (const fs::path& file : files) {
        Session session;
        SessionError error;
        ASSERT_TRUE(ReadSession(ReadFile(file), session, error)) << file;
        const std::string first = ReplaySession(session, cache);
        EXPECT_EQ(ReplaySession(session, cache), first) << file;
    }
    fs::remove(cache);
}

} // namespace quorlex::replay
