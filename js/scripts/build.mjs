// Makes the package's modules from lib/core.js: dist/index.mjs (ES module),
// dist/index.cjs (CommonJS) and dist/korvane.global.js (a classic script for
// pages, which also works from file://, where Chromium loads no modules), and
// dist/korvane-wasm.global.js, the .wasm as base64 for such a page; and copies
// the repository's LICENSE and NOTICE beside package.json, where npm packs
// them (it leaves symbolic links out). Run by scripts/build-wasm.sh after the
// .wasm is built.
import { readFileSync, writeFileSync, copyFileSync } from "node:fs";

const here = new URL("..", import.meta.url);
const core = readFileSync(new URL("lib/core.js", here), "utf8");
const names = ["KorvaneError", "init", "initSync", "toSVG", "toPDF", "toEPS", "toPNG", "toEMF", "toBMP",
  "toFormat", "encode", "verify", "grade", "sheet", "symbologies", "encodeOptions", "layoutOptions", "version",
  "gs1Check", "gs1DigitalLink", "gs1FromDigitalLink", "gs1Hri"];

const nodeReaders = (fs, besidePath, besideUrl) => `
function isRemote(s) { return /^(https?|data|blob):/i.test(String(s)); }
const ENVIRONMENT = {
  readBeside(name) {
    const fs = ${fs};
    if (!fs) return undefined;
    try { return fs.readFileSync(${besidePath}); } catch { return undefined; }
  },
  urlBeside(name) { return ${besideUrl}; },
  readPath(source) {
    const fs = ${fs};
    if (!fs || isRemote(source)) return undefined;
    return fs.readFileSync(/^file:/i.test(String(source)) ? new URL(String(source)) : source);
  },
};
`;

const esm = nodeReaders(
  `(import.meta.url.startsWith("file:") && globalThis.process?.getBuiltinModule?.("node:fs"))`,
  `new URL(name, import.meta.url)`, `new URL(name, import.meta.url)`) +
  core + `\nexport { ${names.join(", ")} };\n`;

const cjs = `"use strict";\n` + nodeReaders(`require("node:fs")`, `require("node:path").join(__dirname, name)`,
  `require("node:url").pathToFileURL(require("node:path").join(__dirname, name))`) +
  core + `\nmodule.exports = { ${names.join(", ")} };\n`;

const global = `(function () {
"use strict";
const script = typeof document !== "undefined" && document.currentScript ? document.currentScript.src : "";
const ENVIRONMENT = {
  readBeside() {
    const b64 = globalThis.KORVANE_WASM_BASE64;
    if (typeof b64 !== "string") return undefined;
    const text = atob(b64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    return bytes;
  },
  urlBeside(name) { return new URL(name, script || location.href); },
  readPath() { return undefined; },
};
${core}
globalThis.korvane = { ${names.join(", ")} };
})();
`;

const dist = new URL("dist/", here);
writeFileSync(new URL("index.mjs", dist), esm);
writeFileSync(new URL("index.cjs", dist), cjs);
writeFileSync(new URL("korvane.global.js", dist), global);
copyFileSync(new URL("lib/index.d.ts", here), new URL("index.d.ts", dist));
copyFileSync(new URL("lib/index.d.ts", here), new URL("index.d.cts", dist));
const wasm = readFileSync(new URL("korvane.wasm", dist));
writeFileSync(new URL("korvane-wasm.global.js", dist),
  `// korvane.wasm as base64, for pages opened from file://\nglobalThis.KORVANE_WASM_BASE64 = "${wasm.toString("base64")}";\n`);
for (const name of ["LICENSE", "NOTICE"]) copyFileSync(new URL(`../${name}`, here), new URL(name, here));
