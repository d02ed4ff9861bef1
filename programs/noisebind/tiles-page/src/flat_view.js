// The pyramid in Leaflet: the sphere in Leaflet's equirectangular CRS (level
// 0 is two tiles, as the pyramid's), a plane in pixels. Leaflet draws no 3D
// relief: the PNG tiles carry hill shading instead. With a terrain-RGB
// pyramid of the same graph under elevation/, the readout gives the height
// under the cursor.
import L from "leaflet";
import "leaflet/dist/leaflet.css";
import { ElevationReader } from "./elevation.js";

// Shows the view in `container`; returns what removes it.
export function showFlat(container, meta, elevationMeta, readout) {
  const sphere = meta.surface === "sphere";
  const crs = sphere ? L.CRS.EPSG4326 : L.CRS.Simple;
  // Leaflet's sphere is 512 x 256 pixels at its zoom 0; the plane is a unit
  // square, one pixel at zoom 0. A pyramid's level 0 is two tiles or one of
  // tileSize (a power of two).
  const leafletZoomOf = (level) =>
    level + Math.log2(sphere ? meta.tileSize / 256 : meta.tileSize);
  const map = L.map(container, {
    crs,
    minZoom: leafletZoomOf(meta.minzoom),
    maxZoom: leafletZoomOf(meta.maxzoom) + 2,
    attributionControl: false,
  });
  // The pyramid's extent: no tile is asked for beyond it.
  const extent = sphere ? [[-90, -180], [90, 180]] : [[-1, 0], [0, 1]];
  L.tileLayer("pyramid/{z}/{x}/{y}.png", {
    tileSize: meta.tileSize,
    zoomOffset: -leafletZoomOf(0),
    minNativeZoom: leafletZoomOf(meta.minzoom),
    maxNativeZoom: leafletZoomOf(meta.maxzoom),
    noWrap: true,
    bounds: extent,
  }).addTo(map);
  map.fitBounds(extent);
  const terrainRgb = (m) => !!m && m.format === "terrain-rgb";
  const elevation = terrainRgb(elevationMeta)
    ? new ElevationReader(elevationMeta, "elevation", crs)
    : terrainRgb(meta)
      ? new ElevationReader(meta, "pyramid", crs)
      : null;
  // The plane's bounds are x0, z0, x1, z1; its rows run from z0 at the top.
  const [x0, z0, x1, z1] = meta.bounds;
  const place = (latlng) =>
    sphere
      ? `${latlng.lat.toFixed(3)}°, ${latlng.lng.toFixed(3)}°`
      : `x ${(x0 + latlng.lng * (x1 - x0)).toFixed(4)}, z ${(z0 - latlng.lat * (z1 - z0)).toFixed(4)}`;
  readout.textContent = `${meta.name}: levels ${meta.minzoom} to ${meta.maxzoom}`;
  let latest = 0;
  map.on("mousemove", async (event) => {
    const ticket = ++latest;
    const height = elevation ? await elevation.heightAt(event.latlng, leafletZoomOf) : null;
    if (ticket !== latest) return;
    readout.textContent =
      place(event.latlng) + (height === null ? "" : ` · elevation ${height.toFixed(1)} m`);
    readout.dataset.height = height === null ? "" : String(height);
  });
  return () => {
    latest = -1;
    map.remove();
  };
}
