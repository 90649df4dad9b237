// Runs the compression component once from the command line, for bench/compress/run.sh:
//   compress_bench compress SOURCE TARGET LEVEL
//   compress_bench decompress SOURCE TARGET
#include "compress/zlib_tool.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    const bool compress = command == "compress" && argc == 5;
    if (!compress && !(command == "decompress" && argc == 4)) {
        std::fprintf(stderr, "usage: compress_bench compress SOURCE TARGET LEVEL\n"
                             "       compress_bench decompress SOURCE TARGET\n");
        return 2;
    }
    parcelo::ZlibTool tool;
    tool.SetSourceFileName(argv[2]);
    tool.SetTargetFileName(argv[3]);
    try {
        if (compress) {
            tool.SetCompressionLevel(std::atoi(argv[4]));
            tool.DoCompress();
        } else {
            tool.DoDecompress();
        }
    } catch (const parcelo::RunError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), e.description().c_str());
        return 1;
    }
    return 0;
}
