// The studio page: palette, flow, field panel and preview over one model
// of the graph, with undo and redo of every edit.
import { useCallback, useEffect, useMemo, useRef, useState } from "react";
import { Background, Controls, ReactFlow, ReactFlowProvider, useReactFlow } from "@xyflow/react";
import * as api from "./api.js";
import {
  classOf,
  defaultFields,
  emptyModel,
  fromDocument,
  luaLines,
  newId,
  toDocument,
  unreachable,
} from "./document.js";
import FieldPanel from "./FieldPanel.jsx";
import { nodeTypes } from "./Nodes.jsx";
import Preview from "./Preview.jsx";

const OUTPUT = "output:";

// The node a decode error names, as in "node 'hills': Perlin.octaves ...".
function errorNode(message) {
  const match = /node '([^']*)'/.exec(message || "");
  return match ? match[1] : null;
}

// The first place at or below (x, y) that no node or output takes.
function freeSpot(model, x, y) {
  const taken = [...Object.values(model.nodes), ...Object.values(model.outputs)];
  while (taken.some((n) => Math.abs(n.x - x) < 220 && Math.abs(n.y - y) < 110)) y += 120;
  return { x, y };
}

function Studio() {
  const [schema, setSchema] = useState(null);
  const [fileName, setFileName] = useState("");
  const [model, setModel] = useState(emptyModel());
  const [history, setHistory] = useState({ past: [], future: [] });
  const [selected, setSelected] = useState(null);
  const [errors, setErrors] = useState({});
  const [status, setStatus] = useState("");
  const [lua, setLua] = useState(null);
  const flow = useReactFlow();
  const modelRef = useRef(model);
  modelRef.current = model;
  // React Flow's helpers change identity once its pane is up; read through a
  // ref so that the graph is loaded once, not again over a first edit.
  const flowRef = useRef(flow);
  flowRef.current = flow;

  const load = useCallback(async (known) => {
    // The palette appears with the graph, so that nothing added before it
    // arrives is lost.
    const [info, graph] = await Promise.all([known || api.getSchema(), api.getGraph()]);
    setSchema(info);
    setFileName(graph.name);
    try {
      setModel(fromDocument(JSON.parse(graph.text), info));
      setStatus(graph.exists ? `opened ${graph.name}` : `${graph.name} is new: it is written on save`);
    } catch (e) {
      setStatus(`${graph.name} is not a graph document: ${e.message}`);
    }
    setHistory({ past: [], future: [] });
    setSelected(null);
    // Once React Flow has measured the nodes: it fits only measured ones.
    for (const delay of [50, 400]) setTimeout(() => flowRef.current.fitView({ maxZoom: 1, padding: 0.1 }), delay);
  }, []);

  useEffect(() => {
    load().catch((e) => setStatus(`cannot reach the studio: ${e.message}`));
  }, [load]);

  // Every edit goes through here, so that it can be undone.
  const edit = useCallback((change) => {
    const before = modelRef.current;
    const after = change(structuredClone(before));
    setHistory((h) => ({ past: [...h.past.slice(-199), before], future: [] }));
    setModel(after);
  }, []);
  const undo = () => {
    if (!history.past.length) return;
    setHistory({ past: history.past.slice(0, -1), future: [model, ...history.future] });
    setModel(history.past[history.past.length - 1]);
  };
  const redo = () => {
    if (!history.future.length) return;
    setHistory({ past: [...history.past, model], future: history.future.slice(1) });
    setModel(history.future[0]);
  };
  useEffect(() => {
    const onKey = (e) => {
      if (!(e.ctrlKey || e.metaKey) || e.target.tagName === "INPUT") return;
      if (e.key === "z" && !e.shiftKey) undo();
      else if (e.key === "y" || (e.key === "Z" && e.shiftKey)) redo();
      else return;
      e.preventDefault();
    };
    window.addEventListener("keydown", onKey);
    return () => window.removeEventListener("keydown", onKey);
  });

  // The document the server checks and previews: what the model holds.
  const previewTarget = selected && !selected.startsWith(OUTPUT) ? selected : null;
  const documentText = useMemo(
    () => JSON.stringify(toDocument(model, previewTarget || Object.keys(model.nodes)[0])),
    [model, previewTarget],
  );

  // The server's errors at their nodes, after each edit.
  useEffect(() => {
    if (!Object.keys(model.nodes).length) {
      setErrors({});
      return undefined;
    }
    let live = true;
    const timer = setTimeout(async () => {
      try {
        const reply = await api.checkGraph(documentText);
        if (!live) return;
        setErrors(Object.fromEntries(reply.errors.map((e) => [e.node, e.message])));
      } catch (e) {
        if (!live) return;
        const node = errorNode(e.message);
        setErrors(node ? { [node]: e.message.replace(/^.*?node '[^']*': /, "") } : {});
        if (!node) setStatus(e.message);
      }
    }, 80);
    return () => {
      live = false;
      clearTimeout(timer);
    };
  }, [documentText]);

  const nodes = useMemo(() => {
    if (!schema) return [];
    const list = Object.entries(model.nodes).map(([id, node]) => ({
      id,
      type: "noise",
      position: { x: node.x, y: node.y },
      selected: selected === id,
      data: { id, info: classOf(schema, node.cls), error: errors[id] },
    }));
    for (const [name, output] of Object.entries(model.outputs)) {
      list.push({
        id: OUTPUT + name,
        type: "outputNode",
        position: { x: output.x, y: output.y },
        selected: selected === OUTPUT + name,
        data: { name },
      });
    }
    return list;
  }, [model, schema, selected, errors]);

  const edges = useMemo(() => {
    const list = [];
    for (const [id, node] of Object.entries(model.nodes)) {
      node.sources.forEach((source, i) => {
        if (source && model.nodes[source]) {
          list.push({ id: `${source}->${id}:${i}`, source, target: id, sourceHandle: "out", targetHandle: `s${i}` });
        }
      });
    }
    for (const [name, output] of Object.entries(model.outputs)) {
      if (output.node && model.nodes[output.node]) {
        list.push({ id: `${output.node}->${OUTPUT}${name}`, source: output.node, target: OUTPUT + name, sourceHandle: "out", targetHandle: "s0" });
      }
    }
    return list;
  }, [model]);

  const onNodesChange = (changes) => {
    for (const change of changes) {
      if (change.type === "position" && change.position) {
        // Moves are not edits of the graph: no undo step each.
        setModel((m) => {
          const next = { ...m, nodes: { ...m.nodes }, outputs: { ...m.outputs } };
          if (change.id.startsWith(OUTPUT)) {
            const name = change.id.slice(OUTPUT.length);
            if (next.outputs[name]) next.outputs[name] = { ...next.outputs[name], ...change.position };
          } else if (next.nodes[change.id]) {
            next.nodes[change.id] = { ...next.nodes[change.id], ...change.position };
          }
          return next;
        });
      } else if (change.type === "select" && change.selected) {
        setSelected(change.id);
      } else if (change.type === "remove") {
        edit((m) => {
          if (change.id.startsWith(OUTPUT)) {
            delete m.outputs[change.id.slice(OUTPUT.length)];
            return m;
          }
          delete m.nodes[change.id];
          for (const node of Object.values(m.nodes)) {
            node.sources = node.sources.map((s) => (s === change.id ? null : s));
          }
          for (const output of Object.values(m.outputs)) if (output.node === change.id) output.node = null;
          return m;
        });
        if (selected === change.id) setSelected(null);
      }
    }
  };

  const onEdgesChange = (changes) => {
    for (const change of changes) {
      if (change.type !== "remove") continue;
      const edge = edges.find((e) => e.id === change.id);
      if (!edge) continue;
      edit((m) => {
        if (edge.target.startsWith(OUTPUT)) m.outputs[edge.target.slice(OUTPUT.length)].node = null;
        else m.nodes[edge.target].sources[Number(edge.targetHandle.slice(1))] = null;
        return m;
      });
    }
  };

  const onConnect = ({ source, target, targetHandle }) => {
    if (source.startsWith(OUTPUT)) return;
    edit((m) => {
      if (target.startsWith(OUTPUT)) m.outputs[target.slice(OUTPUT.length)].node = source;
      else m.nodes[target].sources[Number(targetHandle.slice(1))] = source;
      return m;
    });
  };

  const addNode = (info) => {
    const id = newId(modelRef.current, info.class);
    // Right of the selected node, so that wires run left to right.
    const from = modelRef.current.nodes[selected] || modelRef.current.outputs[selected?.slice(OUTPUT.length)];
    const { x, y } = freeSpot(modelRef.current, from ? from.x + 260 : 0, from ? from.y : 0);
    edit((m) => {
      m.nodes[id] = { cls: info.class, fields: defaultFields(info), sources: info.sources.map(() => null), x, y };
      return m;
    });
    setTimeout(() => flow.fitView({ maxZoom: 1, padding: 0.2 }), 50);
    setSelected(id);
  };

  const addOutput = () => {
    const name = window.prompt("name of the new output:", Object.keys(model.outputs).length ? "biome" : "height");
    if (!name || model.outputs[name]) return;
    // Right of the node it reads.
    const from = model.nodes[previewTarget];
    const { x, y } = freeSpot(model, from ? from.x + 260 : 0, from ? from.y : 0);
    edit((m) => {
      m.outputs[name] = { node: previewTarget, x, y };
      return m;
    });
    setTimeout(() => flow.fitView({ maxZoom: 1, padding: 0.2 }), 50);
  };

  const rename = (from, to) => {
    if (!to || to.includes("#") || model.nodes[to]) {
      setStatus(`cannot rename ${from} to '${to}': empty, taken or with a '#'`);
      return;
    }
    edit((m) => {
      const entries = Object.entries(m.nodes).map(([id, node]) => [id === from ? to : id, node]);
      m.nodes = Object.fromEntries(entries);
      for (const node of Object.values(m.nodes)) node.sources = node.sources.map((s) => (s === from ? to : s));
      for (const output of Object.values(m.outputs)) if (output.node === from) output.node = to;
      return m;
    });
    setSelected(to);
  };

  const save = async () => {
    const left = unreachable(model);
    try {
      const reply = await api.saveGraph(JSON.stringify(toDocument(model)));
      const saved = fromDocument(JSON.parse(reply.text), schema);
      // Keep the page's layout for the nodes that are still there.
      for (const [id, node] of Object.entries(saved.nodes)) {
        if (model.nodes[id]) Object.assign(node, { x: model.nodes[id].x, y: model.nodes[id].y });
      }
      for (const [name, output] of Object.entries(saved.outputs)) {
        if (model.outputs[name]) Object.assign(output, { x: model.outputs[name].x, y: model.outputs[name].y });
      }
      edit(() => saved);
      setStatus(`saved ${reply.saved}${left.length ? `; not saved, no output reads them: ${left.join(", ")}` : ""}`);
    } catch (e) {
      setStatus(`not saved: ${e.message}`);
      const node = errorNode(e.message);
      if (node) setErrors((old) => ({ ...old, [node]: e.message }));
    }
  };

  const selectedNode = selected && model.nodes[selected];
  const selectedOutput = selected && selected.startsWith(OUTPUT) ? selected.slice(OUTPUT.length) : null;
  const target = selectedNode
    ? { node: selected }
    : selectedOutput && model.outputs[selectedOutput]?.node
      ? { output: selectedOutput }
      : null;

  return (
    <div className="studio">
      <header>
        <b>noisebind studio</b> <span data-testid="file-name">{fileName}</span>
        <button data-testid="save" onClick={save}>save</button>
        <button data-testid="open" onClick={() => load(schema)}>open saved</button>
        <button data-testid="undo" disabled={!history.past.length} onClick={undo}>undo</button>
        <button data-testid="redo" disabled={!history.future.length} onClick={redo}>redo</button>
        <button data-testid="add-output" onClick={addOutput}>add output</button>
        <button data-testid="export-lua" onClick={() => setLua(lua ? null : luaLines(fileName, model))}>Lua</button>
        <span className="status" data-testid="status">{status}</span>
      </header>
      {lua && <pre className="lua" data-testid="lua">{lua}</pre>}
      <div className="main">
        <nav className="palette" data-testid="palette">
          {schema?.classes.map((info) => (
            <button key={info.class} data-testid={`palette-${info.class}`} title={info.description} onClick={() => addNode(info)}>
              {info.class}
              <span className="roles">{info.sources.length ? info.sources.join(", ") : "generator"}</span>
            </button>
          ))}
        </nav>
        <div className="flow">
          <ReactFlow
            nodes={nodes}
            edges={edges}
            nodeTypes={nodeTypes}
            onNodesChange={onNodesChange}
            onEdgesChange={onEdgesChange}
            onConnect={onConnect}
            onPaneClick={() => setSelected(null)}
            deleteKeyCode={["Delete", "Backspace"]}
            fitView
            fitViewOptions={{ maxZoom: 1, padding: 0.2 }}
            minZoom={0.05}
          >
            <Background />
            <Controls />
          </ReactFlow>
        </div>
        <aside className="side">
          {selectedNode && (
            <FieldPanel
              id={selected}
              node={selectedNode}
              info={classOf(schema, selectedNode.cls)}
              onFields={(fields) => edit((m) => ((m.nodes[selected].fields = fields), m))}
              onRename={(to) => rename(selected, to)}
            />
          )}
          {selectedOutput && <div className="panel-title">output {selectedOutput}</div>}
          {!selected && <div className="panel-empty">Add nodes from the palette, wire them, and select one to see its map.</div>}
          {target && (
            <Preview
              graph={documentText}
              target={target}
              label={selectedNode ? selected : selectedOutput}
              fileName={fileName}
              onErrors={(list) => list.length && setErrors(Object.fromEntries(list.map((e) => [e.node, e.message])))}
            />
          )}
        </aside>
      </div>
    </div>
  );
}

export default function App() {
  return (
    <ReactFlowProvider>
      <Studio />
    </ReactFlowProvider>
  );
}
