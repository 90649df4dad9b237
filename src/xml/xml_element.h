#pragma once

#include "xml/xml_tag.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace parcelo {

// One element: a start tag (absent until first needed), its child elements in document
// order and its own text. Elements are shared: a node handed out is the node in the tree.
// Positions count from 1; a position or key that is not there throws XmlError.
class CXmlElement {
public:
    CXmlElement() = default;
    ~CXmlElement();
    CXmlElement(const CXmlElement&) = delete;
    CXmlElement& operator=(const CXmlElement&) = delete;

    // The element's own text as the parser gathered it; never serialized.
    const std::string& Text() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }

    // Creates the tag when there is none, then adds the attribute to it (errors as
    // CXmlTag::AppendAttribute). The name keeps the spelling callers know.
    void AppendAtribute(const std::shared_ptr<CXmlAttribute>& attrib);
    // Appends the element, or inserts it in front of the child at position `before`.
    // An element that holds this one cannot become its child.
    void AppendNode(const std::shared_ptr<CXmlElement>& element, std::int32_t before = 0);

    std::int32_t AttributeCount() const { return tag_ ? tag_->AttributeCount() : 0; }
    // The tag's attribute by position or key; none when there is no tag.
    std::shared_ptr<CXmlAttribute> ElementAttribute(std::int32_t position) const;
    std::shared_ptr<CXmlAttribute> ElementAttribute(const std::string& key) const;
    // Does nothing when there is no tag.
    void RemoveAttribute(std::int32_t position);
    void RemoveAttribute(const std::string& key);

    // The tag's name; empty when there is no tag. Setting it creates a start tag.
    std::string Name() const { return tag_ ? tag_->TagType() : std::string(); }
    void SetName(std::string name);

    // The children in order.
    const std::vector<std::shared_ptr<CXmlElement>>& NewEnum() const { return children_; }
    std::shared_ptr<CXmlElement> Node(std::int32_t position) const;
    void RemoveNode(std::int32_t position);

    // The tag, or none.
    const std::shared_ptr<CXmlTag>& Tag() const { return tag_; }

    // The element as text: its tag, then each child after a line feed, then (with
    // children only) a line feed, the end tag and a line feed. A childless element is
    // written as one <name .../> tag. Without a tag: "".
    std::string Serialize() const;

private:
    friend class detail::XmlScanner;

    CXmlTag& ensureTag();
    std::size_t indexOf(std::int32_t position, const char* source) const;
    bool holds(const CXmlElement* target) const;
    std::string openingTag() const;

    std::string text_;
    std::vector<std::shared_ptr<CXmlElement>> children_;
    std::shared_ptr<CXmlTag> tag_;
};

} // namespace parcelo
