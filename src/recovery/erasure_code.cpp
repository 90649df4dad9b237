#include "recovery/erasure_code.h"

#include "platform/file.h"
#include "platform/run_error.h"
#include "platform/stop_token.h"

#include <isa-l/erasure_code.h>
#include <zlib.h>

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace parcelo {

namespace {

std::size_t stripeSize(const RecoveryOptions& options, std::size_t files, std::uint64_t length)
{
    std::size_t stripe =
        std::min(options.stripeBytes, options.memoryBudget / std::max<std::size_t>(files, 1));
    if (stripe >= 4096)
        stripe -= stripe % 4096;
    stripe = std::max<std::size_t>(stripe, 1);
    return static_cast<std::size_t>(
        std::min<std::uint64_t>(stripe, std::max<std::uint64_t>(length, 1)));
}

void updateCrc(CodedStream& stream, const unsigned char* bytes, std::size_t size)
{
    stream.crc = static_cast<std::uint32_t>(crc32(stream.crc, bytes, static_cast<uInt>(size)));
}

std::size_t partOf(const CodedStream& stream, std::uint64_t offset, std::size_t stripe)
{
    return offset >= stream.length
               ? 0
               : static_cast<std::size_t>(std::min<std::uint64_t>(stripe, stream.length - offset));
}

} // namespace

void endStripe(const RecoveryOptions& options, std::uint64_t bytes)
{
    if (options.bytesDone)
        options.bytesDone(bytes);
    if (options.afterStripe)
        options.afterStripe();
    jobStop().throwIfRequested();
}

std::vector<unsigned char> codeRows(int k, int r, const std::vector<int>& from,
                                    const std::vector<int>& wanted)
{
    const auto K = static_cast<std::size_t>(k);
    std::vector<unsigned char> code(static_cast<std::size_t>(k + r) * K);
    gf_gen_cauchy1_matrix(code.data(), k + r, k);
    std::vector<unsigned char> chosen(K * K), inverse(K * K);
    for (std::size_t i = 0; i < K; ++i)
        std::memcpy(&chosen[i * K], &code[static_cast<std::size_t>(from[i]) * K], K);
    if (gf_invert_matrix(chosen.data(), inverse.data(), k) != 0)
        throw RecoveryError(RecoveryFailure::CodeNotInvertible,
                            "Recovery code rows cannot be inverted");
    std::vector<unsigned char> rows(wanted.size() * K, 0);
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        const unsigned char* target = &code[static_cast<std::size_t>(wanted[w]) * K];
        for (std::size_t c = 0; c < K; ++c) {
            unsigned char sum = 0;
            for (std::size_t t = 0; t < K; ++t)
                sum ^= gf_mul(target[t], inverse[t * K + c]);
            rows[w * K + c] = sum;
        }
    }
    return rows;
}

std::uint64_t openFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_max == RLIM_INFINITY)
        return UINT64_MAX;
    return limit.rlim_max;
}

void reserveOpenFiles(std::size_t count)
{
    constexpr rlim_t kSpare = kSpareFiles;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= count + kSpare)
        return;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < count + kSpare)
        throw RunError(err::PathFileAccessError,
                       "Too many files to keep open at once: " + std::to_string(count));
    limit.rlim_cur = count + kSpare;
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0)
        throw runErrorFromOs(errno);
}

void runCode(const std::vector<unsigned char>& rows, std::vector<CodedStream>& inputs,
             std::vector<CodedStream>& outputs, std::uint64_t length,
             const RecoveryOptions& options)
{
    const int k = static_cast<int>(inputs.size());
    const int m = static_cast<int>(outputs.size());
    const std::size_t stripe = stripeSize(options, inputs.size() + outputs.size(), length);
    std::vector<unsigned char> tables(32 * rows.size());
    ec_init_tables(k, m, const_cast<unsigned char*>(rows.data()), tables.data());
    std::vector<std::vector<unsigned char>> buffers(inputs.size() + outputs.size(),
                                                    std::vector<unsigned char>(stripe));
    std::vector<unsigned char*> in, out;
    for (int i = 0; i < k; ++i)
        in.push_back(buffers[static_cast<std::size_t>(i)].data());
    for (int i = 0; i < m; ++i)
        out.push_back(buffers[static_cast<std::size_t>(k) + static_cast<std::size_t>(i)].data());
    for (std::uint64_t offset = 0; offset < length; offset += stripe) {
        const auto len = static_cast<std::size_t>(std::min<std::uint64_t>(stripe, length - offset));
        std::uint64_t moved = 0;
        for (int i = 0; i < k; ++i) {
            auto& source = inputs[static_cast<std::size_t>(i)];
            const std::size_t part = partOf(source, offset, len);
            moved += part;
            source.file->readExact(in[static_cast<std::size_t>(i)], part);
            updateCrc(source, in[static_cast<std::size_t>(i)], part);
            std::memset(in[static_cast<std::size_t>(i)] + part, 0, len - part);
        }
        ec_encode_data(static_cast<int>(len), k, m, tables.data(), in.data(), out.data());
        for (int i = 0; i < m; ++i) {
            auto& target = outputs[static_cast<std::size_t>(i)];
            const std::size_t part = partOf(target, offset, len);
            target.file->write(out[static_cast<std::size_t>(i)], part);
            updateCrc(target, out[static_cast<std::size_t>(i)], part);
            moved += part;
        }
        endStripe(options, moved);
    }
}

} // namespace parcelo
