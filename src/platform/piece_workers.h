#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace parcelo {

// Runs a job's numbered pieces on worker threads, at most one piece per worker at a time,
// while the job's own thread hands them out and keeps talking to the user (events,
// progress, questions) between the steps. Workers never talk to the user: a piece that
// fails hands its exception back, and the job's thread rethrows it once every piece still
// running has ended, the lowest-numbered failure first, so that a job ends as it would on
// one thread. Pieces numbered above a failed one are abandoned.
class PieceWorkers {
public:
    // What a piece's job sees of the workers.
    class Piece {
    public:
        // Counts bytes done; throws JobStopped when the job is to stop or the piece is
        // abandoned.
        void advance(std::uint64_t bytes);

    private:
        friend class PieceWorkers;
        Piece(PieceWorkers& workers, int number) : workers_(workers), number_(number) {}
        PieceWorkers& workers_;
        int number_;
    };
    using Job = std::function<void(Piece&)>;
    // Runs on the job's thread while it waits: shows progress, handles events, checks for
    // a stop (it may throw).
    using Idle = std::function<void()>;

    // The workers a job of pieces gets: as many as the machine has cores, at most two and at
    // most the pieces.
    static int countFor(int pieces);
    // For tests: every job gets this many workers (1: the job runs on its own thread);
    // std::nullopt restores the normal choice.
    static void forceCount(std::optional<int> count);

    explicit PieceWorkers(int count) : count_(count) {}
    ~PieceWorkers(); // abandons what still runs and waits for it
    PieceWorkers(const PieceWorkers&) = delete;
    PieceWorkers& operator=(const PieceWorkers&) = delete;

    // Waits, calling idle, until a worker is free; false when a piece has failed (no more
    // are to start).
    bool waitForWorker(const Idle& idle);
    // Starts piece number (numbers rise from 1) on a free worker.
    void start(int number, Job job);
    // Waits, calling idle, until every piece started has ended. Returns the number of the
    // lowest-numbered piece that failed, 0 when none did: the caller drops the pieces after
    // it, then calls rethrowFailure, which throws that piece's failure.
    int waitForAll(const Idle& idle);
    void rethrowFailure();

    // The bytes every piece has counted so far, and the pieces 1 to N that have ended.
    std::uint64_t bytesDone() const;
    int piecesDone() const;

private:
    void work();
    void run(int number, const Job& job);
    bool abandoned(int number) const;
    void waitWhile(const Idle& idle, const std::function<bool()>& busy);

    const int count_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> threads_;
    std::deque<std::pair<int, Job>> queue_;
    int running_ = 0;
    bool quit_ = false;
    int abandonAbove_ = 0;                       // 0: none abandoned
    std::map<int, std::exception_ptr> failures_; // by piece number
    std::vector<bool> done_;                     // by piece number - 1
    std::uint64_t bytes_ = 0;
};

} // namespace parcelo
