// The live preview of the selected node or output: plane and sphere as
// tiles (TiledView), the seamless tile as one whole view (SeamlessView);
// the figures of what is shown, the value under the cursor, the timings,
// and the export of the view as a heightmap.
import { useMemo, useRef, useState } from "react";
import * as api from "./api.js";
import { statistics } from "./render.js";
import SeamlessView from "./SeamlessView.jsx";
import TiledView from "./TiledView.jsx";

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

// The whole-view export's limits: as the server's for a preview.
function exportView(view) {
  const scale = Math.min(1, 2048 / Math.max(view.width, view.height), Math.sqrt((1024 * 1024) / (view.width * view.height)));
  return { ...view, width: Math.max(1, Math.floor(view.width * scale)), height: Math.max(1, Math.floor(view.height * scale)) };
}

export default function Preview({ graph, target, label, onErrors, fileName }) {
  const [projection, setProjection] = useState("plane");
  const [mode, setMode] = useState("gradient");
  const [shown, setShown] = useState({ values: null, pass: "" });
  const [error, setError] = useState(null);
  const [timing, setTiming] = useState(null);
  const [under, setUnder] = useState(null);
  const [notice, setNotice] = useState(null);
  const [reset, setReset] = useState(0);
  const viewRef = useRef(null);
  const stats = useMemo(() => (shown.values ? statistics(shown.values) : null), [shown.values]);
  const tiled = projection !== "seamless";
  const View = tiled ? TiledView : SeamlessView;

  const exportHeightmap = async () => {
    const stem = (fileName || "graph").replace(/\.[^.]*$/, "");
    const file = window.prompt("export the view as a 16-bit heightmap into the graph's folder:", `${stem}-${label}.png`);
    if (!file || !viewRef.current) return;
    try {
      const reply = await api.exportHeightmap({ graph, target, view: exportView(viewRef.current()), file });
      setNotice(`exported ${reply.saved} (values ${reply.low.toPrecision(4)} to ${reply.high.toPrecision(4)})`);
    } catch (e) {
      setNotice(`export failed: ${e.message}`);
    }
  };

  return (
    <div className="preview">
      <div className="preview-bar">
        <b>{label}</b>
        <select data-testid="projection" value={projection} onChange={(e) => {
          setProjection(e.target.value);
          setShown({ values: null, pass: "" });
        }}>
          <option value="plane">plane</option>
          <option value="sphere">sphere</option>
          <option value="seamless">seamless</option>
        </select>
        <select data-testid="colour" value={mode} onChange={(e) => setMode(e.target.value)}>
          <option value="grey">grey</option>
          <option value="gradient">gradient + light</option>
        </select>
        <button onClick={() => setReset((n) => n + 1)}>reset view</button>
        <button data-testid="export-heightmap" onClick={exportHeightmap}>export heightmap</button>
      </div>
      <View
        key={tiled ? "tiled" : "seamless"}
        graph={graph}
        target={target}
        projection={projection}
        mode={mode}
        stats={stats}
        reset={reset}
        viewRef={viewRef}
        onShown={(values, pass) => setShown({ values, pass })}
        onUnder={setUnder}
        onTimings={setTiming}
        onError={(message, errors) => {
          setError(message);
          if (message) {
            setShown({ values: null, pass: "" });
            onErrors?.(errors);
          }
        }}
      />
      {error && (
        <div className="preview-error" data-testid="preview-error">
          {error}
        </div>
      )}
      <div className="figures" data-testid="stats" data-pass={shown.pass}>
        {stats && (
          <>
            min {stats.min.toPrecision(5)} · max {stats.max.toPrecision(5)} · mean {stats.mean.toPrecision(5)}
          </>
        )}
      </div>
      {stats && <Histogram stats={stats} />}
      <div className="figures" data-testid="under">
        {under || "point at the map for its value"}
      </div>
      <div className="figures" data-testid="timings">
        {timing && `${tiled ? "last tile" : "last pass"} ${timing.totalMs.toFixed(0)} ms (map ${timing.mapMs.toFixed(1)})`}
      </div>
      {notice && <div className="notice">{notice}</div>}
    </div>
  );
}
