#pragma once

#include "integrity/join_script.h"
#include "integrity/piece_hasher.h"

#include <string>
#include <vector>

namespace parcelo {

// The files a split writes beside its pieces, each of which can be turned off.
struct CompanionOptions {
    bool checksums = true;  // NAME.sha256
    bool joinScript = true; // NAME.join.sh and NAME.join.cmd
};

// Writes the chosen companions of a finished set into folder (with its trailing
// separator); digests are the pieces' in order, named without folder.
void writeSetCompanions(const std::string& folder, const JoinScriptSet& set,
                        const std::vector<PieceHasher::Digest>& digests,
                        const CompanionOptions& options);

// Removes the companions of the set at setBase (a piece's path without its number), when
// its pieces are deleted; failures are ignored.
void removeSetCompanions(const std::string& setBase);

} // namespace parcelo
