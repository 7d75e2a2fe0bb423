#include "tornel/projectfile/xml_text.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace tornel {
namespace {

TEST(XmlText, UnescapeAndEscape) {
  EXPECT_EQ(UnescapeXml("a &amp; b &lt;c&gt; &quot;&apos; &#65;&#x42; &#241;"), "a & b <c> \"' AB ñ");
  // What is not a reference stays as written.
  EXPECT_EQ(UnescapeXml("R&D &unknown; &#xZZ; & end&"), "R&D &unknown; &#xZZ; & end&");
  EXPECT_EQ(EscapeXmlText("a & <b> \"q\""), "a &amp; &lt;b&gt; \"q\"");
}

TEST(XmlText, ElementTextReadsAndWritesRawContent) {
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string("<g><a>x &amp; y</a><b/><c><d/></c><e><![CDATA[<z>]]></e></g>", pugi::parse_cdata));
  pugi::xml_node g = doc.child("g");
  EXPECT_EQ(ElementText(g.child("a")), "x & y");
  EXPECT_FALSE(ElementText(g.child("b")));
  EXPECT_EQ(ElementText(g.child("e")), "<z>");
  EXPECT_THROW(ElementText(g.child("c")), platform::EXMLDocError);
  EXPECT_THROW(SetElementText(g.child("c"), "v"), platform::EXMLDocError);

  SetElementText(g.child("a"), "1 < 2");
  SetElementText(g.child("b"), "new");
  SetElementText(g.child("e"), "plain");
  EXPECT_EQ(ElementText(g.child("a")), "1 < 2");
  EXPECT_EQ(std::string(g.child("a").first_child().value()), "1 &lt; 2");
  EXPECT_EQ(ElementText(g.child("b")), "new");
  EXPECT_EQ(ElementText(g.child("e")), "plain");
}

TEST(XmlText, VariantToTextDecodesNonUtf8AsCodePage) {
  EXPECT_EQ(VariantToText(std::nullopt), "");
  EXPECT_EQ(VariantToText(std::string()), "");
  EXPECT_EQ(VariantToText(std::string("N\xF3mina")), "Nómina");
  EXPECT_EQ(VariantToText(std::string("Nómina")), "Nómina");
}

}  // namespace
}  // namespace tornel
