// Draws a kvr-xref lineage graph with cytoscape and its dagre layout, left to right. The
// graph, the click details and the drawing style come as JSON in the element
// #kvr-graph-data; every name is set as text, never as markup. After drawing, the counts
// of nodes and edges drawn are left on the graph element (data-drawn-nodes,
// data-drawn-edges), and the node selected (data-selected) and, once the view has moved to
// it, centred (data-centred), for anyone checking the page; "#node=NAME" in the address
// selects that node as the search box would.
(function () {
  'use strict';

  function byId(id) { return document.getElementById(id); }

  function element(tag, text, className) {
    const made = document.createElement(tag);
    if (text !== undefined && text !== null) made.textContent = String(text);
    if (className) made.className = className;
    return made;
  }

  function labelOf(node) {
    return node.kind === 'step' ? node.number + ' ' + node.name : node.name;
  }

  function drawingStyle(styles) {
    const rules = [
      { selector: 'node', style: {
        'label': 'data(label)', 'text-valign': 'center', 'text-halign': 'center',
        'font-size': 11, 'font-family': 'Helvetica, Arial, sans-serif', 'color': '#1b1b1b',
        'width': 'data(width)', 'height': 30, 'border-width': 1 } },
      { selector: ':parent', style: {
        'text-valign': 'top', 'text-halign': 'center', 'padding': 10, 'font-weight': 'bold' } },
      { selector: 'node.start', style: { 'border-width': 4 } },
      { selector: 'node.temporary', style: { 'border-style': 'dashed' } },
      { selector: 'node:selected', style: { 'overlay-color': '#1c7ed6', 'overlay-opacity': 0.25,
        'border-color': '#1c7ed6', 'border-width': 4 } },
      { selector: 'edge', style: {
        'curve-style': 'bezier', 'target-arrow-shape': 'triangle', 'width': 1.5,
        'label': 'data(kind)', 'font-size': 9, 'text-rotation': 'autorotate',
        'text-background-color': '#ffffff', 'text-background-opacity': 0.8 } }
    ];
    styles.nodes.forEach(function (kind) {
      rules.push({ selector: 'node.' + kind.kind, style: {
        'shape': kind.pageShape, 'background-color': kind.fill, 'border-color': kind.border } });
    });
    styles.edges.forEach(function (kind) {
      rules.push({ selector: 'edge.' + kind.kind, style: {
        'line-color': kind.colour, 'target-arrow-color': kind.colour, 'color': kind.colour,
        'line-style': kind.line } });
    });
    return rules;
  }

  function elementsOf(graph) {
    const elements = [];
    graph.nodes.forEach(function (node) {
      const label = labelOf(node);
      const data = { id: node.id, label: label, kind: node.kind, name: node.name,
                     width: Math.max(50, label.length * 7 + 20) };
      if (node.kind === 'step') data.parent = node.parent;
      const classes = [node.kind];
      if (node.start) classes.push('start');
      if (node.temporary) classes.push('temporary');
      elements.push({ group: 'nodes', data: data, classes: classes.join(' ') });
    });
    graph.edges.forEach(function (edge, index) {
      elements.push({ group: 'edges', classes: edge.kind,
                      data: { id: 'e' + index, source: edge.source, target: edge.target,
                              kind: edge.kind } });
    });
    return elements;
  }

  function fillLegend(legend, styles, kindsShown) {
    if (!legend) return;
    styles.nodes.forEach(function (kind) {
      if (!kindsShown[kind.kind]) return;
      const item = element('li');
      const swatch = element('span', null, 'swatch shape-' + kind.pageShape);
      swatch.style.background = kind.fill;
      swatch.style.borderColor = kind.border;
      item.appendChild(swatch);
      item.appendChild(element('span', kind.label));
      legend.appendChild(item);
    });
    styles.edges.forEach(function (kind) {
      const item = element('li');
      const line = element('span', null, 'line');
      line.style.borderTop = '2px ' + kind.line + ' ' + kind.colour;
      item.appendChild(line);
      item.appendChild(element('span', kind.label));
      legend.appendChild(item);
    });
    const start = element('li');
    start.appendChild(element('span', null, 'swatch start'));
    start.appendChild(element('span', 'what was asked for'));
    legend.appendChild(start);
  }

  function showDetails(panel, node, data) {
    if (!panel) return;
    panel.replaceChildren();
    panel.hidden = false;
    const heading = element('h2');
    heading.appendChild(element('span', node.data('kind') + ' ', 'kind'));
    heading.appendChild(element('span', node.data('name'), 'name'));
    panel.appendChild(heading);
    const link = data.links && data.links[node.id()];
    if (link) {
      const anchor = element('a', 'open its page');
      anchor.href = link;
      panel.appendChild(anchor);
    }
    const details = data.details && data.details[node.id()];
    if (!details) return;
    if (details.rows.length === 0) {
      panel.appendChild(element('p', 'nothing recorded'));
      return;
    }
    const table = element('table');
    const head = element('tr');
    details.columns.forEach(function (column) { head.appendChild(element('th', column)); });
    table.appendChild(head);
    details.rows.forEach(function (row) {
      const line = element('tr');
      row.forEach(function (cell) { line.appendChild(element('td', cell === null ? '' : cell)); });
      table.appendChild(line);
    });
    panel.appendChild(table);
    if (details.more > 0) {
      panel.appendChild(element('p', 'and ' + details.more + ' more (kvr-xref answers them all)'));
    }
  }

  // The node named exactly, else the first whose name holds the text (either case).
  function findNode(cy, text) {
    const wanted = text.trim().toUpperCase();
    if (!wanted) return null;
    const nodes = cy.nodes();
    const exact = nodes.filter(function (n) { return n.data('name').toUpperCase() === wanted; });
    if (exact.length) return exact[0];
    const partial = nodes.filter(function (n) {
      return n.data('name').toUpperCase().indexOf(wanted) >= 0;
    });
    return partial.length ? partial[0] : null;
  }

  function start() {
    const holder = byId('kvr-graph');
    const data = JSON.parse(byId('kvr-graph-data').textContent);
    const graph = data.graph;
    window.addEventListener('error', function (event) {
      holder.setAttribute('data-error', String(event.message));
    });
    if (typeof cytoscapeDagre !== 'undefined') cytoscape.use(cytoscapeDagre);
    const cy = cytoscape({
      container: holder,
      elements: elementsOf(graph),
      style: drawingStyle(data.styles),
      layout: { name: 'preset' },
      minZoom: 0.05,
      maxZoom: 4
    });
    // The layout fits the graph to the window; a small graph is then not blown up past
    // a readable size.
    cy.layout({ name: 'dagre', rankDir: 'LR', nodeSep: 18, rankSep: 70, padding: 20 }).run();
    if (cy.zoom() > 1.2) {
      cy.zoom(1.2);
      cy.center();
    }
    window.kvrGraph = cy;
    const kindsShown = {};
    graph.nodes.forEach(function (node) { kindsShown[node.kind] = true; });
    fillLegend(byId('kvr-legend'), data.styles, kindsShown);

    const panel = byId('kvr-details');
    const status = byId('kvr-search-status');
    function select(node) {
      cy.elements().unselect();
      node.select();
      holder.setAttribute('data-selected', node.id());
      holder.removeAttribute('data-centred');
      cy.animate({ center: { eles: node }, zoom: Math.max(cy.zoom(), 0.6) }, {
        duration: 200,
        complete: function () {
          const at = node.renderedPosition();
          const off = Math.hypot(at.x - cy.width() / 2, at.y - cy.height() / 2);
          holder.setAttribute('data-centred', off < 2 ? node.id() : '');
        }
      });
      showDetails(panel, node, data);
    }
    function search(text) {
      const node = findNode(cy, text);
      if (status) status.textContent = node ? '' : 'no node is named ' + text;
      if (node) select(node);
      return node;
    }
    cy.on('tap', 'node', function (event) { select(event.target); });
    const form = byId('kvr-search');
    if (form) {
      form.addEventListener('submit', function (event) {
        event.preventDefault();
        search(byId('kvr-search-text').value);
      });
    }
    holder.setAttribute('data-drawn-nodes', String(cy.nodes().filter(function (n) {
      return n.renderedWidth() > 0 && isFinite(n.position('x'));
    }).length));
    holder.setAttribute('data-drawn-edges', String(cy.edges().length));
    const wanted = /^#node=(.*)$/.exec(window.location.hash);
    if (wanted) {
      const text = decodeURIComponent(wanted[1]);
      if (byId('kvr-search-text')) byId('kvr-search-text').value = text;
      search(text);
    }
  }

  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
  else start();
})();
