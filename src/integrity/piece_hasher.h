#pragma once

#include "platform/file.h"
#include "platform/run_error.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace parcelo {

// Hashes files on a second thread while another thread writes or reads them. The caller
// announces a file with begin(), how far its bytes are in place with advance() (optional)
// and its end with end(); the hasher reads each announced range right behind the copy,
// from the page cache, so hashing overlaps the copy and costs no second pass over the disk.
class PieceHasher {
public:
    struct Digest {
        std::string name;                // as given to begin()
        std::string hex;                 // empty when the file could not be read
        std::optional<RunError> failure; // why it could not
    };

    PieceHasher() = default;
    ~PieceHasher();
    PieceHasher(const PieceHasher&) = delete;
    PieceHasher& operator=(const PieceHasher&) = delete;

    // path: where the bytes are (a temporary name is fine); name: what the digest is for.
    void begin(const std::string& path, const std::string& name);
    void advance(std::uint64_t bytesInPlace);
    void end();
    // Waits until every file begun is hashed (before its medium is changed, say).
    void settle();
    // Waits for every file begun and returns their digests in order; starts over.
    std::vector<Digest> finish();

private:
    struct Job {
        File file; // opened by begin(): the file may be renamed before it is hashed
        Digest digest;
        std::uint64_t ready = 0;
        bool ended = false;
    };
    void work();
    void hash(Job& job);
    bool waitForBytes(Job& job, std::uint64_t hashed, std::uint64_t& ready, bool& ended);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    std::size_t next_ = 0; // the job the worker hashes next
    bool quit_ = false;
    std::thread worker_;
};

} // namespace parcelo
