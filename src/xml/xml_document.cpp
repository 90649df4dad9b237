#include "xml/xml_document.h"

#include "xml/xml_error.h"
#include "xml/xml_scanner.h"

namespace parcelo {

XMLDocument::XMLDocument() : root_(std::make_shared<CXmlElement>()) {}

void XMLDocument::LoadData(const std::string& data, Host* host)
{
    if (data.empty())
        throw XmlError(xmlerr::kEmptyData, "PcxXml", "Unable to Parse Empty Data");
    detail::XmlScanner(data, host, deepestNesting_).parseInto(root_);
}

} // namespace parcelo
