#include "xml/xml_document.h"
#include "xml/xml_error.h"

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

// The number of the XmlError the call raises (0 when none).
int errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const XmlError& error) {
        return error.number();
    }
    return 0;
}

} // namespace

TEST(XmlNodes, AnElementHasNoTagUntilItNeedsOne)
{
    CXmlElement fresh;
    EXPECT_EQ(fresh.Name(), "");
    EXPECT_EQ(fresh.AttributeCount(), 0);
    EXPECT_EQ(fresh.ElementAttribute(1), nullptr);
    fresh.RemoveAttribute(1); // nothing to remove: no error
    fresh.SetName("e");
    ASSERT_NE(fresh.Tag(), nullptr);
    EXPECT_EQ(fresh.Tag()->TagStyle(), kStartTag);

    CXmlElement unnamed;
    unnamed.AppendAtribute(attribute("k", "v"));
    EXPECT_EQ(unnamed.Name(), "");
    EXPECT_EQ(unnamed.AttributeCount(), 1);
}

TEST(XmlNodes, AttributeKeysIgnoreCaseAndAreFixedWhenAdded)
{
    CXmlTag tag;
    tag.AppendAttribute(attribute("a", "1"));
    try {
        tag.AppendAttribute(attribute("A", "2"));
        ADD_FAILURE() << "duplicate accepted";
    } catch (const XmlError& error) {
        EXPECT_EQ(error.number(), -2147221047);
        EXPECT_EQ(error.source(), "AppendAttribute");
        EXPECT_EQ(error.description(), "Attempt to Append Duplicate Attribute");
    }
    EXPECT_EQ(tag.AttributeCount(), 1);
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
}

TEST(XmlNodes, ChildPositionsCountFromOne)
{
    CXmlElement parent;
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
    EXPECT_EQ(parent.NewEnum().size(), 2u);
}

TEST(XmlNodes, NodesAreSharedAndNeverContainThemselves)
{
    XMLDocument document;
    EXPECT_EQ(document.Root(), document.Root());
    document.Root()->SetName("r");
    document.AppendNode(element("a"));
    document.Node(1)->AppendAtribute(attribute("k", "old"));
    document.Root()->Node(1)->ElementAttribute("k")->SetValue("new");
    EXPECT_EQ(document.Serialize(), "<r>\n<a k=\"new\">\n</r>\n");

    auto child = document.Node(1);
    EXPECT_EQ(errorOf([&] { child->AppendNode(child); }), xmlerr::kInvalidArgument);
    EXPECT_EQ(errorOf([&] { child->AppendNode(document.Root()); }), xmlerr::kInvalidArgument);
    document.AppendNode(child); // twice in one tree is no loop
    EXPECT_EQ(document.NewEnum().size(), 2u);
}

TEST(XmlSerializer, WritesTagsOnlyOnePerLine)
{
    XMLDocument parsed;
    parsed.LoadData("<r><a k='5'/><b><c/></b></r>");
    EXPECT_EQ(parsed.Serialize(), "<r>\n<a k=\"5\"/>\n<b>\n<c/>\n</b>\n\n</r>\n");

    // Text is never written, values are not escaped, a childless start tag stands alone.
    auto root = element("r");
    root->SetText("never written");
    auto child = element("e");
    child->AppendAtribute(attribute("k", "say \"<&>\""));
    root->AppendNode(child);
    EXPECT_EQ(root->Serialize(), "<r>\n<e k=\"say \"<&>\"\">\n</r>\n");

    XMLDocument unnamed; // no tag: nothing, not even the children
    unnamed.AppendNode(element("child"));
    EXPECT_EQ(unnamed.Serialize(), "");
}
