#include "xml/xml_error.h"

#include <utility>

namespace parcelo {

XmlError::XmlError(int number, std::string source, std::string description)
    : number_(number), source_(std::move(source)), description_(std::move(description))
{
}

XmlError unexpectedEndOfData(const std::string& source)
{
    return XmlError(xmlerr::kParse, source, "Unexpected end of data");
}

XmlError positionNotFound(const std::string& source)
{
    return XmlError(xmlerr::kSubscriptOutOfRange, source, "Subscript out of range");
}

XmlError keyNotFound(const std::string& source)
{
    return XmlError(xmlerr::kInvalidArgument, source, "Invalid procedure call or argument");
}

XmlError objectNotSet(const std::string& source)
{
    return XmlError(xmlerr::kObjectNotSet, source,
                    "Object variable or With block variable not set");
}

} // namespace parcelo
