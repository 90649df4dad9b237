#include "ui/assembler_instructions.h"

#include "ui/web_links.h"

namespace parcelo {

std::vector<std::string> assemblerInstructionLines(const std::string& makerWebPage)
{
    return {
        std::string("1. Copy ") + kAssemblerProgram
            + " to the folder where split files are saved and execute it from this location.",
        "2. Alternatively, (ignore the error message at startup) simply specify the location of "
        "the split files and the destination folder of the assembed file and click on join.",
        "3. Make sure that all the split files are in the same folder. If the split files are on "
        "floppy disks, make sure you have all the disks; you will be prompted to insert all the "
        "disks.",
        std::string("4. Any questions, comments or suggestions, please contact ") + kSupportEmail
            + " or visit us at " + makerWebPage,
        "5. To join without installing anything, run the join script that came with the pieces "
        "in their folder: sh NAME.join.sh on Linux or macOS, NAME.join.cmd on Windows (NAME is "
        "the joined file's name). It checks the pieces against NAME.sha256 before it joins them.",
    };
}

std::string assemblerNote(const std::string& makerWebPage)
{
    return "Note: Parcelo Assembler will not be able to decompress the file created after joining "
           "files (if it had been compressed before splitting). You can do this free of charge "
           "with the complete version of Parcelo. Download complete Parcelo from "
           + makerWebPage + ".";
}

} // namespace parcelo
