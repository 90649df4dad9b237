#pragma once

#include "recovery/recovery.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace parcelo {

class File;

// One file's part in a coding pass: the data it holds (read or written at the file's
// current position) and the CRC-32 of those bytes, updated as they pass.
struct CodedStream {
    File* file = nullptr;
    std::uint64_t length = 0; // data bytes; the rest of the stripe counts as zeros
    std::uint32_t crc = 0;
};

// The coefficient rows that compute `wanted` rows of a code with k data rows and r parity
// rows (0..k-1 data, k.. parity) from the `from` rows (k of them), all in ISA-L's
// Cauchy code. Throws RecoveryError when the rows cannot be inverted.
std::vector<unsigned char> codeRows(int k, int r, const std::vector<int>& from,
                                    const std::vector<int>& wanted);

// The program's own files besides a set's, counted in every need of open files.
inline constexpr std::size_t kSpareFiles = 64;

// The most files one process may have open (the hard limit, which the soft one can be
// raised to).
std::uint64_t openFileLimit();

// Raises the limit of open files so that `count` more can be open at once (a set's
// recovery pieces stay open until all are complete); throws RunError when it cannot.
void reserveOpenFiles(std::size_t count);

// Streams length bytes (the longest stream) stripe by stripe: reads every input, computes
// the outputs with the rows (outputs x inputs) and writes them.
void runCode(const std::vector<unsigned char>& rows, std::vector<CodedStream>& inputs,
             std::vector<CodedStream>& outputs, std::uint64_t length,
             const RecoveryOptions& options);

} // namespace parcelo
