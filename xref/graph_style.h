// How each kind of node and edge is drawn, shared by the DOT output and the HTML pages
// (whose legend and drawing style come from this table, handed to the page as data).
#pragma once

#include "lineage_graph.h"

namespace xref {

struct NodeStyle {
    const char* kind;
    const char* label;     // as the legend says it
    const char* dotShape;  // Graphviz
    const char* pageShape; // cytoscape
    const char* fill;
    const char* border;
};

struct EdgeStyle {
    const char* kind;
    const char* label;
    const char* colour;
    const char* line; // solid, dashed, dotted
};

// Data sets, jobs, steps, programs; a temporary data set is a data set drawn dashed.
inline constexpr NodeStyle kNodeStyles[] = {
    {"dataset", "data set", "cylinder", "barrel", "#cfe2ff", "#3d6cb9"},
    {"job", "job", "box", "rectangle", "#ffe69c", "#a07800"},
    {"step", "step", "box", "round-rectangle", "#fff8e1", "#a07800"},
    {"program", "program", "ellipse", "ellipse", "#d1e7dd", "#2f7d55"},
};

inline constexpr EdgeStyle kEdgeStyles[] = {
    {"read", "reads", "#4a4a4a", "solid"},     {"create", "creates", "#198754", "solid"},
    {"update", "updates", "#d9480f", "solid"}, {"delete", "deletes", "#c92a2a", "dashed"},
    {"runs", "runs", "#868e96", "dotted"},
};

inline const NodeStyle& StyleOf(NodeKind kind) {
    return kNodeStyles[static_cast<int>(kind)];
}

} // namespace xref
