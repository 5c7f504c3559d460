// Fuzzes the scene reader: every input is read as a scene file into a fresh
// Scene, the way the program loads one.
//
// An input may carry the body of an included object as well: the bytes after
// the first line "#body" are written to the file body.inc, which the scene
// part can name with `file body.inc` ("#" is skipped like a blank, so the
// marker means nothing to the scene language itself).
//
// A fatal error of the reader leaves the run by an exception thrown from the
// fatal-error handler, so the readers' destructors close their files and the
// Scene is freed: leak detection stays on. The program itself never throws.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

#include "app/scene.h"
#include "base/fatal_error.h"
#include "scene_language/token_reader.h"
#include "tests/fuzz/fuzz_work_directory.h"

namespace {

const char* const kSceneFile = "scene.sce";
const char* const kBodyFile = "body.inc";
const std::string kBodyMarker = "#body\n";

// Inputs that could make more patches than this are not run: a few hundred
// polygons at the highest tessellation level would take gigabytes and
// minutes, which is the scene's size, not a fault.
constexpr long long kPatchBudget = 500000;
constexpr int kMaxDivisions = 100;  // the level is clamped to it before any polygon

struct FatalExit {
    int status;
};

void leaveRun(int status) { throw FatalExit{status}; }

// Drops everything: the reader's diagnostics are not what is tested here.
class NullBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
NullBuffer nullBuffer;

void writeFile(const char* name, const std::string& contents) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << contents;
}

// Writes the scene part and, when the input has one, the body part.
void writeInput(const std::string& input) {
    size_t marker = input.find(kBodyMarker);
    writeFile(kSceneFile, input.substr(0, marker));
    if (marker == std::string::npos)
        std::remove(kBodyFile);
    else
        writeFile(kBodyFile, input.substr(marker + kBodyMarker.size()));
}

// What bounds the work of a file: its polygons, its object bodies taken from
// files, and the highest tessellation level it sets.
struct FileCounts {
    long long polygons = 0;
    long long includes = 0;
    int level = 1;
};

// The level that `tessellate t` sets for the polygons that follow.
int levelOf(const char* text) {
    double t = std::strtod(text, nullptr);
    if (!(t >= 1.0)) return 1;  // below 1 (NaN too) nothing is divided
    return t >= kMaxDivisions ? kMaxDivisions : static_cast<int>(t);
}

FileCounts countTokens(const char* name) {
    FileCounts counts;
    if (access(name, R_OK) != 0) return counts;
    TokenReader reader;
    reader.open(name);
    // The token stream does not depend on the grammar: the reader meets the
    // same tokens, or fewer when it stops early.
    int previous = Token::None;
    for (int code = reader.code(); code != Token::EndOfFile;
         previous = code, code = reader.next()) {
        if (previous == Token::Tessellate)
            counts.level = std::max(counts.level, levelOf(reader.text()));
        if (code == Token::Plygn) ++counts.polygons;
        if (code == Token::File) ++counts.includes;
    }
    return counts;
}

// The most patches the input can make: every polygon of the scene file, and
// of the body file once for every `file`, divided at the highest level (a
// `file` may also name the scene file itself).
long long patchBound() {
    FileCounts scene = countTokens(kSceneFile);
    FileCounts body = countTokens(kBodyFile);
    long long polygons = scene.polygons * (1 + scene.includes) + body.polygons * scene.includes;
    long long level = scene.level;
    return polygons * 2 * level * level;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz_work_directory::create(argc, argv, {kSceneFile, kBodyFile});
    std::cerr.rdbuf(&nullBuffer);
    setFatalErrorHandler(leaveRun);
    installOutOfMemoryHandler();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_work_directory::enter(fuzz_work_directory::workFd);
    writeInput(std::string(reinterpret_cast<const char*>(data), size));
    int result = 0;
    try {
        if (patchBound() <= kPatchBudget) {
            auto fresh = std::make_unique<Scene>();
            fresh->readSceneFile(kSceneFile);
        } else {
            result = -1;  // not run, and not kept in the corpus
        }
    } catch (const FatalExit&) {
        // The reader ended the "program": a defined outcome.
    }
    fuzz_work_directory::enter(fuzz_work_directory::startFd);
    return result;
}
