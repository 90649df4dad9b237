#pragma once

#include "integrity/join_script.h"
#include "integrity/piece_hasher.h"

#include <functional>
#include <string>
#include <vector>

namespace parcelo {

// The files a split writes beside its pieces, each of which can be turned off.
struct CompanionOptions {
    bool checksums = true;  // NAME.sha256
    bool joinScript = true; // NAME.join.sh and NAME.join.cmd
    // NAME.rec001 ... for a byte set: this many, or this percentage of the piece count
    // (at least one, and at least as many as a set of its size needs).
    int recovery = 0;
    bool recoveryPercent = false;
};

// The recovery pieces the options ask for a set of pieceCount pieces.
int recoveryPiecesFor(const CompanionOptions& options, int pieceCount);

// Reads "N" or "N%" (N from 0 to the most pieces a set has; a percentage up to 100) into
// options.recovery and options.recoveryPercent; false, leaving options as they were, else.
bool parseRecoveryText(std::string text, CompanionOptions& options);

// What recovery pieces promise, as every front end states it.
extern const char* const kRecoveryPromise;

// Writes the chosen companions of a finished set (recovery pieces first, so that the
// checksum file lists them) into folder (with its trailing
// separator); digests are the pieces' in order, named without folder.
void writeSetCompanions(const std::string& folder, const JoinScriptSet& set,
                        const std::vector<PieceHasher::Digest>& digests,
                        const CompanionOptions& options,
                        const std::function<void()>& afterStripe = {});

// Removes the companions of the set at setBase (a piece's path without its number), when
// its pieces are deleted; failures are ignored.
void removeSetCompanions(const std::string& setBase);

} // namespace parcelo
