#include "xml/xml_scanner.h"

#include "platform/host.h"
#include "xml/xml_error.h"

#include <algorithm>
#include <vector>

namespace parcelo::detail {

namespace {

bool isWhitespace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isLetter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isNameStart(unsigned char c)
{
    return isLetter(c) || c == '_' || c == ':';
}

bool isNameCharacter(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == 0xB7 || (c >= 0xC0 && c <= 0xD6)
           || (c >= 0xD8 && c <= 0xF6) || c >= 0xF8;
}

bool isNameSeparator(unsigned char c)
{
    return c == ';' || c == '=' || isWhitespace(c);
}

bool isNameTerminator(unsigned char c)
{
    return c == '>' || c == '\'' || c == '"';
}

void stripTrailingWhitespace(std::string& text)
{
    while (!text.empty() && isWhitespace(static_cast<unsigned char>(text.back())))
        text.pop_back();
}

XmlError runPastEnd(const CXmlElement& element)
{
    if (!element.Tag())
        return XmlError(xmlerr::kParse, "Parse", "No start tag found in the data");
    return XmlError(xmlerr::kParse, "Parse", "Missing closing tag </" + element.Name() + ">");
}

} // namespace

void XmlScanner::advance()
{
    ++pos_;
    if (host_)
        host_->processEvents();
}

void XmlScanner::parseInto(const std::shared_ptr<CXmlElement>& element)
{
    try {
        scan(element);
    } catch (XmlError& error) {
        const std::string_view before = data_.substr(0, std::min(pos_, data_.size()));
        const std::size_t lineStart = before.rfind('\n');
        const std::size_t column =
            lineStart == std::string_view::npos ? before.size() : before.size() - lineStart - 1;
        error.setPosition(
            1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')),
            column + 1);
        throw;
    }
}

void XmlScanner::scan(const std::shared_ptr<CXmlElement>& element)
{
    element->children_.clear();
    std::vector<Frame> frames{{element}};
    for (;;) {
        Frame& frame = frames.back();
        CXmlElement& current = *frame.element;
        if (atEnd())
            throw runPastEnd(current);
        const unsigned char c = this->current();
        if (c == '<') {
            if (frame.inside)
                stripTrailingWhitespace(current.text_);
            frame.inside = true;
            if (readTagOfFrame(frames))
                return;
            continue;
        }
        if (c == '&' && frame.inside)
            current.text_ += decodeEscape();
        else if (c != '&' && frame.inside)
            current.text_ += static_cast<char>(c);
        advance();
    }
}

// The cursor is on a "<" met by the element on top of the stack. Either the element takes
// the tag as its own, or the tag closes it, or a child element is opened there.
bool XmlScanner::readTagOfFrame(std::vector<Frame>& frames)
{
    CXmlElement& current = *frames.back().element;
    const std::size_t start = pos_;
    std::shared_ptr<CXmlTag> tag = parseTag();
    if (!current.tag_) {
        if (tag->style_ != kEndTag) // an end tag before any start tag is dropped
            current.tag_ = std::move(tag);
        if (current.tag_ && current.tag_->style_ == kEmptyElementTag)
            return closeElement(frames);
        advance();
        return false;
    }
    if (tag->style_ == kEndTag) // closes the element, whatever name it carries
        return closeElement(frames);
    pos_ = start; // the child reads this tag again as its own start tag
    if (deepest_ != 0 && frames.size() >= deepest_)
        throw XmlError(xmlerr::kParse, "Parse",
                       "Elements nested deeper than " + std::to_string(deepest_) + " levels");
    frames.push_back({std::make_shared<CXmlElement>()});
    return false;
}

bool XmlScanner::closeElement(std::vector<Frame>& frames)
{
    std::shared_ptr<CXmlElement> done = std::move(frames.back().element);
    frames.pop_back();
    if (frames.empty())
        return true;
    frames.back().element->children_.push_back(std::move(done));
    advance();
    return false;
}

// The cursor is on "<"; it ends on the tag's ">".
std::shared_ptr<CXmlTag> XmlScanner::parseTag()
{
    auto tag = std::make_shared<CXmlTag>();
    ++pos_;
    for (;;) {
        if (atEnd())
            throw unexpectedEndOfData("Parse");
        const unsigned char c = current();
        if (c == '>')
            return tag;
        if (c == '/') {
            if (data_[pos_ - 1] == '<')
                tag->style_ = kEndTag;
            else if (pos_ + 1 >= data_.size())
                return tag; // the look past the end stops the tag; the element reports it
            else if (data_[pos_ + 1] == '>')
                tag->style_ = kEmptyElementTag;
        } else if (isNameStart(c)) {
            if (tag->type_.empty())
                tag->type_ = parseName(true);
            else
                tag->AppendAttribute(parseAttribute());
            --pos_; // the byte that ended the name or attribute is looked at again
        }
        advance();
    }
}

// The cursor is on the first byte of the name; it ends on the value's closing quote. The
// search for the value does not stop at ">".
std::shared_ptr<CXmlAttribute> XmlScanner::parseAttribute()
{
    auto attribute = std::make_shared<CXmlAttribute>();
    for (;;) {
        if (atEnd())
            throw unexpectedEndOfData("Parse");
        const unsigned char c = current();
        if (isNameStart(c)) {
            attribute->SetName(parseName(false));
            --pos_;
        } else if (c == '"' || c == '\'') {
            attribute->SetValue(parseValue());
            return attribute;
        }
        ++pos_;
    }
}

// The cursor is on a name-start byte; it ends on the byte after the name. A separator ends
// the name at the next name character; bytes of no class are taken in even after it. In a
// tag's name a "/" ends the name too, so that <e/> names e.
std::string XmlScanner::parseName(bool tagName)
{
    std::string name;
    bool ended = false;
    for (;;) {
        if (atEnd())
            throw unexpectedEndOfData("ParseName");
        const unsigned char c = current();
        if (isNameSeparator(c)) {
            ended = true;
            ++pos_;
        } else if (isNameTerminator(c) || (tagName && c == '/') || (ended && isNameCharacter(c))) {
            return name;
        } else {
            name += static_cast<char>(c);
            ++pos_;
        }
    }
}

// The cursor is on the opening quote; it ends on the closing one. Nothing is decoded.
std::string XmlScanner::parseValue()
{
    const char quote = data_[pos_];
    const std::size_t end = data_.find(quote, pos_ + 1);
    if (end == std::string_view::npos) {
        pos_ = data_.size();
        throw unexpectedEndOfData("ParseValue");
    }
    std::string value(data_.substr(pos_ + 1, end - pos_ - 1));
    pos_ = end;
    return value;
}

// The cursor is on "&"; it ends on the next ";".
std::string XmlScanner::decodeEscape()
{
    const std::size_t end = data_.find(';', pos_ + 1);
    if (end == std::string_view::npos) {
        pos_ = data_.size();
        throw unexpectedEndOfData("DecodeEscape");
    }
    const std::string_view name = data_.substr(pos_ + 1, end - pos_ - 1);
    pos_ = end;
    if (name == "amp")
        return "&";
    if (name == "apos")
        return "'";
    if (name == "lt")
        return "<";
    if (name == "gt")
        return ">";
    if (name == "quot")
        return "\"";
    if (!name.empty() && name[0] == '#') // the digits themselves, not the character
        return std::string(name.substr(name.size() > 1 && name[1] == 'x' ? 2 : 1));
    return {};
}

} // namespace parcelo::detail
