// The map page of `noisebind tiles serve`: the server gives the pyramid under
// pyramid/ and, when asked, a terrain-RGB pyramid of the same graph under
// elevation/. A plane with terrain-RGB tiles can be seen in 3D (MapLibre,
// the button at the top right, or #3d in the address); everything else, and
// the sphere always, in 2D (Leaflet).
import "./page.css";
import { showFlat } from "./flat_view.js";
import { reliefPlan } from "./relief.js";

async function json(url) {
  const response = await fetch(url);
  return response.ok ? response.json() : null;
}

async function main() {
  const readout = document.getElementById("readout");
  const container = document.getElementById("map");
  const toggle = document.getElementById("view");
  const [meta, elevationMeta] = await Promise.all([
    json("pyramid/tiles.json"),
    json("elevation/tiles.json"),
  ]);
  if (!meta) {
    readout.textContent = "no pyramid: pyramid/tiles.json is missing";
    return;
  }
  const plan = reliefPlan(meta, elevationMeta);
  toggle.hidden = !plan.dem;
  // Why there is no 3D, on hovering the readout.
  readout.title = plan.why ?? "";
  let remove = null;
  let shown = 0;
  const show = async () => {
    const ticket = ++shown;
    if (remove) remove();
    remove = null;
    container.replaceChildren();
    delete readout.dataset.height;
    const relief = !!plan.dem && window.location.hash === "#3d";
    toggle.textContent = relief ? "2D" : "3D";
    document.body.dataset.view = relief ? "3d" : "2d";
    if (!relief) {
      remove = showFlat(container, meta, elevationMeta, readout);
      return;
    }
    // MapLibre is large: loaded only for the 3D view.
    const { showRelief } = await import("./relief_view.js");
    if (ticket !== shown) return;
    remove = showRelief(container, meta, plan.dem === "pyramid" ? meta : elevationMeta, plan,
      readout);
  };
  toggle.addEventListener("click", () => {
    window.location.hash = window.location.hash === "#3d" ? "" : "#3d";
  });
  window.addEventListener("hashchange", show);
  show();
}

main();
