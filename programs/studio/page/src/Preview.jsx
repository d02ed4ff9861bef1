// The live preview of the selected node or output: the server's map, a
// coarse pass first then the full one, each new request aborting the one
// before (the server cancels it too). Pan by dragging, zoom with the wheel.
import { useEffect, useRef, useState } from "react";
import * as api from "./api.js";
import { paint, statistics } from "./render.js";

const START = {
  plane: [0, 4, 0, 4],
  seamless: [0, 4, 0, 4],
  sphere: [-90, 90, -180, 180],
};

// The view a request sends: bounds as noise.planemap and spheremap take them.
function viewOf(projection, bounds, size) {
  const height = projection === "sphere" ? size / 2 : size;
  return { projection, bounds, width: size, height };
}

// Screen axes to bounds: planes put x across and z down; spheres west to
// east across and north at the top.
function pan(projection, bounds, dx, dy) {
  const [a0, a1, b0, b1] = bounds;
  if (projection === "sphere") {
    const lon = dx * (b1 - b0);
    const lat = -dy * (a1 - a0);
    const shiftLon = Math.max(-180 - b0, Math.min(180 - b1, -lon));
    const shiftLat = Math.max(-90 - a0, Math.min(90 - a1, -lat));
    return [a0 + shiftLat, a1 + shiftLat, b0 + shiftLon, b1 + shiftLon];
  }
  const sx = -dx * (a1 - a0);
  const sz = -dy * (b1 - b0);
  return [a0 + sx, a1 + sx, b0 + sz, b1 + sz];
}

function zoom(projection, bounds, fx, fy, factor) {
  const [a0, a1, b0, b1] = bounds;
  const scale = (from, to, f) => {
    const at = from + (to - from) * f;
    return [at - (at - from) * factor, at + (to - at) * factor];
  };
  if (projection === "sphere") {
    const [w, e] = scale(b0, b1, fx);
    const [s, n] = scale(a0, a1, 1 - fy);
    return [Math.max(-90, s), Math.min(90, n), Math.max(-180, w), Math.min(180, e)];
  }
  return [...scale(a0, a1, fx), ...scale(b0, b1, fy)];
}

function Histogram({ stats }) {
  const top = Math.max(...stats.histogram, 1);
  return (
    <svg className="histogram" width="256" height="48">
      {stats.histogram.map((count, i) => (
        <rect key={i} x={i * 4} width="3" y={48 - (count / top) * 48} height={(count / top) * 48} />
      ))}
    </svg>
  );
}

