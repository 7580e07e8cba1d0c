// Files compiled into kvr-xref (embed_assets.cmake): the graph libraries from npm
// (vendor/, with their licences and versions) and the scripts and styles of its pages.
#pragma once

#include <string_view>

namespace xref {

extern const std::string_view kCytoscapeJs;      // vendor/cytoscape/cytoscape.min.js
extern const std::string_view kCytoscapeDagreJs; // vendor/cytoscape-dagre/cytoscape-dagre.min.js
extern const std::string_view kGraphViewJs;      // web/graph_view.js
extern const std::string_view kGraphViewCss;     // web/graph_view.css
extern const std::string_view kReportCss;        // web/report.css

} // namespace xref
