#include "assembler/assembler_values.h"

#include "ui/web_links.h"

namespace parcelo::assembler {

AssemblerValues assemblerValues()
{
    AssemblerValues values;
    values.ProductWebPage = makerSiteAddress(values.MakerWebPage, "/m/Info/Parcelo.asp");
    values.SupportWebPage = makerSiteAddress(values.MakerWebPage, "/m/CServ/CSupport.asp");
    return values;
}

} // namespace parcelo::assembler
