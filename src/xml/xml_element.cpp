#include "xml/xml_element.h"

#include "xml/xml_error.h"

#include <unordered_set>

namespace parcelo {

CXmlElement::~CXmlElement()
{
    // Deep trees are taken apart level by level instead of by nested destructors.
    std::vector<std::shared_ptr<CXmlElement>> pending = std::move(children_);
    while (!pending.empty()) {
        std::shared_ptr<CXmlElement> next = std::move(pending.back());
        pending.pop_back();
        if (next.use_count() == 1) {
            for (auto& child : next->children_)
                pending.push_back(std::move(child));
            next->children_.clear();
        }
    }
}

CXmlTag& CXmlElement::ensureTag()
{
    if (!tag_)
        tag_ = std::make_shared<CXmlTag>();
    return *tag_;
}

void CXmlElement::AppendAtribute(const std::shared_ptr<CXmlAttribute>& attrib)
{
    ensureTag().AppendAttribute(attrib);
}

void CXmlElement::SetName(std::string name)
{
    ensureTag().SetTagType(std::move(name));
}

std::size_t CXmlElement::indexOf(std::int32_t position, const char* source) const
{
    if (position < 1 || static_cast<std::size_t>(position) > children_.size())
        throw positionNotFound(source);
    return static_cast<std::size_t>(position - 1);
}

bool CXmlElement::holds(const CXmlElement* target) const
{
    std::unordered_set<const CXmlElement*> seen{this};
    std::vector<const CXmlElement*> pending{this};
    while (!pending.empty()) {
        const CXmlElement* next = pending.back();
        pending.pop_back();
        if (next == target)
            return true;
        for (const auto& child : next->children_)
            if (seen.insert(child.get()).second)
                pending.push_back(child.get());
    }
    return false;
}

void CXmlElement::AppendNode(const std::shared_ptr<CXmlElement>& element, std::int32_t before)
{
    if (!element)
        throw objectNotSet("AppendNode");
    if (element->holds(this))
        throw XmlError(xmlerr::kInvalidArgument, "AppendNode",
                       "An element cannot be placed inside itself");
    if (before == 0) {
        children_.push_back(element);
        return;
    }
    const auto at = indexOf(before, "AppendNode");
    children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(at), element);
}

std::shared_ptr<CXmlAttribute> CXmlElement::ElementAttribute(std::int32_t position) const
{
    return tag_ ? tag_->TagAttribute(position) : nullptr;
}

std::shared_ptr<CXmlAttribute> CXmlElement::ElementAttribute(const std::string& key) const
{
    return tag_ ? tag_->TagAttribute(key) : nullptr;
}

void CXmlElement::RemoveAttribute(std::int32_t position)
{
    if (tag_)
        tag_->RemoveAttribute(position);
}

void CXmlElement::RemoveAttribute(const std::string& key)
{
    if (tag_)
        tag_->RemoveAttribute(key);
}

std::shared_ptr<CXmlElement> CXmlElement::Node(std::int32_t position) const
{
    return children_[indexOf(position, "Node")];
}

void CXmlElement::RemoveNode(std::int32_t position)
{
    children_.erase(children_.begin()
                    + static_cast<std::ptrdiff_t>(indexOf(position, "RemoveNode")));
}

// The tag an element opens with: an element without children is closed in its own tag,
// so that what is written always loads back.
std::string CXmlElement::openingTag() const
{
    return tag_->Serialize(children_.empty() ? kEmptyElementTag : kStartTag);
}

std::string CXmlElement::Serialize() const
{
    std::string out;
    if (!tag_)
        return out;
    // Written without recursion, so that the depth of a tree has no limit.
    struct Frame {
        const CXmlElement* element;
        std::size_t next;
    };
    out += openingTag();
    std::vector<Frame> frames{{this, 0}};
    while (!frames.empty()) {
        Frame& frame = frames.back();
        const CXmlElement& element = *frame.element;
        if (frame.next < element.children_.size()) {
            const CXmlElement& child = *element.children_[frame.next++];
            out += '\n';
            if (child.tag_) {
                out += child.openingTag();
                frames.push_back({&child, 0});
            }
            continue;
        }
        if (!element.children_.empty()) {
            out += '\n';
            out += element.tag_->Serialize(kEndTag);
            out += '\n';
        }
        frames.pop_back();
    }
    return out;
}

} // namespace parcelo
