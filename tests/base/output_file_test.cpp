// Outputs that destroy nothing: a file appears whole or not at all, and what
// an output names (a pipe, a link, a read-only file, a device) survives.
#include "base/output_file.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/temp_files.h"

namespace {
// Writes `text` to `path` through an OutputFile; the error, or "" when it worked.
std::string writeThrough(const std::string& path, const std::string& text) {
    OutputFile file(path);
    std::string error;
    if (!file.open(error)) return error;
    std::fputs(text.c_str(), file.stream());
    return file.commit(error) ? "" : error;
}

size_t entriesIn(const std::string& dir) {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(dir);
         it != std::filesystem::directory_iterator(); ++it)
        ++n;
    return n;
}

mode_t typeOf(const std::string& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}
}  // namespace

TEST(OutputFile, NothingAppearsUntilCommitted) {
    std::string dir = makeTempDir();
    std::string path = dir + "/table.csv";
    std::string error;
    {
        OutputFile f(path);
        ASSERT_TRUE(f.open(error));
        std::fputs("partial", f.stream());
        EXPECT_EQ(entriesIn(dir), 1u);  // the temporary file
        EXPECT_EQ(access(path.c_str(), F_OK), -1);
    }  // dropped without commit
    EXPECT_EQ(entriesIn(dir), 0u);
    {
        // What a signal handler calls: the temporary file goes, the commit fails.
        OutputFile f(path);
        ASSERT_TRUE(f.open(error));
        removeTemporaryOutputs();
        EXPECT_EQ(entriesIn(dir), 0u);
        EXPECT_FALSE(f.commit(error));
    }
    EXPECT_EQ(writeThrough(path, "whole"), "");
    EXPECT_EQ(readFile(path), "whole");
    EXPECT_EQ(entriesIn(dir), 1u);
    EXPECT_EQ(writeThrough(dir + "/no/such/dir.csv", "x"),
              "cannot write " + dir + "/no/such/dir.csv: No such file or directory");
    EXPECT_EQ(writeThrough(dir, "x"), "cannot write " + dir + ": Is a directory");
}

TEST(OutputFile, PipesLinksAndReadOnlyFilesSurvive) {
    std::string dir = makeTempDir();
    // A named pipe stays one, and its reader gets every byte.
    std::string fifo = dir + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::string received;
    std::thread reader([&] { received = readFile(fifo); });
    EXPECT_EQ(writeThrough(fifo, "through the pipe"), "");
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_EQ(typeOf(fifo), static_cast<mode_t>(S_IFIFO));

    // A link is followed: its target changes, the link stays.
    writeFile(dir + "/target.csv", "old");
    ASSERT_EQ(symlink("target.csv", (dir + "/link.csv").c_str()), 0);
    EXPECT_EQ(writeThrough(dir + "/link.csv", "new"), "");
    EXPECT_EQ(typeOf(dir + "/link.csv"), static_cast<mode_t>(S_IFLNK));
    EXPECT_EQ(readFile(dir + "/target.csv"), "new");

    // A read-only file is refused, except to root, and keeps its mode.
    std::string locked = dir + "/locked.csv";
    writeFile(locked, "kept");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    std::string error = writeThrough(locked, "replaced");
    if (getuid() == 0) {
        EXPECT_EQ(error, "");
        EXPECT_EQ(readFile(locked), "replaced");
    } else {
        EXPECT_EQ(error, "cannot write " + locked + ": Permission denied");
        EXPECT_EQ(readFile(locked), "kept");
    }
    struct stat status;
    ASSERT_EQ(stat(locked.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0444u);
}

TEST(OutputFile, DevicesAreWrittenNotReplaced) {
    // Device nodes of its own (null and full) need root and a system that lets
    // it make them.
    std::string dir = makeTempDir();
    std::string null = dir + "/null", full = dir + "/full";
    if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "no device nodes can be made here";
    EXPECT_EQ(writeThrough(null, "gone"), "");
    EXPECT_EQ(writeThrough(full, "too much"), "cannot write " + full + ": No space left on device");
    EXPECT_EQ(typeOf(null), static_cast<mode_t>(S_IFCHR));
    EXPECT_EQ(typeOf(full), static_cast<mode_t>(S_IFCHR));
    EXPECT_EQ(entriesIn(dir), 2u);
}

TEST(OutputFile, IdentityTellsTheSameFileUnderAnyName) {
    std::string dir = makeTempDir();
    writeFile(dir + "/a.csv", "a");
    ASSERT_EQ(symlink("a.csv", (dir + "/b.csv").c_str()), 0);
    std::string error;
    OutputFile a(dir + "/a.csv"), b(dir + "/b.csv"), fresh(dir + "/new.csv"),
        again(dir + "/./new.csv"), other(dir + "/other.csv"), standard("-");
    for (OutputFile* f : {&a, &b, &fresh, &again, &other, &standard})
        ASSERT_TRUE(f->check(error)) << error;
    EXPECT_EQ(a.identity(), b.identity());
    EXPECT_EQ(fresh.identity(), again.identity());  // neither exists yet
    EXPECT_NE(fresh.identity(), other.identity());
    EXPECT_NE(a.identity(), fresh.identity());
    EXPECT_EQ(standard.identity(), FileIdentity::ofDescriptor(STDOUT_FILENO));
    EXPECT_EQ(entriesIn(dir), 2u);  // checking writes nothing
}
