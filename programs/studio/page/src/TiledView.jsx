// The plane and sphere previews as web maps draw them: Leaflet lays out the
// tiles of the view, the server samples each as the tiles command does,
// and the page colours the values (so a change of colours repaints without
// asking the server again). Fetched tiles are kept while the graph stays
// the same: panning asks for the new tiles only; between levels Leaflet
// scales the nearest one. An edit of the graph drops every tile, aborts
// the requests under way and gives the server a newer version, which
// cancels the older tiles still running there.
import { useEffect, useRef } from "react";
import L from "leaflet";
import "leaflet/dist/leaflet.css";
import * as api from "./api.js";
import { paintTile } from "./render.js";
import { GRIDS, TILE_SIZE, tileOf, valueAt } from "./tiles.js";

// The values of the fetched tiles of `level` at the pixels the view shows.
function shownValues(map, tiles, level) {
  const view = map.getPixelBounds(map.getCenter(), level);
  const from = (edge, origin) => Math.max(0, Math.min(TILE_SIZE, Math.floor(edge - origin)));
  const values = [];
  for (const tile of tiles.values()) {
    const { x, y, z } = tile.coords;
    if (z !== level) continue;
    const x0 = from(view.min.x, x * TILE_SIZE);
    const x1 = from(view.max.x, x * TILE_SIZE);
    const y0 = from(view.min.y, y * TILE_SIZE);
    const y1 = from(view.max.y, y * TILE_SIZE);
    for (let row = y0; row < y1; ++row) {
      for (let column = x0; column < x1; ++column) values.push(tile.values[(row + 1) * tile.side + column + 1]);
    }
  }
  return values;
}

export default function TiledView({ graph, target, projection, mode, stats, reset, onShown, onUnder, onTimings, onError, viewRef }) {
  const holder = useRef(null);
  const state = useRef({ version: 0 });
  // What the tiles are made of, read by the layer when it makes one.
  state.current.graph = graph;
  state.current.target = target;
  state.current.mode = mode;
  state.current.stats = stats;
  const callbacks = useRef({});
  callbacks.current = { onShown, onUnder, onTimings, onError };

  // The map and its layer, anew for each projection.
  useEffect(() => {
    const grid = GRIDS[projection];
    const own = state.current;
    const map = L.map(holder.current, {
      crs: grid.crs,
      minZoom: grid.minZoom,
      maxZoom: grid.maxZoom,
      zoomSnap: 0,
      wheelPxPerZoomLevel: 120,
      maxBounds: grid.limits,
      maxBoundsViscosity: 1,
      attributionControl: false,
      zoomControl: false,
    });
    const level = () => Math.max(0, Math.min(grid.maxZoom, Math.round(map.getZoom())));
    const report = () => {
      if (!own.layer) return;
      const values = shownValues(map, own.layer.tiles, level());
      callbacks.current.onShown(values.length ? values : null, own.loading ? "loading" : "full");
    };
    // A layer of one version of the graph; a newer one is laid over it and
    // the older removed once the newer has its tiles (Leaflet's redraw
    // would leave a fractional zoom as the tiles' level).
    const Layer = L.GridLayer.extend({
      createTile(coords, done) {
        const canvas = L.DomUtil.create("canvas");
        canvas.width = canvas.height = TILE_SIZE;
        const layer = this;
        if (layer !== own.layer) {
          setTimeout(() => done(new Error("an older graph"), canvas), 0);
          return canvas;
        }
        const key = `${coords.z}/${coords.x}/${coords.y}`;
        const controller = new AbortController();
        layer.requests.set(key, controller);
        const request = { graph: own.graph, target: own.target, tile: tileOf(grid, coords), version: layer.version };
        api.tile(request, controller.signal).then(
          (reply) => {
            layer.requests.delete(key);
            const tile = { ...reply, coords, canvas };
            layer.tiles.set(key, tile);
            canvas.getContext("2d").putImageData(paintTile(reply.values, reply.side, own.mode, own.stats || {}), 0, 0);
            callbacks.current.onTimings(reply);
            callbacks.current.onError(null, []);
            done(null, canvas);
          },
          (error) => {
            layer.requests.delete(key);
            if (error.name !== "AbortError" && error.status !== 409) {
              callbacks.current.onError(error.message, error.errors || []);
            }
            done(error, canvas);
          },
        );
        return canvas;
      },
    });
    const dropLayer = (layer) => {
      for (const controller of layer.requests.values()) controller.abort();
      layer.requests.clear();
      layer.tiles.clear();
      map.removeLayer(layer);
    };
    own.newLayer = () => {
      const older = own.layer;
      const layer = new Layer({ tileSize: TILE_SIZE, noWrap: true, bounds: grid.limits, keepBuffer: 2,
        minZoom: grid.minZoom, maxZoom: grid.maxZoom, minNativeZoom: 0, maxNativeZoom: grid.maxZoom });
      layer.version = ++own.version;
      layer.tiles = new Map();
      layer.requests = new Map();
      layer.on("tileunload", (e) => {
        const key = `${e.coords.z}/${e.coords.x}/${e.coords.y}`;
        layer.requests.get(key)?.abort();
        layer.requests.delete(key);
        layer.tiles.delete(key);
      });
      layer.on("loading", () => {
        own.loading = true;
        report();
      });
      layer.on("load", () => {
        if (older && own.map?.hasLayer(older)) dropLayer(older);
        own.loading = false;
        report();
      });
      own.layer = layer;
      // The older one's requests are of an older version: the server
      // cancels them anyway.
      if (older) for (const controller of older.requests.values()) controller.abort();
      layer.addTo(map);
    };
    map.on("moveend", report);
    map.on("mousemove", (e) => {
      const value = own.layer ? valueAt(map, own.layer.tiles, e.latlng, level()) : undefined;
      callbacks.current.onUnder(value === undefined ? null : `${grid.place(e.latlng)} = ${value}`);
    });
    map.on("mouseout", () => callbacks.current.onUnder(null));
    map.fitBounds(grid.start);
    own.map = map;
    own.newLayer();
    // The view as the whole-view export takes it.
    viewRef.current = () => {
      const size = map.getSize();
      return { projection, bounds: grid.viewBounds(map.getBounds()), width: size.x, height: size.y };
    };
    // What the browser test compares with a map made in Lua: a tile shown.
    window.studioTile = () => [...own.layer.tiles.values()].find((t) => t.coords.z === level());
    return () => {
      map.eachLayer((layer) => layer.requests && dropLayer(layer));
      map.remove();
      own.map = own.layer = own.newLayer = null;
    };
  }, [projection]);

  // A new graph or target: a newer version, every tile made again.
  const first = useRef(true);
  useEffect(() => {
    if (first.current) {
      first.current = false;
      return undefined;
    }
    const timer = setTimeout(() => state.current.newLayer?.(), 30);
    return () => clearTimeout(timer);
  }, [graph, JSON.stringify(target)]);

  // Other colours: the same values painted again.
  useEffect(() => {
    for (const tile of state.current.layer?.tiles.values() || []) {
      tile.canvas.getContext("2d").putImageData(paintTile(tile.values, tile.side, mode, stats || {}), 0, 0);
    }
  }, [mode, mode === "grey" && stats ? `${stats.min},${stats.max}` : ""]);

  useEffect(() => {
    if (reset) state.current.map?.fitBounds(GRIDS[projection].start);
  }, [reset]);

  return <div ref={holder} data-testid="preview" className={`preview-map ${projection}`} />;
}
