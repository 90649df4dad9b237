#include "xml/xml_attribute.h"

namespace parcelo {

std::string CXmlAttribute::Serialize() const
{
    // Values are written as they are: one holding a double quote goes in single quotes.
    const bool single =
        value_.find('"') != std::string::npos && value_.find('\'') == std::string::npos;
    const char quote = single ? '\'' : '"';
    return name_ + "=" + quote + value_ + quote;
}

} // namespace parcelo
