#include "xml/xml_attribute.h"

namespace parcelo {

std::string CXmlAttribute::Serialize() const
{
    return name_ + "=\"" + value_ + "\"";
}

} // namespace parcelo
