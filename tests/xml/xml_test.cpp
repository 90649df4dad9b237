#include "xml/xml_document.h"
#include "xml/xml_error.h"

#include "scripted_host.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace parcelo;

namespace {

std::shared_ptr<CXmlAttribute> attribute(const std::string& name, const std::string& value = {})
{
    auto made = std::make_shared<CXmlAttribute>();
    made->SetName(name);
    made->SetValue(value);
    return made;
}

std::shared_ptr<CXmlElement> element(const std::string& name)
{
    auto made = std::make_shared<CXmlElement>();
    made->SetName(name);
    return made;
}

const auto errorOf = test::runErrorOf<XmlError>;

// "number source: description" of the error raised by loading the text.
std::string loadError(const std::string& text)
{
    XMLDocument document;
    try {
        document.LoadData(text);
    } catch (const XmlError& error) {
        return std::to_string(error.number()) + " " + error.source() + ": " + error.description();
    }
    return "loaded";
}

} // namespace

TEST(XmlNodes, KeysIgnoreCaseAndAreFixedWhenAddedPositionsCountFromOneNodesAreShared)
{
    CXmlTag tag;
    tag.AppendAttribute(attribute("a", "1")); // a duplicate: see the parser's errors
    EXPECT_EQ(errorOf([&] { tag.AppendAttribute(nullptr); }), xmlerr::kObjectNotSet);

    auto size = attribute("Size", "9");
    tag.AppendAttribute(size);
    EXPECT_EQ(tag.TagAttribute("size"), size);
    size->SetName("Width"); // the key stays "Size"
    EXPECT_EQ(tag.TagAttribute("SIZE"), size);
    EXPECT_EQ(errorOf([&] { tag.TagAttribute("width"); }), xmlerr::kInvalidArgument);
    EXPECT_EQ(errorOf([&] { tag.AppendAttribute(attribute("size")); }),
              xmlerr::kDuplicateAttribute);

    tag.RemoveAttribute("sIZE"); // frees the key
    tag.AppendAttribute(attribute("size"));
    tag.RemoveAttribute(1);
    EXPECT_EQ(tag.TagAttribute(1)->Name(), "size");
    EXPECT_EQ(errorOf([&] { tag.TagAttribute(2); }), xmlerr::kSubscriptOutOfRange);

    // child positions count from one
    CXmlElement parent;
    parent.RemoveAttribute(1); // nothing to remove: no error
    EXPECT_EQ(parent.ElementAttribute(1), nullptr);
    parent.AppendAtribute(attribute("k", "v")); // no name yet, attributes all the same
    EXPECT_EQ(parent.AttributeCount(), 1);
    auto first = element("first");
    auto second = element("second");
    parent.AppendNode(first);
    parent.AppendNode(second);
    auto inserted = element("inserted");
    parent.AppendNode(inserted, 1);
    EXPECT_EQ(parent.Node(1), inserted);
    EXPECT_EQ(parent.Node(2), first);
    for (int missing : {0, 4})
        EXPECT_EQ(errorOf([&] { parent.Node(missing); }), xmlerr::kSubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { parent.AppendNode(element("x"), 4); }), xmlerr::kSubscriptOutOfRange);
    parent.RemoveNode(1);
    EXPECT_EQ(parent.Node(1), first);

    // nodes are shared and never contain themselves
    XMLDocument document;
    document.Root()->SetName("r");
    document.AppendNode(element("a"));
    document.Node(1)->AppendAtribute(attribute("k", "old"));
    document.Root()->Node(1)->ElementAttribute("k")->SetValue("new");
    EXPECT_EQ(document.Serialize(), "<r>\n<a k=\"new\"/>\n</r>\n");

    auto child = document.Node(1);
    EXPECT_EQ(errorOf([&] { child->AppendNode(child); }), xmlerr::kInvalidArgument);
    EXPECT_EQ(errorOf([&] { child->AppendNode(document.Root()); }), xmlerr::kInvalidArgument);
    document.AppendNode(child); // twice in one tree is no loop
    EXPECT_EQ(document.NewEnum().size(), 2u);
}

// Names end at blanks and "=", a tag name also at a slash. Text is never written, values
// are not escaped (a double quote in one picks single quotes), a childless element closes
// itself.
TEST(XmlSerializer, WritesTagsOnlyOnePerLine)
{
    XMLDocument document;
    document.LoadData("<r>never written<e/><f /><a-b.c k = 'x' l\t=\"y\"/><g/h='1'/>"
                      "<b><c q='say \"<&>\"'/></b></r>");
    EXPECT_EQ(document.Serialize(), "<r>\n<e/>\n<f/>\n<a-b.c k=\"x\" l=\"y\"/>\n<g h=\"1\"/>\n"
                                    "<b>\n<c q='say \"<&>\"'/>\n</b>\n\n</r>\n");
    EXPECT_EQ(document.Root()->Text(), "never written");
    EXPECT_EQ(document.Node(4)->Tag()->TagStyle(), kEmptyElementTag);

    XMLDocument unnamed; // no tag: nothing, not even the children
    unnamed.AppendNode(element("child"));
    EXPECT_EQ(unnamed.Serialize(), "");
}

