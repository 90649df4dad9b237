#pragma once

#include "scripted_host.h"

#include "platform/file.h"
#include "platform/piece_workers.h"
#include "platform/stop_token.h"

#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace parcelo::test {

// Writes fail after failAfter bytes (0: never), only those into files whose path holds
// pathPart when it is given; a stop comes at the stopAt-th event (0: never), and each
// message lifts the write fault when clearsFault: a user who makes room on the disk before
// pressing OK.
struct Fault {
    std::uint64_t failAfter = 0;
    int osError = ENOSPC;
    long stopAt = 0;
    bool clearsFault = false;
    std::string pathPart = {};
};

// Every job run while it lives gets this many workers (1: the job's own thread only).
struct ForcedWorkers {
    explicit ForcedWorkers(int count) { PieceWorkers::forceCount(count); }
    ~ForcedWorkers() { PieceWorkers::forceCount(std::nullopt); }
    ForcedWorkers(const ForcedWorkers&) = delete;
    ForcedWorkers& operator=(const ForcedWorkers&) = delete;
};

using Answers = std::vector<std::tuple<Question, Answer, std::string>>;

// A scripted host that brings a fault about; the fault and the stop end with it.
class FaultHost : public ScriptedHost {
public:
    ~FaultHost() override
    {
        faults::clearWriteFault();
        jobStop().reset();
    }
    // Replaces any earlier fault and stop; events count from here.
    FaultHost& cause(const Fault& fault)
    {
        faults::clearWriteFault();
        jobStop().reset();
        eventsProcessed = 0;
        if ((fault_ = fault).failAfter > 0)
            faults::failWritesAfter(fault.failAfter, fault.osError, fault.pathPart);
        return *this;
    }
    FaultHost& say(const Answers& answers)
    {
        for (const auto& [kind, reply, text] : answers)
            answer(kind, reply, text);
        return *this;
    }
    void processEvents() override
    {
        if (++eventsProcessed == fault_.stopAt)
            jobStop().request();
        if (onEvent)
            onEvent();
    }

    std::function<void()> onEvent; // runs within each event: another job started meanwhile

protected:
    Answer showMessage(Question kind, const std::string& text, Buttons buttons, Icon icon,
                       const std::string& title) override
    {
        if (fault_.clearsFault)
            faults::clearWriteFault();
        return ScriptedHost::showMessage(kind, text, buttons, icon, title);
    }

private:
    Fault fault_;
};

} // namespace parcelo::test
