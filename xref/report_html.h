// The pieces every report page is made of: the frame (title, navigation, style sheet, and
// for a page with a graph its scripts), links to other pages, and tables whose job, data
// set, program, plan and PSB columns link to the pages of those names.
#pragma once

#include <string>
#include <string_view>

#include "page_names.h"
#include "result_table.h"

namespace xref {

// `root` leads from the page to the report's root ("" or "../").
std::string PageStart(const std::string& title, const std::string& root);
std::string PageEnd(const std::string& root, bool withGraph);

std::string PageLink(PageKind kind, std::string_view name, const std::string& root);

// At most `maxRows` rows; the rest are counted under the table.
std::string HtmlTable(const ResultTable& table, const std::string& root, size_t maxRows);

// <h2> with a count: "Readers (12)".
std::string SectionHeading(const std::string& title, size_t count);

} // namespace xref
