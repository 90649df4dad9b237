// Creates recovery pieces for a byte set, or rebuilds its lost files, for bench/recovery.
//   recovery_bench create BASE R
//   recovery_bench repair BASE
#include "recovery/recovery.h"

#include "platform/run_error.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    using namespace parcelo;
    try {
        if (argc == 4 && std::strcmp(argv[1], "create") == 0) {
            createRecoveryPieces(argv[2], std::stoi(argv[3]), newSetIdentifier());
            return 0;
        }
        if (argc == 3 && std::strcmp(argv[1], "repair") == 0) {
            const SetCondition condition = examineSet(argv[2]);
            const auto rebuilt = repairSet(argv[2], condition);
            std::printf("%zu files rebuilt\n", rebuilt.size());
            return 0;
        }
        std::fprintf(stderr, "usage: recovery_bench create BASE R | repair BASE\n");
        return 2;
    } catch (const RunError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
