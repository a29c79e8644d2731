// The web page as one file that works opened from disk, offline: page.js,
// x86ident.js and the WASI shim bundled by esbuild into one inline module,
// x86ident-replay.wasm embedded in it (esbuild's binary loader, decoded in
// place: no fetch of any kind), page.css inline, and a Content-Security-Policy
// that allows these two inline pieces by their hashes and nothing else.
//
//   node web/bundle.mjs NPM_DIR PAGE_DIR OUT.html
//
// PAGE_DIR is the served page (index.html, page.css, page.js, x86ident.js,
// x86ident-replay.wasm, browser_wasi_shim/), so both come from one source.
import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join, resolve } from "node:path";

const [npmDir, pageDir, out] = process.argv.slice(2).map((path) => resolve(path));
const esbuild = createRequire(join(npmDir, "package.json"))("esbuild");

// wasm_bytes.js says where the .wasm comes from: here, from the bundle.
const embedWasm = {
  name: "embed-wasm",
  setup(build) {
    build.onResolve({ filter: /\/wasm_bytes\.js$/ }, () => ({ path: "wasm_bytes", namespace: "embed-wasm" }));
    build.onLoad({ filter: /.*/, namespace: "embed-wasm" }, () => ({
      contents: 'import bytes from "./x86ident-replay.wasm"; export const embedded = bytes;',
      resolveDir: pageDir,
      loader: "js",
    }));
  },
};

const bundled = await esbuild.build({
  entryPoints: [join(pageDir, "page.js")],
  bundle: true,
  format: "esm",
  minify: true,
  legalComments: "none",
  charset: "utf8",
  write: false,
  loader: { ".wasm": "binary" },
  plugins: [embedWasm],
  logLevel: "error",
});
const script = bundled.outputFiles[0].text.trimEnd();
const style = readFileSync(join(pageDir, "page.css"), "utf8");
if (/<\/(script|style)/i.test(script + style)) throw new Error("an inline piece would end its element early");

const hash = (text) => `'sha256-${createHash("sha256").update(text, "utf8").digest("base64")}'`;
const policy = `default-src 'none'; script-src ${hash(script)} 'wasm-unsafe-eval'; style-src ${hash(style)}; ` +
  "base-uri 'none'; form-action 'none'";

let html = readFileSync(join(pageDir, "index.html"), "utf8");
const replaced = (text, from, to) => {
  if (!text.includes(from)) throw new Error(`index.html has no ${from}`);
  return text.replace(from, () => to);
};
html = replaced(html, html.match(/<meta http-equiv="Content-Security-Policy"[^>]*>/)?.[0] ?? "<CSP meta>",
  `<meta http-equiv="Content-Security-Policy" content="${policy}">`);
html = replaced(html, '<link rel="stylesheet" href="page.css">', `<style>${style}</style>`);
html = replaced(html, '<script type="module" src="page.js"></script>', `<script type="module">${script}</script>`);
writeFileSync(out, html);
console.log(`${out}: ${Buffer.byteLength(html)} bytes`);
