#include "support/child_process.hpp"
#include "support/program.hpp"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pelitor::test {
namespace {

using OutputSafety = ProgramTest;

const Bytes someSamples(400, 0x11);

TEST_F(OutputSafety, NeverOverwritesTheInputItself) {
    const Bytes wav = canonicalWav({}, someSamples);
    writeFile(path("take.sds"), wav);
    const ProgramRun result = run({"take.sds"});
    EXPECT_EQ(result.status, 73);
    EXPECT_EQ(result.err,
              "pelitor: take.sds: is the input file itself; rename the input so that its "
              "output name differs\n");
    EXPECT_EQ(result.out.find("[Writing Header"), std::string::npos);
    EXPECT_EQ(readFile(path("take.sds")), wav);
    EXPECT_EQ(files(), std::set<std::string>{"take.sds"});
}

TEST_F(OutputSafety, LeavesOutputsThatAreNotPlainWritableFilesAlone) {
    writeFile(path("a.wav"), canonicalWav({}, someSamples));
    fs::create_directory(path("a.sds"));
    ProgramRun result = run({"a.wav"});
    EXPECT_EQ(result.status, 73);
    EXPECT_EQ(result.err,
              "pelitor: a.sds: exists and is not a regular file; it is left as it is\n");
    EXPECT_EQ(result.out.find("[Writing Header"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(path("a.sds")));

    writeFile(path("b.wav"), canonicalWav({}, someSamples));
    writeFile(path("b.sds"), {1, 2, 3});
    fs::permissions(path("b.sds"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    result = run({"b.wav"});
    EXPECT_EQ(result.status, 73);
    EXPECT_EQ(result.err, "pelitor: b.sds: exists and is read-only; it is left as it is\n");
    EXPECT_EQ(readFile(path("b.sds")), (Bytes{1, 2, 3}));
    EXPECT_EQ(files(), (std::set<std::string>{"a.sds", "a.wav", "b.sds", "b.wav"}));
}

TEST_F(OutputSafety, FollowsNoLinksOutOfTheDirectory) {
    if (windowsBuild()) {
        GTEST_SKIP() << "symbolic links are not tested under Wine";
    }
    const Bytes wav = canonicalWav({}, someSamples);
    writeFile(path("c.wav"), wav);
    writeFile(path("elsewhere"), {9});
    fs::create_symlink("elsewhere", path("c.sds"));
    EXPECT_EQ(run({"c.wav"}).status, 73);
    EXPECT_EQ(readFile(path("elsewhere")), Bytes{9});

    // A link named like the output that points at the input is the input itself.
    fs::create_symlink("d.sds", path("d.wav"));
    writeFile(path("d.sds"), wav);
    EXPECT_EQ(run({"d.wav"}).status, 73);
    EXPECT_EQ(readFile(path("d.sds")), wav);
}

TEST_F(OutputSafety, AFullDiskKeepsTheEarlierOutputAndFailsLoudly) {
    if (windowsBuild()) {
        GTEST_SKIP() << "file size limits are not tested under Wine";
    }
    writeFile(path("big.wav"), canonicalWav({}, Bytes(20000, 0x22)));
    // A 4 KiB file size limit, with the signal it raises ignored by the caller or not.
    for (const char* limit : {"trap '' XFSZ; ulimit -f 4;", "ulimit -f 4;"}) {
        writeFile(path("big.sds"), {7, 7, 7});
        const ProgramRun result = run({"big.wav"}, limit);
        EXPECT_EQ(result.status, 74) << limit;
        EXPECT_EQ(result.err, "pelitor: big.sds: writing failed: File too large\n");
        const std::string marks = result.out.substr(result.out.rfind("[Writing Data "));
        EXPECT_EQ(marks.size(), 14 + 250 + 6U);
        EXPECT_TRUE(marks.starts_with("[Writing Data ......"));
        EXPECT_TRUE(marks.ends_with("hhh End]\n"));
        EXPECT_EQ(readFile(path("big.sds")), (Bytes{7, 7, 7}));
        EXPECT_EQ(files(), (std::set<std::string>{"big.sds", "big.wav"}));
    }
}

TEST_F(OutputSafety, AnUnwritableDirectoryIsRefusedBeforeWriting) {
    if (windowsBuild()) {
        GTEST_SKIP() << "directory permissions are not tested under Wine";
    }
    fs::create_directory(path("locked"));
    writeFile(path("locked/e.wav"), canonicalWav({}, someSamples));
    fs::permissions(path("locked"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    fs::permissions(path(""), fs::perms::all, fs::perm_options::add);
    // The superuser may write anywhere, so a root test run drops to nobody for this, with a
    // copy of the program that nobody can run wherever the build lies.
    const bool root = getuid() == 0;
    if (root) {
        fs::copy_file(PELITOR_BINARY, path("pelitor"));
    }
    const ProgramRun result =
        root ? run({"locked/e.wav"}, "setpriv --reuid=65534 --regid=65534 --clear-groups",
                   "./pelitor")
             : run({"locked/e.wav"});
    EXPECT_EQ(result.status, 73);
    EXPECT_EQ(result.err, "pelitor: locked/e.sds: cannot create a temporary file beside it: "
                          "Permission denied\n");
    EXPECT_EQ(result.out.find("[Writing Header"), std::string::npos);
    EXPECT_EQ(files("locked"), std::set<std::string>{"e.wav"});
}

// Enough 16-bit samples for 15,000 packets, so that a run stalls mid-data on a StalledRun.
Bytes longWav() {
    return canonicalWav({}, Bytes(1200000, 0x33));
}

TEST_F(OutputSafety, AnInterruptedRunLeavesOnlyWhatWasThereUnlessTheSignalWasIgnored) {
    if (windowsBuild()) {
        GTEST_SKIP() << "signals are not tested under Wine";
    }
    writeFile(path("long.wav"), longWav());
    // Ignored as under nohup, or for a background job of a shell that is not interactive.
    for (bool ignored : {false, true}) {
        for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM,
                           SIGPROF, SIGXCPU}) {
            writeFile(path("long.sds"), {5, 5});
            StalledRun run(path(""), PELITOR_BINARY, {"long.wav"}, ignored ? signal : 0);
            ASSERT_TRUE(run.readUntil("[Writing Data ."));
            // The file being written has no name yet, or a temporary one.
            EXPECT_EQ(files().size(), namelessOutput ? 2U : 3U);
            run.signal(signal);
            const int status = run.finish();
            if (ignored) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << strsignal(signal);
                EXPECT_EQ(readFile(path("long.sds")).size(), 21U + 15000U * 127U);
            } else {
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal);
                EXPECT_EQ(readFile(path("long.sds")), (Bytes{5, 5}));
            }
            EXPECT_EQ(files(), (std::set<std::string>{"long.sds", "long.wav"}));
        }
    }
}

// On Windows a console's Ctrl-C is handled on a thread of its own: a probe built with the
// program's file code lands one just after a temporary file is created.
TEST_F(OutputSafety, ACtrlCJustAfterTheTemporaryFileIsCreatedLeavesNothingOnWindows) {
    const char* probe = std::getenv("PELITOR_INTERRUPT_PROBE");
    if (probe == nullptr) {
        GTEST_SKIP() << "the probe is built for Windows only";
    }
    const ProgramRun result = run({"x.out"}, "", probe);
    // STATUS_CONTROL_C_EXIT, as a Linux parent of Wine sees it.
    EXPECT_EQ(result.status, 58) << "the signal did not end the probe as Ctrl-C ends a program";
    EXPECT_EQ(files(), std::set<std::string>{});
}

TEST_F(OutputSafety, NamesAndPathsAsLongAsTheOutputCanHaveConvert) {
    if (windowsBuild()) {
        GTEST_SKIP() << "path length limits are not tested under Wine";
    }
    writeFile(path("short.wav"), canonicalWav({}, someSamples));
    ASSERT_EQ(run({"short.wav"}).status, 0);
    // Directories of 250-byte names down to a 4,090-byte relative path: the absolute path is
    // longer than any path the system takes.
    std::string deep;
    while (deep.size() < 4090 - 251) {
        deep += std::string(250, 'd') + "/";
    }
    deep += std::string(4090 - deep.size() - 4, 'p') + ".wav";
    for (const std::string& input :
         {std::string(242, 'n') + ".wav", std::string(251, 'n') + ".wav", deep}) {
        const std::string directory = input.substr(0, input.rfind('/') + 1);
        const std::string output = input.substr(0, input.size() - 4) + ".sds";
        ASSERT_EQ(shell("mkdir -p ./" + directory + " && cp short.wav " + input), 0);
        const ProgramRun result = run({input});
        EXPECT_EQ(result.status, 0) << input.size();
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(shell("cmp -s short.sds " + output), 0) << input.size();
    }
    // Too deep for the test's own cleanup, which goes by absolute paths.
    shell("rm -rf " + std::string(250, 'd'));
}

TEST_F(OutputSafety, AnotherUsersFileIsNotReplaced) {
    if (windowsBuild()) {
        GTEST_SKIP() << "other users are not tested under Wine";
    }
    if (getuid() != 0) {
        GTEST_SKIP() << "needs the superuser, to own files and run as another user";
    }
    struct Case {
        fs::perms directory;
        fs::perms earlier;
        int status;
        std::string message;
    };
    const fs::perms shared = fs::perms::all;
    const std::vector<Case> cases{
        {shared, fs::perms(0644), 73, "exists and is not writable by you; it is left as it is"},
        {shared | fs::perms::sticky_bit, fs::perms(0666), 73,
         "exists and belongs to another user in a sticky directory; it is left as it is"},
        {shared, fs::perms(0666), 0, ""},
    };
    fs::copy_file(PELITOR_BINARY, path("pelitor"));
    fs::create_directory(path("shared"));
    writeFile(path("shared/f.wav"), canonicalWav({}, someSamples));
    for (const Case& c : cases) {
        fs::permissions(path("shared"), c.directory);
        fs::remove(path("shared/f.sds")); // so that it is made anew, the superuser's
        writeFile(path("shared/f.sds"), {8});
        fs::permissions(path("shared/f.sds"), c.earlier);
        const ProgramRun result = run(
            {"shared/f.wav"}, "setpriv --reuid=65534 --regid=65534 --clear-groups", "./pelitor");
        EXPECT_EQ(result.status, c.status);
        if (c.status != 0) {
            EXPECT_EQ(result.err, "pelitor: shared/f.sds: " + c.message + "\n");
            EXPECT_EQ(result.out.find("[Writing Header"), std::string::npos);
            EXPECT_EQ(readFile(path("shared/f.sds")), Bytes{8});
        }
        EXPECT_EQ(files("shared"), (std::set<std::string>{"f.sds", "f.wav"}));
    }
}

} // namespace
} // namespace pelitor::test
