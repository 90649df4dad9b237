#include "xml/xml_tag.h"

#include "xml/xml_error.h"

#include <algorithm>

namespace parcelo {

namespace {

// Keys match without regard to letter case.
std::string foldKey(std::string key)
{
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return key;
}

} // namespace

void CXmlTag::AppendAttribute(const std::shared_ptr<CXmlAttribute>& attrib)
{
    if (!attrib)
        throw objectNotSet("AppendAttribute");
    std::string key = foldKey(attrib->Name());
    if (!keySet_.insert(key).second)
        throw XmlError(xmlerr::kDuplicateAttribute, "AppendAttribute",
                       "Attempt to Append Duplicate Attribute");
    attributes_.push_back(attrib);
    keys_.push_back(std::move(key));
}

std::size_t CXmlTag::indexOf(std::int32_t position, const char* source) const
{
    if (position < 1 || position > AttributeCount())
        throw positionNotFound(source);
    return static_cast<std::size_t>(position - 1);
}

std::size_t CXmlTag::indexOf(const std::string& key, const char* source) const
{
    const auto at = std::find(keys_.begin(), keys_.end(), foldKey(key));
    if (at == keys_.end())
        throw keyNotFound(source);
    return static_cast<std::size_t>(at - keys_.begin());
}

void CXmlTag::removeAt(std::size_t index)
{
    keySet_.erase(keys_[index]);
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(index));
    attributes_.erase(attributes_.begin() + static_cast<std::ptrdiff_t>(index));
}

void CXmlTag::RemoveAttribute(std::int32_t position)
{
    removeAt(indexOf(position, "RemoveAttribute"));
}

void CXmlTag::RemoveAttribute(const std::string& key)
{
    removeAt(indexOf(key, "RemoveAttribute"));
}

std::shared_ptr<CXmlAttribute> CXmlTag::TagAttribute(std::int32_t position) const
{
    return attributes_[indexOf(position, "TagAttribute")];
}

std::shared_ptr<CXmlAttribute> CXmlTag::TagAttribute(const std::string& key) const
{
    return attributes_[indexOf(key, "TagAttribute")];
}

std::string CXmlTag::Serialize(std::int32_t style) const
{
    if (style != kStartTag && style != kEmptyElementTag)
        return "</" + type_ + ">";
    std::string text = "<" + type_;
    for (const auto& attribute : attributes_) {
        text += ' ';
        text += attribute->Serialize();
    }
    text += style == kEmptyElementTag ? "/>" : ">";
    return text;
}

} // namespace parcelo