TEST(XmlParser, ReadsTheFirstElementWithAttributesChildrenAndEntities)
{
    XMLDocument document;
    document.LoadData("ignored <a x='1' y=\"2\">\n  <b k='v'/>\n</a> and <after/>");
    const auto root = document.Root();
    EXPECT_EQ(root->Name(), "a");
    EXPECT_EQ(root->Text(), ""); // the whitespace before each tag is stripped
    ASSERT_EQ(root->AttributeCount(), 2);
    EXPECT_EQ(root->ElementAttribute(2)->Value(), "2");
    EXPECT_EQ(document.NewEnum().size(), 1u);

    XMLDocument crossed; // end tags close what they meet, whatever their name
    crossed.LoadData("<a><b></a></b>");
    ASSERT_EQ(crossed.NewEnum().size(), 1u);
    EXPECT_EQ(crossed.Node(1)->Name(), "b");

    test::ScriptedHost host; // runs at least once for every byte of text
    XMLDocument text;
    text.LoadData("<a>" + std::string(5000, 'x') + "</a>", &host);
    EXPECT_EQ(text.Root()->Text(), std::string(5000, 'x'));
    EXPECT_GE(host.eventsProcessed, 5000);

    XMLDocument again; // a second load adds to the old root
    again.LoadData("<old><gone/></old>");
    again.LoadData("<new/></any>");
    EXPECT_EQ(again.Root()->Name(), "old");
    EXPECT_EQ(again.Node(1)->Name(), "new");

    XMLDocument entities; // decoded in text, never in values
    entities.LoadData("<a>  hi &lt;there&gt; &amp; &#65; &#x41; &bogus;<b/>&apos;&quot; </a>");
    EXPECT_EQ(entities.Root()->Text(), "  hi <there> & 65 41'\"");

    XMLDocument values;
    values.LoadData("<a v='&amp;' w='say \"hi\"' u= x=\"1\"/>");
    EXPECT_EQ(values.Root()->ElementAttribute("v")->Value(), "&amp;");
    // u has no quoted value: the attribute takes the next quoted run and x as its name
    EXPECT_EQ(values.Root()->ElementAttribute(3)->Name(), "x");
    EXPECT_EQ(values.Serialize(), "<a v=\"&amp;\" w='say \"hi\"' x=\"1\"/>");
}

TEST(XmlParser, RaisesItsOwnErrors)
{
    EXPECT_EQ(loadError(""), "-2147221491 PcxXml: Unable to Parse Empty Data");
    const std::pair<const char*, const char*> cases[] = {
        {"<a><b k='1'/>", "Parse: Missing closing tag </a>"},
        {"<a><b>text", "Parse: Missing closing tag </b>"},
        {"<?xml version='1.0'?>\n<r/>", "Parse: Missing closing tag </xml>"},
        {"<a x='1", "ParseValue: Unexpected end of data"},
        {"<a b=", "ParseName: Unexpected end of data"},
        {"<a b='1' ", "Parse: Unexpected end of data"},
        {"<a b>", "Parse: Unexpected end of data"},
        {"<a>&amp", "DecodeEscape: Unexpected end of data"},
        {"plain text", "Parse: No start tag found in the data"},
        {"</a></b> only end tags", "Parse: No start tag found in the data"},
    };
    for (const auto& [text, error] : cases)
        EXPECT_EQ(loadError(text), std::string("-2147221495 ") + error) << text;
    for (const char* twice : {"<a x='1' x='2'/>", "<a x='1' X='2'/>"})
        EXPECT_EQ(loadError(twice), "-2147221047 AppendAttribute: Attempt to Append Duplicate "
                                    "Attribute");

    XMLDocument declared; // what was built before the failure stays
    EXPECT_THROW(declared.LoadData("<?xml version='1.0'?><r/>"), XmlError);
    EXPECT_EQ(declared.Root()->Name(), "xml");
    EXPECT_EQ(declared.Root()->ElementAttribute(1)->Name(), "version");
}

TEST(XmlParser, ItsOwnOutputLoadsBackAlike)
{
    XMLDocument first;
    first.LoadData("<config a=\"1\" b=''>\n"
                   "  <first x=\"http://h.example/p?q=1&amp;r\" y=\"it's\"/>\n"
                   "  <second><inner/><inner k='1' /></second>\n"
                   "  <näme k=\"ü\"/>\n"
                   "  <Deletion a='1' q='say \"hi\"'></Deletion>\n"
                   "</config>");
    const std::string written = first.Serialize();
    XMLDocument second;
    second.LoadData(written);
    EXPECT_EQ(second.Node(3)->Name(), "näme");
    EXPECT_EQ(second.Node(2)->Node(2)->ElementAttribute("k")->Value(), "1");
    EXPECT_EQ(second.Node(4)->ElementAttribute("q")->Value(), "say \"hi\"");
    EXPECT_EQ(second.Serialize(), written);
}

// Only the document's own limit bounds its depth; a deeper element is refused where it
// stands.
TEST(XmlParser, DepthOfTheDocumentHasNoLimitButItsOwn)
{
    const auto nested = [](std::size_t depth) {
        std::string text;
        for (std::size_t i = 0; i < depth; ++i)
            text += "<d>";
        for (std::size_t i = 0; i < depth; ++i)
            text += "</d>";
        return text;
    };
    constexpr std::size_t depth = 200000;
    XMLDocument document;
    document.LoadData(nested(depth));
    EXPECT_EQ(document.Serialize().size(), depth * 3 + (depth - 1) * 7 + 1); // one <d/>

    XMLDocument limited, tooDeep;
    limited.SetDeepestNesting(64);
    limited.LoadData(nested(64));
    tooDeep.SetDeepestNesting(64);
    try {
        tooDeep.LoadData(nested(65));
        ADD_FAILURE() << "65 levels loaded";
    } catch (const XmlError& error) {
        EXPECT_EQ(error.description(), "Elements nested deeper than 64 levels");
        EXPECT_EQ(error.line(), 1u);
        EXPECT_EQ(error.column(), 193u); // the "<" of the 65th level
    }
}
