#pragma once

#include "xml/xml_element.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace parcelo {

class Host;

// A document: one root element, created with the document and always the same object.
// Loading gives the root the document's first tag, so after LoadData the root is the
// document element itself. Every member but LoadData works on the root.
class XMLDocument {
public:
    XMLDocument();

    void AppendNode(const std::shared_ptr<CXmlElement>& item) { root_->AppendNode(item); }
    // Parses the first element of data into the root. The scanner lets the host process
    // pending events once per byte; without a host it runs straight through. Throws
    // XmlError with the line and column where the data went wrong; what was built before
    // a failure stays in the document.
    void LoadData(const std::string& data, Host* host = nullptr);
    // The deepest the elements of the data LoadData takes may nest, the document element
    // being level 1; a deeper one fails the load as soon as it is met. 0, the default: no
    // limit.
    void SetDeepestNesting(std::size_t levels) { deepestNesting_ = levels; }
    const std::vector<std::shared_ptr<CXmlElement>>& NewEnum() const { return root_->NewEnum(); }
    std::shared_ptr<CXmlElement> Node(std::int32_t position) const { return root_->Node(position); }
    void RemoveNode(std::int32_t position) { root_->RemoveNode(position); }
    const std::shared_ptr<CXmlElement>& Root() const { return root_; }
    std::string Serialize() const { return root_->Serialize(); }

private:
    std::shared_ptr<CXmlElement> root_;
    std::size_t deepestNesting_ = 0;
};

} // namespace parcelo
