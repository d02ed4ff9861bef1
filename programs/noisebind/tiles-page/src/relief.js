// What the 3D view needs from the pyramids' metadata, kept apart from the
// page so that it can be checked without a browser.
//
// MapLibre reads terrain as Web Mercator tiles, 2^z x 2^z at level z: a
// plane pyramid's own layout, its rectangle laid over the whole Mercator
// square. A sphere pyramid is equirectangular (2^(z+1) x 2^z), which MapLibre
// cannot place, so it stays in the 2D view.

// Earth's circumference at the equator in metres: the width of MapLibre's
// world, over which the plane is laid.
export const WORLD_METRES = 2 * Math.PI * 6378137;

const isTerrainPlane = (meta) =>
  !!meta && meta.surface === "plane" && meta.format === "terrain-rgb" &&
  Array.isArray(meta.bounds) && meta.bounds.length === 4;

const sameBounds = (a, b) => a.every((value, i) => value === b[i]);

// How the 3D view shows these pyramids, or why it cannot:
// { dem, drape, why }: `dem` is the folder whose terrain-RGB tiles give the
// relief ("pyramid" or "elevation"), `drape` whether the pyramid's own
// coloured tiles are laid over it, and `why` (only when there is no view)
// the reason shown instead of the 3D button.
export function reliefPlan(meta, elevationMeta) {
  if (!meta) return { why: "no pyramid" };
  if (meta.surface !== "plane")
    return { why: "3D needs a plane pyramid: the sphere's tiles are equirectangular, not Web Mercator" };
  if (isTerrainPlane(meta)) return { dem: "pyramid", drape: false };
  if (isTerrainPlane(elevationMeta) && sameBounds(elevationMeta.bounds, meta.bounds))
    return { dem: "elevation", drape: true };
  return { why: "3D needs terrain-RGB tiles of the plane (--format terrain-rgb)" };
}

// The terrain's exaggeration at latitude `lat` of the map's centre, so that
// the graph's values from -1 to 1 (the range of most noise) rise through a
// tenth of the plane's extent: relief that reads in the first view of the
// whole plane, whatever its size and the pyramid's height scale (a plane
// whose rectangle is not square is stretched into Mercator's square world,
// its relief with it). MapLibre
// scales heights by the metres of Mercator's world at the centre, which
// shrink by cos(lat) towards the poles, hence the cosine. 1 when the
// metadata gives nothing to go by.
export const RELIEF = 0.1;

export function reliefExaggeration(meta, lat) {
  const heightScale = meta?.style?.heightScale;
  // The plane spans Mercator's world: metres of relief wanted over the
  // metres the values' range encodes.
  const exaggeration =
    (RELIEF * WORLD_METRES * Math.cos((lat * Math.PI) / 180)) / (2 * heightScale);
  return Number.isFinite(exaggeration) && exaggeration > 0 ? exaggeration : 1;
}

// A raster-dem source's encoding of terrain-RGB heights times `factor`.
// MapLibre shades hills from their slopes in its world's metres, in which a
// plane's relief, spread over the Earth's width, is too gentle to show: the
// shading reads the heights as the terrain shows them, exaggerated.
export function terrainRgbTimes(factor) {
  return {
    encoding: "custom",
    redFactor: 6553.6 * factor,
    greenFactor: 25.6 * factor,
    blueFactor: 0.1 * factor,
    baseShift: 10000 * factor,
  };
}

// The plane's point (x, z) at Mercator coordinates (mx, my), each 0 to 1
// across the world: columns run from x0 to x1, rows from z0 at the top.
export function planePoint(bounds, mx, my) {
  const [x0, z0, x1, z1] = bounds;
  return { x: x0 + mx * (x1 - x0), z: z0 + my * (z1 - z0) };
}
