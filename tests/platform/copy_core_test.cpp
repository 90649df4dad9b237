#include "platform/copy_core.h"
#include "platform/file.h"
#include "platform/run_error.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <optional>

using namespace parcelo;
using copycore::Method;

namespace {

constexpr Method kMethods[] = {Method::Splice, Method::CopyRange, Method::Buffer};

struct ForcedMethod {
    explicit ForcedMethod(Method method) { copycore::forceMethod(method); }
    ~ForcedMethod() { copycore::forceMethod(std::nullopt); }
};

// Copies count bytes from offset 100 of src (an offset no page boundary matches), in
// steps counted in *steps, or in one go without; returns the failure, if any.
std::optional<RunError> copyFrom100(const test::TempFolder& temp, std::uint64_t count,
                                    int* steps = nullptr)
{
    File source(temp.file("src"), File::Mode::Read);
    File target(temp.file("dst"), File::Mode::Write);
    source.seek(100);
    std::vector<char> buffer;
    try {
        copyBytes(source, target, count, kCopyChunk, buffer,
                  steps ? std::function<void()>([steps] { ++*steps; }) : std::function<void()>());
        target.close();
    } catch (const RunError& e) {
        return e;
    }
    EXPECT_LE(buffer.size(), kCopyChunk);
    return std::nullopt;
}

} // namespace

TEST(CopyCore, EveryMethodCopiesTheSameBytesAndFailsAFailingWriteAlike)
{
    test::TempFolder temp;
    const std::string content = test::patternBytes(5'000'123);
    test::writeFile(temp.file("src"), content);
    for (Method method : kMethods)
        for (bool inSteps : {false, true}) {
            ForcedMethod forced(method);
            SCOPED_TRACE(static_cast<int>(method) * 2 + inSteps);
            int steps = 0;
            EXPECT_FALSE(copyFrom100(temp, content.size() - 200, inSteps ? &steps : nullptr));
            EXPECT_EQ(steps, inSteps ? 3 : 0);
            EXPECT_EQ(test::readFile(temp.file("dst")), content.substr(100, content.size() - 200));
            // Asking for more than the source holds is error 62 whichever way.
            const auto past = copyFrom100(temp, content.size());
            ASSERT_TRUE(past);
            EXPECT_EQ(past->number(), err::InputPastEndOfFile);
        }

    // Writes past 1 MB fail (EFBIG) for the target, whichever call makes them.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limited{1'000'000, old.rlim_max};
    std::optional<RunError> first;
    for (Method method : kMethods) {
        ForcedMethod forced(method);
        SCOPED_TRACE(static_cast<int>(method));
        setrlimit(RLIMIT_FSIZE, &limited);
        const auto failure = copyFrom100(temp, 2'000'000);
        setrlimit(RLIMIT_FSIZE, &old);
        ASSERT_TRUE(failure);
        if (!first)
            first = failure;
        EXPECT_EQ(failure->number(), first->number());
        EXPECT_EQ(failure->description(), first->description());
        EXPECT_NE(failure->description().find(temp.file("dst")), std::string::npos);
        EXPECT_EQ(test::readFile(temp.file("dst")), content.substr(100, 1'000'000));
    }
    std::signal(SIGXFSZ, oldHandler);
}
