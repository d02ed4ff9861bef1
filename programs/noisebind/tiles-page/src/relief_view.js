// A plane pyramid in 3D with MapLibre GL JS: its terrain-RGB tiles as the
// terrain (a raster-dem source: the plane's z/x/y layout is Web Mercator's,
// the plane laid over the whole Mercator square), hill shading, and colour
// from the pyramid's own coloured tiles or, for a terrain-RGB pyramid alone,
// from a colour relief of the heights. Drag to pan, scroll to zoom, drag with
// the right button (or ctrl) to tilt and rotate. The readout gives the height
// the DEM's deepest level encodes under the cursor.
import maplibregl from "maplibre-gl";
import "maplibre-gl/dist/maplibre-gl.css";
import { ElevationReader } from "./elevation.js";
import { planePoint, reliefExaggeration, terrainRgbTimes } from "./relief.js";

// The terrain gradient of `noisebind tiles` (its default for PNG tiles), in
// the graph's values: multiplied by the height scale for metres.
const GRADIENT = [
  [-1.0, "#0a146e"], [-0.3, "#143cbe"], [0.0, "#3282e6"], [0.04, "#e1d778"],
  [0.12, "#3c9628"], [0.4, "#96aa3c"], [0.7, "#786e64"], [0.95, "#f5f5fa"],
];

const PITCH = 60;
// The whole Mercator square, which the plane covers: no tile is asked for
// beyond it (MapLibre would, for the neighbours of edge tiles).
const WORLD = [-180, -85.051129, 180, 85.051129];

function style(meta, demMeta, plan, base) {
  const dem = (encoding) => ({
    type: "raster-dem",
    tiles: [`${base}${plan.dem}/{z}/{x}/{y}.png`],
    tileSize: demMeta.tileSize,
    minzoom: demMeta.minzoom,
    maxzoom: demMeta.maxzoom,
    bounds: WORLD,
    ...encoding,
  });
  const heightScale = demMeta.style.heightScale;
  const colour = plan.drape
    ? { id: "colour", type: "raster", source: "colour", paint: { "raster-fade-duration": 0 } }
    : {
        id: "colour",
        type: "color-relief",
        source: "heights",
        paint: {
          "color-relief-color": [
            "interpolate", ["linear"], ["elevation"],
            ...GRADIENT.flatMap(([value, colour]) => [value * heightScale, colour]),
          ],
        },
      };
  // Terrain, colour and shading read the same tiles through sources of their
  // own, as MapLibre asks (one source serving several is drawn coarser). The
  // shading's heights are exaggerated as the terrain's are at the equator,
  // over 64: MapLibre's shading already steepens slopes seen from afar, and
  // the full factor turns every slope black or white.
  const mapbox = { encoding: "mapbox" };
  const sources = { terrain: dem(mapbox) };
  if (!plan.drape) {
    sources.heights = dem(mapbox);
    sources.shade = dem(terrainRgbTimes(reliefExaggeration(demMeta, 0) / 64));
  } else {
    sources.colour = {
      type: "raster",
      tiles: [`${base}pyramid/{z}/{x}/{y}.png`],
      tileSize: meta.tileSize,
      minzoom: meta.minzoom,
      maxzoom: meta.maxzoom,
      bounds: WORLD,
    };
  }
  return {
    version: 8,
    sources,
    layers: [
      { id: "background", type: "background", paint: { "background-color": "#223" } },
      colour,
      // The coloured tiles carry their own light; the colour relief has none.
      ...(plan.drape
        ? []
        : [{ id: "shade", type: "hillshade", source: "shade", paint: { "hillshade-exaggeration": 0.4 } }]),
    ],
    terrain: { source: "terrain", exaggeration: reliefExaggeration(demMeta, 0) },
  };
}

// Shows the view in `container`; returns what removes it.
export function showRelief(container, meta, demMeta, plan, readout) {
  const base = new URL(".", window.location.href).href;
  const map = new maplibregl.Map({
    container,
    style: style(meta, demMeta, plan, base),
    center: [0, 0],
    zoom: Math.log2(Math.min(container.clientWidth, container.clientHeight) / 512) + 0.5,
    pitch: PITCH,
    bearing: -20,
    maxPitch: 80,
    renderWorldCopies: false,
    attributionControl: false,
  });
  map.addControl(new maplibregl.NavigationControl({ visualizePitch: true }), "top-left");
  // Heights keep the plane's proportions wherever the view is centred.
  map.on("moveend", () => {
    const exaggeration = reliefExaggeration(demMeta, map.getCenter().lat);
    const terrain = map.getTerrain();
    if (terrain && Math.abs(terrain.exaggeration / exaggeration - 1) > 0.02)
      map.setTerrain({ source: "terrain", exaggeration });
  });
  const elevation = new ElevationReader(demMeta, plan.dem, null);
  const across = 2 ** demMeta.maxzoom * demMeta.tileSize;
  // Digits enough to tell the deepest level's pixels apart (toFixed takes up
  // to 100).
  const pixel = Math.abs(meta.bounds[2] - meta.bounds[0]) / across;
  const digits = Math.min(20, Math.max(4, Math.ceil(-Math.log10(pixel)) + 1 || 4));
  readout.textContent = `${meta.name}: levels ${meta.minzoom} to ${meta.maxzoom}, in 3D`;
  let latest = 0;
  map.on("mousemove", async (event) => {
    const ticket = ++latest;
    const mercator = maplibregl.MercatorCoordinate.fromLngLat(event.lngLat);
    const sample = await elevation.sampleAt(mercator.x * across, mercator.y * across);
    if (ticket !== latest) return;
    const point = planePoint(meta.bounds, mercator.x, mercator.y);
    readout.textContent =
      `x ${point.x.toFixed(digits)}, z ${point.z.toFixed(digits)}` +
      (sample ? ` · elevation ${sample.height.toFixed(1)} m` : "");
    Object.assign(readout.dataset, {
      height: sample ? String(sample.height) : "",
      pixel: sample ? `${demMeta.maxzoom}/${sample.column}/${sample.row}` : "",
      x: String(point.x),
      z: String(point.z),
    });
  });
  container.dataset.pitch = "";
  map.on("idle", () => {
    container.dataset.pitch = String(map.getPitch());
    container.dataset.terrain = map.getTerrain() ? "on" : "";
  });
  return () => {
    latest = -1;
    map.remove();
    delete container.dataset.pitch;
    delete container.dataset.terrain;
  };
}
