#pragma once

#include "format/file_list.h"
#include "integrity/checksum_file.h"
#include "integrity/join_script.h"
#include "integrity/piece_hasher.h"
#include "platform/bindings.h"
#include "recovery/recovery.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace parcelo {

// The files a split writes beside its pieces, each of which can be turned off.
struct CompanionOptions {
    bool checksums = true;  // NAME.sha256
    bool joinScript = true; // NAME.join.sh and NAME.join.cmd
    // NAME.rec001 ... for a byte set: this many, or this percentage of the piece count
    // (at least one, and at least as many as a set of its size needs); read from the
    // user's text by parseRecoveryChoice (format/split_choices.h).
    int recovery = 0;
    bool recoveryPercent = false;
};

// The recovery pieces the options ask for a set of pieceCount pieces.
int recoveryPiecesFor(const CompanionOptions& options, int pieceCount);
// Throws RunError, stating the limit, when a byte set of pieceCount pieces cannot have
// them: checked before the first piece is written.
void checkRecoveryFor(const CompanionOptions& options, int pieceCount);

// Why the checksum file of a plain set at setBase (a piece's path without its number)
// cannot be written: its name is too long for the folder, or a file of that name there was
// not written by a split. "" when it can. A plain set is known by its checksum file alone,
// so a split into plain pieces is refused before its first piece, and prepareSetCompanions
// fails, when there is such a reason.
std::string plainChecksumProblem(const std::string& setBase);

// What recovery pieces promise, as every front end states it.
extern const char* const kRecoveryPromise;

// How the companions of a set are made: afterStripe keeps a window alive during the
// recovery pieces, which read piece n from piecePaths(n) (the pieces may still be under
// their temporary names) or, where it gives "", from its name.
struct CompanionWork {
    std::function<void()> afterStripe;
    PiecePaths piecePaths;
};

// The companions of a set, complete under temporary names, and a notice for each chosen
// one that was left out: a file of its name that a split did not write is never replaced,
// and a name the folder cannot hold is not tried.
struct PreparedCompanions {
    std::vector<SafeOutput> files;
    std::vector<std::string> notices;
};

// The chosen companions of a finished set for folder (with its trailing separator), for
// the caller to commit once the pieces have their names: the recovery pieces first, so
// that the checksum file lists them. digests are the pieces' in order, named without
// folder. A plain set always gets its checksum file. A failure leaves nothing behind.
PreparedCompanions prepareSetCompanions(const std::string& folder, const JoinScriptSet& set,
                                        const std::vector<PieceHasher::Digest>& digests,
                                        const CompanionOptions& options,
                                        const CompanionWork& work = {});

// Commits the prepared companions of the set at setBase, then removes what an older set
// of the name left that this one did not write anew (removeSetCompanions). When one
// fails, those already committed are removed and the failure is rethrown.
void commitSetCompanions(const std::string& setBase, PreparedCompanions& companions);

// The companions committed, in the order a file list shows them after the pieces: the
// checksum file, the join scripts, then the recovery pieces.
std::vector<std::string> committedCompanions(const PreparedCompanions& companions);

// What a companion of a set is, by its name.
FileRowKind companionKind(const std::string& path);

// Adds a row for each companion (committedCompanions' paths) to a split's file list, with
// its size in the split's display unit.
void listCompanions(Binding* list, const std::vector<std::string>& companions, DisplayUnit& unit);

// "Written: 4 pieces plus data.bin.sha256, 2 recovery pieces and join scripts for
// recipients." for a set and its committed companions; "" when there are none.
std::string writtenSummary(int pieces, const std::vector<std::string>& companions);

// The pieces an older split of the name left beyond the count of a new plain set at
// setBase, which cat NAME.0* would take in: those recognised as Parcelo's by their header,
// or by a line of the older checksum file (read before the new one replaced it) that
// their digest matches, are removed; the names of the others, which stay, are returned.
std::vector<std::string> removeOlderPiecesBeyond(const std::string& setBase, int count,
                                                 const std::optional<ChecksumListing>& older);

// Removes the companions of the set at setBase (a piece's path without its number) that a
// split wrote, recognised by their content: a checksum file that lists only pieces and
// recovery pieces of the name, join scripts with their marker line, recovery pieces by
// their header; those in keep and every other file stay. Nothing on diskettes; failures
// are ignored.
void removeSetCompanions(const std::string& setBase, const std::vector<std::string>& keep = {});

} // namespace parcelo
