// A hostile title of the data reaches no format as markup: the SVG of a graph
// is well-formed XML holding the title as text, and the HTML page built with
// such graphs has no element or attribute that the title brought in.

#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>

#include <QXmlStreamReader>
#include <sstream>
#include <string>

#include "graphs/GraphView.h"
#include "graphs/draw/GraphFile.h"
#include "report/ExportHtml.h"

namespace tavorix {
namespace {

const std::string kHostile =
    "</title><script>alert(1)</script><img src=x onerror=alert(2)> Rivers & lakes <2020>";

GraphView WithTitle(const std::string& title) {
  GraphView v;
  PrepareGraph(std::string(TAVORIX_TEST_DATA_DIR) + "/graphs/gumbel12.out", kGraphCumulative, v);
  v.Data.Title1 = title;
  v.DistTitle = title;
  return v;
}

TEST(HostileText, SvgKeepsATitleAsTextAndStaysWellFormed) {
  const QByteArray svg = GraphSvg(WithTitle(kHostile), {true, true});
  QXmlStreamReader xml(svg);
  QString title;
  int scripts = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"script" || xml.name() == u"img") ++scripts;
    if (xml.name() == u"title") title = xml.readElementText(QXmlStreamReader::IncludeChildElements);
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(scripts, 0);
  EXPECT_EQ(title.toStdString(), kHostile);
}

// Elements and event-handler attributes of an HTML tree, by name.
void Collect(xmlNode* node, int& scripts, int& images, int& handlers) {
  for (; node; node = node->next) {
    if (node->type == XML_ELEMENT_NODE) {
      const std::string name = reinterpret_cast<const char*>(node->name);
      scripts += name == "script";
      images += name == "img";
      for (xmlAttr* a = node->properties; a; a = a->next)
        handlers += std::string(reinterpret_cast<const char*>(a->name)).rfind("on", 0) == 0;
    }
    Collect(node->children, scripts, images, handlers);
  }
}

TEST(HostileText, HtmlPageWithGraphsHasNoElementFromTheTitle) {
  ResultsExport r;
  r.Title1 = kHostile;
  r.Title2 = kHostile;
  r.InputFile = "/data/" + kHostile + ".inp";
  r.DistributionName = "Gumbel";
  std::vector<HtmlGraph> graphs;
  for (int k = 0; k < 4; ++k) {
    const QByteArray svg = GraphSvg(WithTitle(kHostile), {true, true});
    graphs.push_back({kHostile, std::string(svg.constData(), static_cast<std::size_t>(svg.size()))});
  }
  std::ostringstream page;
  WriteHtmlReport(page, r, graphs, kHostile);
  const std::string html = page.str();
  htmlDocPtr doc = htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
                                  HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  ASSERT_NE(doc, nullptr);
  int scripts = 0, images = 0, handlers = 0;
  Collect(xmlDocGetRootElement(doc), scripts, images, handlers);
  xmlFreeDoc(doc);
  EXPECT_EQ(scripts, 0);
  EXPECT_EQ(images, 0);
  EXPECT_EQ(handlers, 0);
}

}  // namespace
}  // namespace tavorix
