#pragma once

#include "xml/xml_element.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace parcelo {

class Host;

namespace detail {

// The byte scanner behind XMLDocument::LoadData. One cursor runs through the data; the
// element and tag loops let the host process events once per byte they consume. Names,
// values and text keep their bytes as they are (UTF-8 passes through unchanged).
class XmlScanner {
public:
    // deepest: the most levels elements may nest (0: no limit).
    XmlScanner(std::string_view data, Host* host, std::size_t deepest = 0)
        : data_(data), host_(host), deepest_(deepest)
    {
    }

    // Reads the first element of the data into `element`, starting at the first byte.
    // Its child list starts empty; its tag and text are kept. Nested elements are
    // followed on an explicit stack, so only `deepest` limits the depth of the document.
    // An XmlError carries the line and column of the byte the scanner stood on.
    void parseInto(const std::shared_ptr<CXmlElement>& element);

private:
    struct Frame {
        std::shared_ptr<CXmlElement> element;
        bool inside = false; // its first "<" has been met
    };

    void scan(const std::shared_ptr<CXmlElement>& element);
    bool atEnd() const { return pos_ >= data_.size(); }
    unsigned char current() const { return static_cast<unsigned char>(data_[pos_]); }
    void advance(); // one byte on, then a turn for the host

    // Each returns true when the element closed was the outermost one.
    bool readTagOfFrame(std::vector<Frame>& frames);
    bool closeElement(std::vector<Frame>& frames);

    std::shared_ptr<CXmlTag> parseTag();
    std::shared_ptr<CXmlAttribute> parseAttribute();
    std::string parseName(bool tagName);
    std::string parseValue();
    std::string decodeEscape();

    std::string_view data_;
    std::size_t pos_ = 0;
    Host* host_;
    std::size_t deepest_;
};

} // namespace detail
} // namespace parcelo
