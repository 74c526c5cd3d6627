#include "common/atomic_file.hpp"
#include "platform/process.hpp"
#include "support/child_process.hpp"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <set>
#include <sys/stat.h>
#include <vector>

namespace pelitor {
namespace {

namespace fs = std::filesystem;

bool closeThenFail(platform::FileHandle file) {
    platform::closeFile(file);
    errno = EIO;
    return false;
}

platform::FileHandle refuseUnnamed(const platform::Directory&) {
    errno = EOPNOTSUPP;
    return platform::invalidFile;
}

// The signal that lands just after the named temporary file is created.
int signalOnCreate = 0;

platform::FileHandle createThenSignal(const platform::Directory& directory, const fs::path& name) {
    const platform::FileHandle file = platform::createExclusive(directory, name);
    raise(signalOnCreate);
    return file;
}

// Both ways of writing the output: as a file without a name, and under a named temporary
// file where the file system cannot do without a name.
const AtomicFileCalls unnamed{};
const AtomicFileCalls named{.createUnnamed = refuseUnnamed};

class AtomicFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("pelitor-atomic-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    std::string text(const std::string& name) const {
        std::ifstream in(dir_ / name);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    struct stat status(const std::string& name) const {
        struct stat status {};
        stat((dir_ / name).c_str(), &status);
        return status;
    }

    // An AtomicFile for `name` made with `calls`, opened, with "new" written to it.
    std::unique_ptr<AtomicFile> written(const AtomicFileCalls& calls,
                                        const std::string& name = "x.sds") {
        auto output = std::make_unique<AtomicFile>(dir_ / name, calls);
        EXPECT_FALSE(output->open(3));
        EXPECT_FALSE(output->write(std::vector<std::uint8_t>{'n', 'e', 'w'}));
        return output;
    }

    fs::path dir_;
};

TEST_F(AtomicFileTest, AnErrorOnClosingLeavesTheEarlierOutputAndNoTemporaryFile) {
    for (AtomicFileCalls calls : {unnamed, named}) {
        std::ofstream(dir_ / "x.sds") << "old";
        calls.close = closeThenFail;
        const auto failure = written(calls)->commit();
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->kind, FailureKind::ioError);
        EXPECT_EQ(failure->message, "writing failed: Input/output error");
        EXPECT_EQ(files(), std::set<std::string>{"x.sds"});
        EXPECT_EQ(text("x.sds"), "old");
    }
}

TEST_F(AtomicFileTest, OnlyTheNamedFallbackShowsWhileWritingUnderANameOfFixedLength) {
    const std::string longest(251, 'x'); // with ".sds", the longest name a file can have
    for (bool namedTemporary : {false, true}) {
        std::ofstream(dir_ / (longest + ".sds")) << "old";
        const auto output = written(namedTemporary ? named : unnamed, longest + ".sds");
        std::set<std::string> seen = files();
        seen.erase(longest + ".sds");
        const bool shows = namedTemporary || !PELITOR_LINUX_CALLS; // elsewhere always named
        ASSERT_EQ(seen.size(), shows ? 1U : 0U);
        if (shows) {
            const std::string temporary = *seen.begin();
            EXPECT_TRUE(temporary.starts_with("pelitor-") && temporary.ends_with(".tmp"));
            EXPECT_EQ(temporary.size(), 20U);
            EXPECT_EQ(status(temporary).st_mode & 07777, 0600U);
        }
        ASSERT_FALSE(output->commit());
        EXPECT_EQ(files(), std::set<std::string>{longest + ".sds"});
        EXPECT_EQ(text(longest + ".sds"), "new");
    }
}

TEST_F(AtomicFileTest, TheOutputKeepsThePermissionsAndForTheSuperuserTheOwnerOfWhatItReplaces) {
    const mode_t mask = umask(0);
    umask(mask);
    const unsigned user = geteuid() == 0 ? 65534 : geteuid();
    for (const AtomicFileCalls& calls : {unnamed, named}) {
        for (unsigned earlier : {0600U, 0640U, 0662U, 0777U, 0U}) {
            fs::remove(dir_ / "x.sds");
            if (earlier != 0) {
                std::ofstream(dir_ / "x.sds") << "old";
                chmod((dir_ / "x.sds").c_str(), earlier);
                ASSERT_EQ(chown((dir_ / "x.sds").c_str(), user, user), 0);
            }
            ASSERT_FALSE(written(calls)->commit());
            // A new file gets what any new file gets.
            EXPECT_EQ(status("x.sds").st_mode & 07777, earlier != 0 ? earlier : (0666U & ~mask));
            EXPECT_EQ(status("x.sds").st_uid, earlier != 0 ? user : geteuid());
            EXPECT_EQ(text("x.sds"), "new");
        }
    }
}

TEST_F(AtomicFileTest, AnOutputThatBecameReadOnlyWhileWritingIsLeftAsItIs) {
    for (const AtomicFileCalls& calls : {unnamed, named}) {
        fs::remove(dir_ / "x.sds");
        const auto output = written(calls);
        std::ofstream(dir_ / "x.sds") << "theirs";
        chmod((dir_ / "x.sds").c_str(), 0444);
        const auto failure = output->commit();
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->kind, FailureKind::cannotCreate);
        EXPECT_EQ(files(), std::set<std::string>{"x.sds"});
        EXPECT_EQ(text("x.sds"), "theirs");
    }
}

// The named temporary file is removed by any ending signal, even one that lands just after
// the file is created, before it is registered for removal.
TEST_F(AtomicFileTest, AnEndingSignalRemovesTheNamedTemporaryFile) {
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM,
                       SIGPROF, SIGXCPU}) {
        std::ofstream(dir_ / "x.sds") << "old";
        signalOnCreate = signal;
        EXPECT_EXIT(
            {
                test::startWithDefaultSignals();
                platform::handleEndingSignals();
                AtomicFile output(dir_ / "x.sds", {.createUnnamed = refuseUnnamed,
                                                   .createNamed = createThenSignal});
                static_cast<void>(output.open(3));
                _exit(0);
            },
            ::testing::KilledBySignal(signal), "");
        EXPECT_EQ(files(), std::set<std::string>{"x.sds"}) << strsignal(signal);
        EXPECT_EQ(text("x.sds"), "old");
    }
}

TEST(ReplacementRefusal, LeavesAloneWhatIsNotOursToReplace) {
    const platform::FileFacts plain{.exists = true,
                                    .regular = true,
                                    .permissions = 0644,
                                    .writeAllowed = true,
                                    .replaceAllowed = true};
    struct Case {
        platform::FileFacts existing;
        std::string refusal;
    };
    const std::vector<Case> cases{
        {{}, ""},
        {plain, ""},
        {{.exists = true}, "exists and is not a regular file; it is left as it is"},
        {{.exists = true, .regular = true, .permissions = 0444, .writeAllowed = true},
         "exists and is read-only; it is left as it is"},
        {{.exists = true, .regular = true, .permissions = 0644, .replaceAllowed = true},
         "exists and is not writable by you; it is left as it is"},
        {{.exists = true, .regular = true, .permissions = 0666, .writeAllowed = true},
         "exists and belongs to another user in a sticky directory; it is left as it is"},
    };
    for (const Case& c : cases) {
        const auto refusal = replacementRefusal(c.existing);
        EXPECT_EQ(refusal ? refusal->message : "", c.refusal);
        EXPECT_TRUE(!refusal || refusal->kind == FailureKind::cannotCreate);
    }
}

} // namespace
} // namespace pelitor
