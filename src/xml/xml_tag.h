#pragma once

#include "xml/xml_attribute.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace parcelo {

namespace detail {
class XmlScanner;
}

// The styles of a tag.
inline constexpr std::int32_t kStartTag = 0;        // <name ...>
inline constexpr std::int32_t kEndTag = 1;          // </name>
inline constexpr std::int32_t kEmptyElementTag = 2; // <name .../>

// The start tag of an element: its name, its style and its attributes. Attributes are
// kept in the order of adding, each under the key its name had when it was added; keys
// are compared without regard to letter case. Positions count from 1.
class CXmlTag {
public:
    // Adds the attribute at the end under the key attrib->Name(). Throws XmlError:
    // kDuplicateAttribute when the key is taken, kObjectNotSet without an attribute.
    void AppendAttribute(const std::shared_ptr<CXmlAttribute>& attrib);
    std::int32_t AttributeCount() const { return static_cast<std::int32_t>(attributes_.size()); }
    // The attributes in order.
    const std::vector<std::shared_ptr<CXmlAttribute>>& NewEnum() const { return attributes_; }
    // Remove or find by position (1-based) or by key; a missing one throws XmlError.
    void RemoveAttribute(std::int32_t position);
    void RemoveAttribute(const std::string& key);
    std::shared_ptr<CXmlAttribute> TagAttribute(std::int32_t position) const;
    std::shared_ptr<CXmlAttribute> TagAttribute(const std::string& key) const;

    std::int32_t TagStyle() const { return style_; }
    const std::string& TagType() const { return type_; }
    void SetTagType(std::string type) { type_ = std::move(type); }

    // The tag written in the given style: <name a="v"> for kStartTag, <name a="v"/> for
    // kEmptyElementTag, </name> for any other.
    std::string Serialize(std::int32_t style) const;

private:
    friend class detail::XmlScanner;

    std::size_t indexOf(std::int32_t position, const char* source) const;
    std::size_t indexOf(const std::string& key, const char* source) const;
    void removeAt(std::size_t index);

    std::int32_t style_ = kStartTag;
    std::string type_;
    std::vector<std::shared_ptr<CXmlAttribute>> attributes_;
    std::vector<std::string> keys_; // folded keys, one per attribute
    std::unordered_set<std::string> keySet_;
};

} // namespace parcelo
