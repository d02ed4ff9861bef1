// How a graph node and an output look in the flow: the class, the id, a
// handle per source named by its role, and the server's error at the node.
import { Handle, Position } from "@xyflow/react";

export function NoiseNode({ data, selected }) {
  const { id, info, error } = data;
  const roles = info ? info.sources : [];
  return (
    <div className={`noise-node${selected ? " selected" : ""}${error ? " failing" : ""}`}>
      <div className="node-title">
        <b>{info ? info.class : "?"}</b> <span className="node-id">{id}</span>
      </div>
      {roles.map((role, i) => (
        <div className="node-source" key={i}>
          <Handle
            type="target"
            position={Position.Left}
            id={`s${i}`}
            data-testid={`in-${id}-${i}`}
          />
          <span>{role}</span>
        </div>
      ))}
      {error && (
        <div className="node-error" data-testid={`error-${id}`}>
          {error}
        </div>
      )}
      <Handle type="source" position={Position.Right} id="out" data-testid={`out-${id}`} />
    </div>
  );
}

export function OutputNode({ data, selected }) {
  return (
    <div className={`output-node${selected ? " selected" : ""}`}>
      <Handle type="target" position={Position.Left} id="s0" data-testid={`in-output-${data.name}`} />
      <div className="node-title">
        output <b>{data.name}</b>
      </div>
    </div>
  );
}

export const nodeTypes = { noise: NoiseNode, outputNode: OutputNode };
