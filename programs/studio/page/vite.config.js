// The page is served by the studio server from the folder it is built into
// (given by STUDIO_PAGE_OUT, the build tree's programs/studio/page by default).
import { defineConfig } from "vite";

export default defineConfig({
  base: "./",
  esbuild: { jsx: "automatic" },
  build: {
    outDir: process.env.STUDIO_PAGE_OUT || "../../../build/programs/studio/page",
    emptyOutDir: true,
    chunkSizeWarningLimit: 1000,
    rollupOptions: {
      // React Flow marks itself "use client" for server rendering, which a page has none of.
      onwarn(warning, warn) {
        if (warning.code !== "MODULE_LEVEL_DIRECTIVE") warn(warning);
      },
    },
  },
});
