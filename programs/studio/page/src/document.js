// The editor's model of a graph and the graph file's document, both ways.
// Model: { nodes: { id: { cls, fields, sources: [id|null], x, y } },
//          outputs: { name: { node: id|null, x, y } } }
// Positions are the page's own: files hold none, so an opened graph is laid
// out by depth, outputs on the right.
export const FORMAT = "noisebind-graph";

export function emptyModel() {
  return { nodes: {}, outputs: {} };
}

export function classOf(schema, name) {
  return schema.classes.find((c) => c.class === name);
}

// A field's default as the document writes it.
export function defaultFields(info) {
  const fields = {};
  for (const field of info.fields) fields[field.name] = structuredClone(field.default);
  return fields;
}

export function fromDocument(doc, schema) {
  const model = emptyModel();
  for (const node of doc.nodes || []) {
    const info = classOf(schema, node.class);
    model.nodes[node.id] = {
      cls: node.class,
      fields: { ...(info ? defaultFields(info) : {}), ...(node.fields || {}) },
      sources: [...(node.sources || [])],
      x: 0,
      y: 0,
    };
  }
  for (const [name, id] of Object.entries(doc.outputs || {})) {
    model.outputs[name] = { node: id, x: 0, y: 0 };
  }
  layout(model);
  return model;
}

// Columns by the longest path to an output, rows in order within each.
function layout(model) {
  const column = {};
  const visit = (id, depth, seen) => {
    if (!model.nodes[id] || seen.has(id)) return;
    if ((column[id] ?? -1) >= depth) return;
    column[id] = depth;
    seen.add(id);
    for (const source of model.nodes[id].sources) if (source) visit(source, depth + 1, seen);
    seen.delete(id);
  };
  for (const output of Object.values(model.outputs)) visit(output.node, 1, new Set());
  const rows = {};
  const place = (depth) => {
    rows[depth] = (rows[depth] || 0) + 1;
    return rows[depth] - 1;
  };
  for (const [id, node] of Object.entries(model.nodes)) {
    const depth = column[id] ?? 1;
    node.x = -depth * 240;
    node.y = place(depth) * 150;
  }
  for (const output of Object.values(model.outputs)) {
    output.x = 220;
    output.y = place(0) * 150;
  }
}

// The document of the model: every node in the model's order, the outputs
// that have a node. `extraOutput` (a node id) adds an output named
// "preview" when there is none, for requests that need one.
export function toDocument(model, extraOutput) {
  const nodes = Object.entries(model.nodes).map(([id, node]) => ({
    id,
    class: node.cls,
    sources: node.sources,
    fields: node.fields,
  }));
  const outputs = {};
  for (const [name, output] of Object.entries(model.outputs)) {
    if (output.node && model.nodes[output.node]) outputs[name] = output.node;
  }
  if (extraOutput && Object.keys(outputs).length === 0) outputs.preview = extraOutput;
  return { format: FORMAT, version: 1, nodes, outputs };
}

// Nodes no output reads: a saved file leaves them out.
export function unreachable(model) {
  const reached = new Set();
  const visit = (id) => {
    if (!id || reached.has(id) || !model.nodes[id]) return;
    reached.add(id);
    for (const source of model.nodes[id].sources) visit(source);
  };
  for (const output of Object.values(model.outputs)) visit(output.node);
  return Object.keys(model.nodes).filter((id) => !reached.has(id));
}

// A new id for a node of class `cls`: lowercase class name and a number.
export function newId(model, cls) {
  const stem = cls.toLowerCase();
  for (let n = 1; ; ++n) if (!model.nodes[`${stem}${n}`]) return `${stem}${n}`;
}

// The Lua lines that load the saved file.
export function luaLines(fileName, model) {
  const names = Object.keys(model.outputs);
  const lines = [
    'local noise = require "noisebind"',
    `local outputs, nodes = noise.loadgraph(${JSON.stringify(fileName)})`,
  ];
  for (const name of names) {
    const local = /^[A-Za-z_][A-Za-z0-9_]*$/.test(name) ? name : "output";
    lines.push(`local ${local} = outputs[${JSON.stringify(name)}]`);
  }
  if (names.length > 0) {
    const first = /^[A-Za-z_][A-Za-z0-9_]*$/.test(names[0]) ? names[0] : "output";
    lines.push(`local map = noise.planemap(${first}, { 0, 4, 0, 4 }, 256, 256)`);
  }
  return lines.join("\n");
}
