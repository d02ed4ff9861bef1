// The grids of the studio's tiled previews, the tiles command's own: the
// sphere (level z is 2^(z+1) x 2^z tiles of the equirectangular globe) and
// a plane of fixed bounds (level z is 2^z x 2^z tiles of it), both in
// Leaflet's terms so that Leaflet's zoom z is level z in 256-pixel tiles.
import L from "leaflet";

export const TILE_SIZE = 256;

// The plane: x and z from -1024 to 1024, deep enough in levels (up to 30)
// for any view, wide enough for panning. Leaflet's lng is x, its lat is -z
// (z grows down the picture, as the other previews put it).
export const PLANE_BOUNDS = [-1024, 1024, -1024, 1024];
const PLANE_SCALE = TILE_SIZE / (PLANE_BOUNDS[1] - PLANE_BOUNDS[0]);

export const GRIDS = {
  plane: {
    surface: "plane",
    bounds: PLANE_BOUNDS,
    crs: L.extend({}, L.CRS.Simple, {
      transformation: new L.Transformation(PLANE_SCALE, -PLANE_BOUNDS[0] * PLANE_SCALE, -PLANE_SCALE, -PLANE_BOUNDS[2] * PLANE_SCALE),
    }),
    minZoom: 0,
    maxZoom: 30,
    limits: [[-PLANE_BOUNDS[3], PLANE_BOUNDS[0]], [-PLANE_BOUNDS[2], PLANE_BOUNDS[1]]],
    // x 0..4, z 0..4, as the previews have always started.
    start: [[-4, 0], [0, 4]],
    place: (latlng) => `x ${latlng.lng.toPrecision(6)}, z ${(-latlng.lat).toPrecision(6)}`,
    // The view as noise.planemap takes bounds: {x0, x1, z0, z1}.
    viewBounds: (b) => [b.getWest(), b.getEast(), -b.getNorth(), -b.getSouth()],
  },
  sphere: {
    surface: "sphere",
    crs: L.CRS.EPSG4326,
    // The whole globe in the preview's width: level 0 scaled down.
    minZoom: -1,
    maxZoom: 24,
    limits: [[-90, -180], [90, 180]],
    start: [[-90, -180], [90, 180]],
    place: (latlng) => `lat ${latlng.lat.toFixed(4)}, lon ${latlng.lng.toFixed(4)}`,
    // As noise.spheremap takes bounds: {south, north, west, east}.
    viewBounds: (b) => [
      Math.max(-90, b.getSouth()), Math.min(90, b.getNorth()),
      Math.max(-180, b.getWest()), Math.min(180, b.getEast()),
    ],
  },
};

// What the server is asked for tile (z, x, y) of a grid.
export function tileOf(grid, coords) {
  const tile = { surface: grid.surface, z: coords.z, x: coords.x, y: coords.y, size: TILE_SIZE };
  if (grid.surface === "plane") tile.bounds = grid.bounds;
  return tile;
}

// The value at `latlng` in the fetched tiles of `level`, or undefined.
export function valueAt(map, tiles, latlng, level) {
  const point = map.project(latlng, level);
  const x = Math.floor(point.x / TILE_SIZE);
  const y = Math.floor(point.y / TILE_SIZE);
  const tile = tiles.get(`${level}/${x}/${y}`);
  if (!tile) return undefined;
  const px = Math.min(TILE_SIZE - 1, Math.floor(point.x - x * TILE_SIZE));
  const py = Math.min(TILE_SIZE - 1, Math.floor(point.y - y * TILE_SIZE));
  return tile.values[(py + 1) * tile.side + px + 1];
}
