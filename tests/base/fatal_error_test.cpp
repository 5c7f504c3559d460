#include "base/fatal_error.h"

#include <sys/resource.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "app/scene.h"
#include "tests/support/temp_files.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;  // its allocator never calls the new handler
#else
constexpr bool kAddressSanitizer = false;
#endif

// A handler that leaves the failed operation by unwinding it, as the fuzzer's does.
struct FatalExit {
    int status;
};
void throwFatalExit(int status) { throw FatalExit{status}; }

const char* const kOutOfMemory = "\nOut of memory: the scene is too large for this machine\n";

// The address space this process uses now, in bytes.
rlim_t addressSpaceInUse() {
    unsigned long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm) {
        if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    return static_cast<rlim_t>(pages) * 4096;
}

// A scene of 200 squares at the highest tessellation level: 4 million
// patches, over 2 GB.
std::string hugeScene() {
    std::string text = "plnrMsh big tessellate 100 vrtxPstn 0 0 0 1 0 0 1 1 0 0 1 0 end cmplxPly\n";
    for (int i = 0; i < 200; ++i) text += "plygn 0 1 2 3 end\n";
    return text + "end end\n";
}

// Reads the scene in a fresh Scene with 256 MB more address space than the
// process has mapped now.
void readWithinLimitedAddressSpace(const std::string& path) {
    installOutOfMemoryHandler();
    auto s = std::make_unique<Scene>();
    rlim_t limit = addressSpaceInUse() + (rlim_t{256} << 20);
    rlimit space;
    space.rlim_cur = limit;
    space.rlim_max = limit;
    if (setrlimit(RLIMIT_AS, &space) != 0) std::_Exit(3);
    s->readSceneFile(path.c_str());
    std::_Exit(4);  // the scene fitted after all
}

}  // namespace

TEST(FatalError, HandlerReplacesTheExitAndGetsTheStatus) {
    setFatalErrorHandler(throwFatalExit);
    int status = 0;
    testing::internal::CaptureStderr();
    try {
        fatalError(-1, std::string("failed ") + "here\n");
    } catch (const FatalExit& exit) {
        status = exit.status;
    }
    std::string printed = testing::internal::GetCapturedStderr();
    setFatalErrorHandler(nullptr);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(printed, "failed here\n");
}

using FatalErrorDeathTest = ::testing::Test;

TEST(FatalErrorDeathTest, ExitsWithTheStatusWithoutAHandler) {
    EXPECT_EXIT(fatalError(1, "Light table overflow\n"), ::testing::ExitedWithCode(1),
                ::testing::Eq("Light table overflow\n"));
    EXPECT_EXIT(fatalError(-1, "x\n"), ::testing::ExitedWithCode(255), "x\n");
}

TEST(FatalErrorDeathTest, FailedNewEndsWithOutOfMemory) {
    if (kAddressSanitizer) GTEST_SKIP() << "the sanitizer's allocator reports failures itself";
    EXPECT_EXIT(
        {
            installOutOfMemoryHandler();
            volatile size_t size = size_t{1} << 60;  // more than any machine has
            char* block = new char[size];
            block[0] = 1;
        },
        ::testing::ExitedWithCode(255), ::testing::Eq(kOutOfMemory));
}

TEST(FatalErrorDeathTest, SceneTooLargeForTheAddressSpaceEndsWithOutOfMemory) {
    if (kAddressSanitizer) GTEST_SKIP() << "the sanitizer reserves the address space it needs";
    GTEST_FLAG_SET(death_test_style, "fast");  // the child sees the same temporary files
    const std::string path = writeTempFile("huge.sce", hugeScene());
    EXPECT_EXIT(readWithinLimitedAddressSpace(path), ::testing::ExitedWithCode(255),
                "\nOut of memory: the scene is too large for this machine\n$");
}