export default function Preview({ graph, target, label, onErrors, fileName }) {
  const [projection, setProjection] = useState("plane");
  const [bounds, setBounds] = useState(START);
  const [mode, setMode] = useState("gradient");
  const [size, setSize] = useState(256);
  const [shown, setShown] = useState(null);
  const [error, setError] = useState(null);
  const [timings, setTimings] = useState({});
  const [under, setUnder] = useState(null);
  const [notice, setNotice] = useState(null);
  const canvas = useRef(null);
  const drag = useRef(null);
  const current = bounds[projection];

  // Each change of the graph, target or view: coarse, then full.
  useEffect(() => {
    if (!graph || !target) return undefined;
    const controller = new AbortController();
    const request = (side) => ({ graph, target, view: viewOf(projection, current, side) });
    const run = async () => {
      try {
        const coarse = await api.preview(request(size / 4), controller.signal);
        setShown({ ...coarse, pass: "coarse" });
        setTimings({ coarse: coarse.totalMs, coarseMap: coarse.mapMs });
        const full = await api.preview(request(size), controller.signal);
        setShown({ ...full, pass: "full" });
        // What the browser test compares with a map made in Lua.
        window.studioPreview = full;
        setTimings((t) => ({ ...t, full: full.totalMs, fullMap: full.mapMs }));
        setError(null);
      } catch (e) {
        if (e.name === "AbortError" || e.status === 409) return;
        setError(e.message);
        setShown(null);
        onErrors?.(e.errors || []);
      }
    };
    const timer = setTimeout(run, 30);
    return () => {
      clearTimeout(timer);
      controller.abort();
    };
  }, [graph, JSON.stringify(target), projection, JSON.stringify(current), size]);

  const stats = shown ? statistics(shown.values) : null;

  useEffect(() => {
    if (!canvas.current) return;
    if (!shown) {
      canvas.current.getContext("2d").clearRect(0, 0, canvas.current.width, canvas.current.height);
      return;
    }
    const image = paint(shown.values, shown.width, shown.height, mode, stats);
    const context = canvas.current.getContext("2d");
    canvas.current.width = shown.width;
    canvas.current.height = shown.height;
    context.putImageData(image, 0, 0);
  }, [shown, mode]);

  const fraction = (e) => {
    const box = canvas.current.getBoundingClientRect();
    return [(e.clientX - box.left) / box.width, (e.clientY - box.top) / box.height];
  };
  const onMove = (e) => {
    const [fx, fy] = fraction(e);
    if (drag.current) {
      const [px, py] = drag.current;
      drag.current = [fx, fy];
      setBounds((b) => ({ ...b, [projection]: pan(projection, b[projection], fx - px, fy - py) }));
      return;
    }
    if (!shown) return;
    const x = Math.min(shown.width - 1, Math.max(0, Math.floor(fx * shown.width)));
    const y = Math.min(shown.height - 1, Math.max(0, Math.floor(fy * shown.height)));
    setUnder({ x, y, value: shown.values[y * shown.width + x] });
  };
  const onWheel = (e) => {
    const [fx, fy] = fraction(e);
    const factor = e.deltaY > 0 ? 1.25 : 0.8;
    setBounds((b) => ({ ...b, [projection]: zoom(projection, b[projection], fx, fy, factor) }));
  };
  const exportView = async () => {
    const stem = (fileName || "graph").replace(/\.[^.]*$/, "");
    const file = window.prompt("export the view as a 16-bit heightmap into the graph's folder:", `${stem}-${label}.png`);
    if (!file) return;
    try {
      const reply = await api.exportHeightmap({ graph, target, view: viewOf(projection, current, size), file });
      setNotice(`exported ${reply.saved} (values ${reply.low.toPrecision(4)} to ${reply.high.toPrecision(4)})`);
    } catch (e) {
      setNotice(`export failed: ${e.message}`);
    }
  };

  return (
    <div className="preview">
      <div className="preview-bar">
        <b>{label}</b>
        <select data-testid="projection" value={projection} onChange={(e) => setProjection(e.target.value)}>
          <option value="plane">plane</option>
          <option value="sphere">sphere</option>
          <option value="seamless">seamless</option>
        </select>
        <select data-testid="colour" value={mode} onChange={(e) => setMode(e.target.value)}>
          <option value="grey">grey</option>
          <option value="gradient">gradient + light</option>
        </select>
        <select value={size} onChange={(e) => setSize(Number(e.target.value))}>
          <option value={128}>128</option>
          <option value={256}>256</option>
          <option value={512}>512</option>
        </select>
        <button onClick={() => setBounds({ ...bounds, [projection]: START[projection] })}>reset view</button>
        <button data-testid="export-heightmap" onClick={exportView}>export heightmap</button>
      </div>
      <canvas
        ref={canvas}
        data-testid="preview"
        className="preview-canvas"
        onMouseDown={(e) => (drag.current = fraction(e))}
        onMouseUp={() => (drag.current = null)}
        onMouseLeave={() => {
          drag.current = null;
          setUnder(null);
        }}
        onMouseMove={onMove}
        onWheel={onWheel}
      />
      {error && (
        <div className="preview-error" data-testid="preview-error">
          {error}
        </div>
      )}
      <div className="figures" data-testid="stats" data-pass={shown?.pass || ""}>
        {stats && (
          <>
            min {stats.min.toPrecision(5)} · max {stats.max.toPrecision(5)} · mean {stats.mean.toPrecision(5)}
          </>
        )}
      </div>
      {stats && <Histogram stats={stats} />}
      <div className="figures" data-testid="under">
        {under ? `(${under.x}, ${under.y}) = ${under.value}` : "point at the map for its value"}
      </div>
      <div className="figures" data-testid="timings">
        {timings.coarse !== undefined && `coarse ${timings.coarse.toFixed(0)} ms (map ${timings.coarseMap.toFixed(1)})`}
        {timings.full !== undefined && ` · full ${timings.full.toFixed(0)} ms (map ${timings.fullMap.toFixed(1)})`}
      </div>
      <div className="figures">
        bounds {current.map((b) => Number(b.toPrecision(6))).join(", ")}
      </div>
      {notice && <div className="notice">{notice}</div>}
    </div>
  );
}
