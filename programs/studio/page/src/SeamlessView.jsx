// The seamless preview: a plane that tiles is a whole-view map (each value
// blends the view's own extent), so the server computes the whole view per
// request, a coarse pass first then the full one, each new request
// aborting the one before (the server cancels it too). Pan by dragging,
// zoom with the wheel.
import { useEffect, useRef, useState } from "react";
import * as api from "./api.js";
import { paint } from "./render.js";

const START = [0, 4, 0, 4];
const SIZE = 256;

// Screen axes to bounds: x across and z down.
function pan(bounds, dx, dy) {
  const [a0, a1, b0, b1] = bounds;
  const sx = -dx * (a1 - a0);
  const sz = -dy * (b1 - b0);
  return [a0 + sx, a1 + sx, b0 + sz, b1 + sz];
}

function zoom(bounds, fx, fy, factor) {
  const [a0, a1, b0, b1] = bounds;
  const scale = (from, to, f) => {
    const at = from + (to - from) * f;
    return [at - (at - from) * factor, at + (to - at) * factor];
  };
  return [...scale(a0, a1, fx), ...scale(b0, b1, fy)];
}

export default function SeamlessView({ graph, target, mode, stats, reset, onShown, onUnder, onTimings, onError, viewRef }) {
  const [bounds, setBounds] = useState(START);
  const [shown, setShown] = useState(null);
  const canvas = useRef(null);
  const drag = useRef(null);
  const callbacks = useRef({});
  callbacks.current = { onShown, onUnder, onTimings, onError };
  const view = (side) => ({ projection: "seamless", bounds, width: side, height: side });
  viewRef.current = () => view(SIZE);

  useEffect(() => setBounds(START), [reset]);

  // Each change of the graph, target or view: coarse, then full.
  useEffect(() => {
    if (!graph || !target) return undefined;
    const controller = new AbortController();
    const run = async () => {
      try {
        const coarse = await api.preview({ graph, target, view: view(SIZE / 4) }, controller.signal);
        setShown(coarse);
        callbacks.current.onShown(coarse.values, "coarse");
        callbacks.current.onTimings(coarse);
        const full = await api.preview({ graph, target, view: view(SIZE) }, controller.signal);
        setShown(full);
        callbacks.current.onShown(full.values, "full");
        callbacks.current.onTimings(full);
        callbacks.current.onError(null, []);
      } catch (e) {
        if (e.name === "AbortError" || e.status === 409) return;
        setShown(null);
        callbacks.current.onShown(null, "");
        callbacks.current.onError(e.message, e.errors || []);
      }
    };
    const timer = setTimeout(run, 30);
    return () => {
      clearTimeout(timer);
      controller.abort();
    };
  }, [graph, JSON.stringify(target), JSON.stringify(bounds)]);

  useEffect(() => {
    if (!canvas.current) return;
    const context = canvas.current.getContext("2d");
    if (!shown || !stats) {
      context.clearRect(0, 0, canvas.current.width, canvas.current.height);
      return;
    }
    canvas.current.width = shown.width;
    canvas.current.height = shown.height;
    context.putImageData(paint(shown.values, shown.width, shown.height, mode, stats), 0, 0);
  }, [shown, mode, stats]);

  const fraction = (e) => {
    const box = canvas.current.getBoundingClientRect();
    return [(e.clientX - box.left) / box.width, (e.clientY - box.top) / box.height];
  };
  const onMove = (e) => {
    const [fx, fy] = fraction(e);
    if (drag.current) {
      const [px, py] = drag.current;
      drag.current = [fx, fy];
      setBounds((b) => pan(b, fx - px, fy - py));
      return;
    }
    if (!shown) return;
    const x = Math.min(shown.width - 1, Math.max(0, Math.floor(fx * shown.width)));
    const y = Math.min(shown.height - 1, Math.max(0, Math.floor(fy * shown.height)));
    onUnder(`(${x}, ${y}) = ${shown.values[y * shown.width + x]}`);
  };
  const onWheel = (e) => {
    const [fx, fy] = fraction(e);
    setBounds((b) => zoom(b, fx, fy, e.deltaY > 0 ? 1.25 : 0.8));
  };

  return (
    <>
      <canvas
        ref={canvas}
        data-testid="preview"
        className="preview-canvas"
        onMouseDown={(e) => (drag.current = fraction(e))}
        onMouseUp={() => (drag.current = null)}
        onMouseLeave={() => {
          drag.current = null;
          onUnder(null);
        }}
        onMouseMove={onMove}
        onWheel={onWheel}
      />
      <div className="figures">bounds {bounds.map((b) => Number(b.toPrecision(6))).join(", ")}</div>
    </>
  );
}
