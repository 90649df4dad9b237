// Loads any bytes as a document (with a depth limit too), writes the tree out and loads
// that again. Parse errors are expected; crashes, hangs, leaks and undefined behaviour are not. A
// tree that the writer can express (named tags, childless elements in the empty-element style, no
// double quote in a value, no name ending in "<") must come back alike.
#include "platform/host.h"
#include "xml/xml_document.h"
#include "xml/xml_error.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace parcelo;

class CountingHost : public Host {
public:
    void processEvents() override { ++events; }
    long events = 0;

protected:
    Answer showMessage(Question, const std::string&, Buttons, Icon, const std::string&) override
    {
        std::abort(); // the parser never asks anything
    }
};

bool writesBackAlike(const CXmlElement& root)
{
    std::vector<const CXmlElement*> pending{&root};
    while (!pending.empty()) {
        const CXmlElement& element = *pending.back();
        pending.pop_back();
        // A nameless tag is written "</>"; a name ending in "<" before "/>" reads as "</".
        if (!element.Tag() || element.Name().empty() || element.Name().back() == '<')
            return false;
        // A value holding both quote characters cannot be written within either.
        for (const auto& attribute : element.Tag()->NewEnum())
            if (attribute->Value().find('"') != std::string::npos
                && attribute->Value().find('\'') != std::string::npos)
                return false;
        for (const auto& child : element.NewEnum())
            pending.push_back(child.get());
    }
    return true;
}

bool sameTag(const CXmlElement& a, const CXmlElement& b)
{
    if (a.Name() != b.Name() || a.AttributeCount() != b.AttributeCount())
        return false;
    for (std::int32_t i = 1; i <= a.AttributeCount(); ++i) {
        const auto& x = *a.ElementAttribute(i);
        const auto& y = *b.ElementAttribute(i);
        if (x.Name() != y.Name() || x.Value() != y.Value())
            return false;
    }
    return true;
}

bool sameTree(const CXmlElement& first, const CXmlElement& second)
{
    std::vector<std::pair<const CXmlElement*, const CXmlElement*>> pending{{&first, &second}};
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        if (!sameTag(*a, *b) || a->NewEnum().size() != b->NewEnum().size())
            return false;
        for (std::size_t i = 0; i < a->NewEnum().size(); ++i)
            pending.emplace_back(a->NewEnum()[i].get(), b->NewEnum()[i].get());
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CountingHost host;
    // Loaded as the configuration is, with a depth limit: what loads so loads alike without.
    XMLDocument limited;
    limited.SetDeepestNesting(4);
    bool limitedLoaded = true;
    try {
        limited.LoadData(text);
    } catch (const XmlError& error) {
        if (error.number() == xmlerr::kParse && (error.line() == 0 || error.column() == 0))
            std::abort(); // a parse error always tells where
        limitedLoaded = false;
    }
    XMLDocument first;
    try {
        first.LoadData(text, &host);
    } catch (const XmlError&) {
        if (limitedLoaded)
            std::abort();
        return 0;
    }
    if (limitedLoaded && limited.Serialize() != first.Serialize())
        std::abort();
    const std::string written = first.Serialize();
    const bool mustMatch = writesBackAlike(*first.Root());
    XMLDocument second;
    try {
        second.LoadData(written);
    } catch (const XmlError&) {
        if (mustMatch)
            std::abort();
        return 0;
    }
    if (mustMatch && (!sameTree(*first.Root(), *second.Root()) || second.Serialize() != written))
        std::abort();
    return 0;
}
