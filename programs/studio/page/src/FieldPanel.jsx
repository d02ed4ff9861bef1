// The selected node's fields, from its class's schema: numbers with a
// slider, integers within their range, quality and booleans as choices,
// and Curve and Terrace points with a plot.
import { useState } from "react";
import { curveAt, terraceAt } from "./render.js";

// Sliders for numbers the schema gives no range for: around the default,
// wide enough for the usual settings.
function sliderRange(field, value) {
  if (field.type === "integer") return [field.minimum, Math.min(field.maximum, field.minimum + 64)];
  const reach = Math.max(1, Math.abs(field.default) * 4, Math.abs(value) * 2);
  const low = field.default >= 0 && value >= 0 ? 0 : -reach;
  return [low, reach];
}

function NumberField({ field, value, onChange }) {
  const [text, setText] = useState(null);
  const [low, high] = sliderRange(field, value);
  const step = field.type === "integer" ? 1 : (high - low) / 1000;
  const commit = (raw) => {
    const number = Number(raw);
    if (raw !== "" && Number.isFinite(number)) onChange(number);
  };
  return (
    <div className="field-row">
      <input
        type="number"
        data-testid={`field-${field.name}`}
        value={text ?? String(value)}
        step={field.type === "integer" ? 1 : "any"}
        onChange={(e) => setText(e.target.value)}
        onBlur={(e) => {
          commit(e.target.value);
          setText(null);
        }}
        onKeyDown={(e) => {
          if (e.key === "Enter") {
            commit(e.target.value);
            setText(null);
          }
        }}
      />
      <input
        type="range"
        data-testid={`slider-${field.name}`}
        min={low}
        max={high}
        step={step}
        value={Math.max(low, Math.min(high, value))}
        onChange={(e) => onChange(Number(e.target.value))}
      />
    </div>
  );
}

function Plot({ info, points, inverted }) {
  const pairs = info.class === "Curve";
  const inputs = pairs ? points.map((p) => p[0]) : points;
  const outputs = pairs ? points.map((p) => p[1]) : points;
  if (inputs.length === 0) return null;
  const x0 = Math.min(...inputs, -1);
  const x1 = Math.max(...inputs, 1);
  const samples = [];
  for (let i = 0; i <= 100; ++i) {
    const x = x0 + ((x1 - x0) * i) / 100;
    samples.push([x, pairs ? curveAt(points, x) : terraceAt(points, x, inverted)]);
  }
  const ys = [...outputs, ...samples.map((s) => s[1]).filter(Number.isFinite)];
  const y0 = Math.min(...ys, -1);
  const y1 = Math.max(...ys, 1);
  const sx = (x) => ((x - x0) / (x1 - x0)) * 220 + 10;
  const sy = (y) => 130 - ((y - y0) / (y1 - y0 || 1)) * 120;
  const line = samples
    .filter((s) => Number.isFinite(s[1]))
    .map((s) => `${sx(s[0]).toFixed(1)},${sy(s[1]).toFixed(1)}`)
    .join(" ");
  return (
    <svg className="plot" width="240" height="140" data-testid="points-plot">
      <line x1={sx(x0)} x2={sx(x1)} y1={sy(0)} y2={sy(0)} className="axis" />
      <line x1={sx(0)} x2={sx(0)} y1={sy(y0)} y2={sy(y1)} className="axis" />
      <polyline points={line} className="curve" />
      {inputs.map((x, i) => (
        <circle key={i} cx={sx(x)} cy={sy(outputs[i])} r="3" className="point" />
      ))}
    </svg>
  );
}

function PointsEditor({ info, field, points, inverted, onChange }) {
  const pairs = info.class === "Curve";
  const set = (i, j, value) => {
    const next = structuredClone(points);
    if (pairs) next[i][j] = value;
    else next[i] = value;
    onChange(next);
  };
  const add = () => {
    const last = points.length ? (pairs ? points[points.length - 1][0] : points[points.length - 1]) : -1;
    onChange([...points, pairs ? [last + 0.5, last + 0.5] : last + 0.5]);
  };
  return (
    <div className="points">
      <div className="field-label" title={field.description}>
        points ({points.length}){field.minItems ? `, at least ${field.minItems}` : ""}
      </div>
      {points.map((point, i) => (
        <div className="point-row" key={i}>
          {(pairs ? [0, 1] : [null]).map((j) => (
            <input
              key={j ?? 0}
              type="number"
              step="any"
              data-testid={`point-${i}-${j ?? 0}`}
              defaultValue={pairs ? point[j] : point}
              onBlur={(e) => Number.isFinite(Number(e.target.value)) && set(i, j, Number(e.target.value))}
            />
          ))}
          <button data-testid={`point-remove-${i}`} onClick={() => onChange(points.filter((_, k) => k !== i))}>
            ×
          </button>
        </div>
      ))}
      <button data-testid="point-add" onClick={add}>
        add point
      </button>
      <Plot info={info} points={points} inverted={inverted} />
    </div>
  );
}

export default function FieldPanel({ id, node, info, onFields, onRename }) {
  if (!info) return <div className="panel-empty">unknown class {node.cls}</div>;
  const setField = (name, value) => onFields({ ...node.fields, [name]: value });
  return (
    <div className="field-panel">
      <div className="panel-title">
        {info.class}{" "}
        <input
          className="rename"
          data-testid="node-id"
          defaultValue={id}
          key={id}
          onBlur={(e) => e.target.value !== id && onRename(e.target.value)}
        />
      </div>
      <div className="description">{info.description}</div>
      {info.fields.map((field) => {
        const value = node.fields[field.name];
        if (field.name === "points") {
          return (
            <PointsEditor
              key={`${id}-points-${JSON.stringify(value)}`}
              info={info}
              field={field}
              points={value || []}
              inverted={node.fields.invert}
              onChange={(points) => setField("points", points)}
            />
          );
        }
        return (
          <div className="field" key={field.name}>
            <div className="field-label" title={field.description}>
              {field.name} <span className="field-type">{field.type}</span>
            </div>
            {field.type === "boolean" && (
              <select
                data-testid={`field-${field.name}`}
                value={value ? "true" : "false"}
                onChange={(e) => setField(field.name, e.target.value === "true")}
              >
                <option value="false">false</option>
                <option value="true">true</option>
              </select>
            )}
            {field.type === "quality" && (
              <select
                data-testid={`field-${field.name}`}
                value={value}
                onChange={(e) => setField(field.name, e.target.value)}
              >
                {field.values.map((q) => (
                  <option key={q}>{q}</option>
                ))}
              </select>
            )}
            {(field.type === "number" || field.type === "integer") && (
              <NumberField
                key={`${id}-${field.name}`}
                field={field}
                value={value}
                onChange={(v) => setField(field.name, v)}
              />
            )}
            <div className="field-help">{field.description}</div>
          </div>
        );
      })}
    </div>
  );
}
