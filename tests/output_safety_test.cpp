#include "support/program.hpp"

#include <csignal>
#include <fcntl.h>
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
    writeFile(path("big.sds"), {7, 7, 7});
    // A 4 KiB file size limit, with the signal that would kill the writer ignored.
    const ProgramRun result = run({"big.wav"}, "trap '' XFSZ; ulimit -f 4;");
    EXPECT_EQ(result.status, 74);
    EXPECT_EQ(result.err, "pelitor: big.sds: writing failed: File too large\n");
    const std::string marks = result.out.substr(result.out.rfind("[Writing Data "));
    EXPECT_EQ(marks.size(), 14 + 250 + 6U);
    EXPECT_TRUE(marks.starts_with("[Writing Data ......"));
    EXPECT_TRUE(marks.ends_with("hhh End]\n"));
    EXPECT_EQ(readFile(path("big.sds")), (Bytes{7, 7, 7}));
    EXPECT_EQ(files(), (std::set<std::string>{"big.sds", "big.wav"}));
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

TEST_F(OutputSafety, AnInterruptedRunLeavesOnlyWhatWasThere) {
    if (windowsBuild()) {
        GTEST_SKIP() << "signals are not tested under Wine";
    }
    writeFile(path("long.wav"), canonicalWav({}, Bytes(400000, 0x33)));
    writeFile(path("long.sds"), {5, 5});
    // Standard output is a small pipe that is read only up to the data line, so the program
    // stalls in the middle of its packets, where it is interrupted.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    fcntl(pipeEnds[1], F_SETPIPE_SZ, 4096);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        if (chdir(path("").c_str()) == 0) {
            execl(PELITOR_BINARY, "pelitor", "long.wav", nullptr);
        }
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string seen;
    char chunk[256];
    ssize_t count = 0;
    while (seen.find("[Writing Data .") == std::string::npos &&
           (count = read(pipeEnds[0], chunk, sizeof chunk)) > 0) {
        seen.append(chunk, static_cast<std::size_t>(count));
    }
    EXPECT_EQ(files().size(), 3U); // the input, the earlier output and the one being written
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeEnds[0]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
    EXPECT_EQ(files(), (std::set<std::string>{"long.sds", "long.wav"}));
    EXPECT_EQ(readFile(path("long.sds")), (Bytes{5, 5}));
}

} // namespace
} // namespace pelitor::test
