// The korvane package: the library compiled to WebAssembly (korvane.wasm,
// beside this file), loaded without emscripten's JavaScript so that it runs
// under a strict Content Security Policy (no eval, no workers, no network of
// ours) in browsers and in Node. One copy of this file is made into the
// ES module, the CommonJS module and the page's classic script
// (js/scripts/build.mjs); ENVIRONMENT below is what differs between them.

const ACTIONS = { encode: 0, svg: 1, pdf: 2, eps: 3, png: 4, emf: 5, bmp: 6, verify: 7, grade: 8 };

/** An error of the library: `code` ("invalid-data", "check-digit", ...),
 *  `position` (1-based, of the character the message names, or null). */
class KorvaneError extends Error {
  constructor(message, code, position = null) {
    super(message);
    this.name = "KorvaneError";
    this.code = code;
    this.position = position;
  }
}

let wasm = null; // the instance's exports once loaded
let loading = null;

function imports() {
  let tempRet0 = 0;
  const nosys = () => 52; // ENOSYS: the library writes no files here
  return {
    env: {
      emscripten_notify_memory_growth() {},
      setTempRet0(v) { tempRet0 = v; },
      getTempRet0() { return tempRet0; },
    },
    wasi_snapshot_preview1: {
      proc_exit(status) { throw new Error(`korvane.wasm stopped (${status})`); },
      fd_close: nosys,
      fd_read: nosys,
      fd_seek: nosys,
      fd_write(fd, iov, iovcnt, written) {
        // Nothing in the library prints; count what would have gone out.
        const view = new DataView(wasm.memory.buffer);
        let n = 0;
        for (let i = 0; i < iovcnt; i++) n += view.getUint32(iov + 8 * i + 4, true);
        view.setUint32(written, n, true);
        return 0;
      },
      environ_sizes_get(count, size) {
        const view = new DataView(wasm.memory.buffer);
        view.setUint32(count, 0, true);
        view.setUint32(size, 0, true);
        return 0;
      },
      environ_get() { return 0; },
    },
  };
}

function started(instance) {
  wasm = instance.exports;
  wasm._initialize();
}

function bytesOf(source) {
  if (source instanceof Uint8Array) return source;
  if (source instanceof ArrayBuffer) return new Uint8Array(source);
  if (ArrayBuffer.isView(source)) return new Uint8Array(source.buffer, source.byteOffset, source.byteLength);
  return null;
}

/** Loads the module synchronously from bytes or a compiled WebAssembly.Module;
 *  in Node with no argument, from korvane.wasm beside this file. Browsers
 *  compile large modules only asynchronously: use init() there. */
function initSync(source) {
  if (wasm) return;
  if (source === undefined) source = ENVIRONMENT.readBeside("korvane.wasm");
  if (source === undefined) throw new Error("korvane: call await init() (or init(url)) first");
  const module = source instanceof WebAssembly.Module ? source : new WebAssembly.Module(bytesOf(source));
  started(new WebAssembly.Instance(module, imports()));
}

/** Loads the module: from `source` (a URL or path, a Response, bytes or a
 *  WebAssembly.Module) or else from korvane.wasm beside this file. Calling it
 *  again returns the first load. */
function init(source) {
  if (wasm) return Promise.resolve();
  if (loading) return loading;
  loading = (async () => {
    if (source === undefined) {
      const beside = ENVIRONMENT.readBeside("korvane.wasm");
      source = beside !== undefined ? beside : ENVIRONMENT.urlBeside("korvane.wasm");
    }
    if (typeof source === "string" || source instanceof URL) {
      const local = ENVIRONMENT.readPath(source);
      source = local !== undefined ? local : await fetch(source);
    }
    let result;
    if (typeof Response !== "undefined" && source instanceof Response) {
      if (!source.ok) throw new Error(`korvane: cannot load korvane.wasm (${source.status} ${source.url})`);
      result = WebAssembly.instantiateStreaming
        ? await WebAssembly.instantiateStreaming(source.clone(), imports()).catch(async () =>
            WebAssembly.instantiate(await source.arrayBuffer(), imports()))
        : await WebAssembly.instantiate(await source.arrayBuffer(), imports());
    } else if (source instanceof WebAssembly.Module) {
      result = { instance: await WebAssembly.instantiate(source, imports()) };
    } else {
      result = await WebAssembly.instantiate(bytesOf(source), imports());
    }
    if (!wasm) started(result.instance);
  })();
  loading.catch(() => { loading = null; });
  return loading;
}

function ready() {
  if (!wasm) initSync();
}

const encoder = new TextEncoder();
const decoder = new TextDecoder();

// Options the library takes besides the encoder's table: layout ones, named
// here as JavaScript spells them.
const LENGTHS = { xDim: "mm", height: "mm", bwr: "mm", fontSize: "mm", quietZone: "modules" };

function kebab(name) {
  return name.replace(/[A-Z]/g, (c) => "-" + c.toLowerCase());
}

// A colour as the library takes it: strings as typed ("RRGGBB", "none",
// "cmyk:C,M,Y,K", a name: the library parses them for every front end alike),
// [r, g, b(, a)] as "#RRGGBBAA".
function colour(name, value) {
  if (typeof value === "string") return optionValue(name, value);
  if (Array.isArray(value) && (value.length === 3 || value.length === 4)) {
    const c = [...value, 255].slice(0, 4);
    if (c.every((v) => Number.isInteger(v) && v >= 0 && v <= 255))
      return "#" + c.map((v) => v.toString(16).padStart(2, "0")).join("");
  }
  throw new KorvaneError(`${name}: ${JSON.stringify(value)} is not a colour: give "RRGGBB", "RRGGBBAA", "none", ` +
    `"cmyk:C,M,Y,K", a name or [r, g, b, a]`, "invalid-option");
}

function optionValue(name, value) {
  if (typeof value === "boolean") return value ? "1" : "0";
  if (typeof value === "number") {
    if (!Number.isFinite(value)) throw new KorvaneError(`${name}: ${value} is not a number`, "invalid-option");
    return String(value);
  }
  if (Array.isArray(value)) return value.map((v) => optionValue(name, v)).join(",");
  if (value !== null && typeof value === "object")  // pdfMacro: fields as field=value pairs
    return Object.entries(value).map(([k, v]) => kebab(k) + "=" + optionValue(name, v)).join("\u001f");
  if (typeof value === "string") {
    if (value.includes("\0")) throw new KorvaneError(`${name}: the value holds a NUL character`, "invalid-option");
    return value;
  }
  throw new TypeError(`korvane: option ${name} cannot be ${value === null ? "null" : typeof value}`);
}

// name\0value\0 pairs for the library; `symbology` and `data` go apart.
function optionText(options) {
  let text = "";
  for (const key of Object.keys(options)) {
    const value = options[key];
    if (key === "symbology" || key === "data" || key === "onWarning" || value === undefined) continue;
    let v;
    if (key === "fg" || key === "bg") v = colour(key, value);
    else if (key === "dpi" && value === null) v = "none";
    else if (key in LENGTHS && typeof value === "number") v = String(value); // bare numbers: mm, modules for quiet zones
    else v = optionValue(key, value);
    text += kebab(key) + "\0" + v + "\0";
  }
  return text;
}

// The 1-based position a message names ("... at position 3 ..."), or null.
function positionOf(message) {
  const m = / at position (\d+)/.exec(message);
  return m ? Number(m[1]) : null;
}

function answer() {
  return new Uint8Array(wasm.memory.buffer, wasm.kvjs_out(), wasm.kvjs_out_length());
}

function cString(ptr) {
  const bytes = new Uint8Array(wasm.memory.buffer, ptr);
  return decoder.decode(bytes.subarray(0, bytes.indexOf(0)));
}

function failure(status) {
  const message = decoder.decode(answer());
  return new KorvaneError(message, cString(wasm.kvjs_error_name(status)), positionOf(message));
}

// Copies `parts` (strings, as UTF-8, or byte arrays) into the module's
// memory and calls run(address, length, address, length, ...) on them.
// Strings are encoded in place, into room for three bytes a code unit.
function withBytes(parts, run) {
  let room = 0;
  for (const p of parts) room += typeof p === "string" ? 3 * p.length : p.length;
  const base = wasm.malloc(Math.max(room, 1));
  if (!base) throw new KorvaneError("out of memory", "size-too-large");
  try {
    const memory = new Uint8Array(wasm.memory.buffer);
    const args = [];
    let at = base;
    for (const p of parts) {
      let length = p.length;
      if (typeof p === "string") length = encoder.encodeInto(p, memory.subarray(at, at + 3 * p.length)).written;
      else memory.set(p, at);
      args.push(at, length);
      at += length;
    }
    const status = run(...args);
    if (status !== 0) throw failure(status);
  } finally {
    wasm.free(base);
  }
}

// The symbology (NUL-ended), the data and the options of a request.
function requestParts(options) {
  if (options === null || typeof options !== "object") throw new TypeError("korvane: give an options object");
  const { symbology, data } = options;
  if (typeof symbology !== "string") throw new TypeError("korvane: symbology must be a string such as \"ean13\"");
  if (typeof data !== "string" && !(data instanceof Uint8Array)) throw new TypeError("korvane: data must be a string or a Uint8Array");
  return [symbology + "\0", data, optionText(options)];
}

// A warning of the symbol or its layout (X snapped, below the minimum, ...):
// to options.onWarning where given, else to Node's process warnings.
function warn(options, message) {
  if (typeof options.onWarning === "function") options.onWarning(message);
  else if (typeof process !== "undefined" && typeof process.emitWarning === "function")
    process.emitWarning(message, "KorvaneWarning");
}

function call(action, options) {
  const parts = requestParts(options);
  ready();
  withBytes(parts, (symbology, _, data, dataLength, opts, optsLength) =>
    wasm.kvjs_run(action, symbology, data, dataLength, opts, optsLength));
  // encode() carries its warnings in the facts; a file carries none.
  if (action >= ACTIONS.svg && action <= ACTIONS.bmp) {
    const warnings = cString(wasm.kvjs_warnings());
    if (warnings) for (const w of warnings.split("\n")) warn(options, w);
  }
  return answer();
}

function bytes(action, options) {
  return call(action, options).slice();
}

/** The symbol as an SVG document. */
function toSVG(options) { return decoder.decode(call(ACTIONS.svg, options)); }
function toPDF(options) { return bytes(ACTIONS.pdf, options); }
function toEPS(options) { return bytes(ACTIONS.eps, options); }
function toPNG(options) { return bytes(ACTIONS.png, options); }
function toEMF(options) { return bytes(ACTIONS.emf, options); }
function toBMP(options) { return bytes(ACTIONS.bmp, options); }

/** Any format by name: "svg" gives a string, the others bytes. */
function toFormat(format, options) {
  const action = ACTIONS[String(format).toLowerCase()];
  if (!(action >= ACTIONS.svg && action <= ACTIONS.bmp)) throw new KorvaneError(`no format '${format}': svg, pdf, eps, png, emf or bmp`, "unknown-format");
  return action === ACTIONS.svg ? toSVG(options) : bytes(action, options);
}

/** The symbol's facts, its modules (or bar widths) and its size as laid out. */
function encode(options) { return JSON.parse(decoder.decode(call(ACTIONS.encode, options))); }

/** Lays the symbol out and reads it back as a scanner would. */
function verify(options) { return JSON.parse(decoder.decode(call(ACTIONS.verify, options))); }

/** The print-quality grade a verifier would give the symbol as `printer`
 *  prints it: "ideal" (default), "thermal203", "thermal300", "laser600" or
 *  "DPI[,GAIN[,BLUR]]". */
function grade(options) {
  if (options === null || typeof options !== "object") throw new TypeError("korvane: give an options object");
  const { printer, ...rest } = options;
  if (printer !== undefined && typeof printer !== "string") throw new TypeError("korvane: printer must be a string such as \"thermal203\"");
  return JSON.parse(decoder.decode(call(ACTIONS.grade, printer === undefined ? rest : { ...rest, printer })));
}

// The sheet's own options as the library names them.
function sheetBytes(sheetOptions) {
  const { page = "A4", grid = [1, 1], margins, gap, dpi, labelText, cutMarks } = sheetOptions;
  let text = "";
  const put = (name, value) => { text += name + "\0" + optionValue(name, value) + "\0"; };
  put("page", page);
  if (typeof grid === "string") {
    const m = /^\s*(\d+)\s*x\s*(\d+)\s*$/i.exec(grid);
    if (!m) throw new KorvaneError(`grid: ${JSON.stringify(grid)} is no grid: give [columns, rows] or "CxR"`, "invalid-option");
    put("grid", [Number(m[1]), Number(m[2])]);
  } else put("grid", grid);
  if (margins !== undefined) put("margins", margins);
  if (gap !== undefined) put("gap", gap);
  if (dpi !== undefined) put("dpi", dpi);
  if (labelText !== undefined && labelText !== null) put("label-text", true);
  if (cutMarks) put("cut-marks", true);
  return encoder.encode(text);
}

// The line under label `i`: from a template of {n} (from 1), {data} (the
// data as encoded, as the symbol's text shows it: with its check digits) and
// {input} (as given), as the command's --label-text; or the array's own.
function labelLine(labelText, item, i) {
  if (labelText === undefined || labelText === null) return "";
  if (Array.isArray(labelText)) return String(labelText[i] ?? "");
  const template = String(labelText);
  const input = typeof item.data === "string" ? item.data : decoder.decode(item.data);
  let data = input;
  if (template.includes("{data}")) {
    const facts = encode(item);
    data = facts.text || facts.data;
  }
  return template.replace(/\{(n|data|input)\}/g, (_, f) => (f === "n" ? String(i + 1) : f === "data" ? data : input));
}

/** A PDF of label sheets: the items (options objects as toSVG takes) placed
 *  left to right and top to bottom, each centred in a cell of the grid, fitted
 *  at a smaller X where one does not fit and gives no xDim. */
function sheet(items, sheetOptions = {}) {
  if (!Array.isArray(items)) throw new TypeError("korvane: give the labels as an array of options objects");
  if (sheetOptions === null || typeof sheetOptions !== "object") throw new TypeError("korvane: give sheet options as an object");
  if (items.length === 0) throw new KorvaneError("a sheet needs at least one label", "invalid-option");
  const { labelText } = sheetOptions;
  if (Array.isArray(labelText) && labelText.length !== items.length)
    throw new KorvaneError(`labelText gives ${labelText.length} lines for ${items.length} labels`, "invalid-option");
  const head = sheetBytes(sheetOptions);
  ready();
  withBytes([head], (options, length) => wasm.kvjs_sheet_begin(options, length));
  items.forEach((item, i) => {
    let parts;
    try {
      parts = [...requestParts(item), labelLine(labelText, item, i)];
    } catch (e) {
      wasm.kvjs_sheet_begin(0, 0); // drops the sheet begun
      if (e instanceof KorvaneError) e.message = `label ${i + 1}: ${e.message}`;
      throw e;
    }
    withBytes(parts, (symbology, _, data, dataLength, opts, optsLength, text, textLength) =>
      wasm.kvjs_sheet_add(symbology, data, dataLength, opts, optsLength, text, textLength));
  });
  const status = wasm.kvjs_sheet_end();
  if (status !== 0) throw failure(status);
  return answer().slice();
}

let registry = null;
/** Every symbology: name, title, aliases, characters, check rule, options. */
// GS1 data without a symbol, as kvjs_gs1 gives it.
function gs1(what, data, extra = "") {
  ready();
  if (typeof data !== "string") throw new TypeError("korvane: give GS1 data as a string");
  if (typeof extra !== "string") throw new TypeError("korvane: give the domain as a string");
  withBytes([data, extra], (d, dl, e, el) => wasm.kvjs_gs1(what, d, dl, e, el));
  return decoder.decode(answer());
}

/** Notes of AIs that need others the data lacks; throws KorvaneError for data GS1's rules refuse. */
function gs1Check(data) { return gs1(0, data).split("\n").filter((line) => line); }
/** The GS1 Digital Link URI of element strings ("https://id.gs1.org" unless a domain is given). */
function gs1DigitalLink(data, domain = "") { return gs1(1, data, domain); }
/** The element strings of a GS1 Digital Link URI. */
function gs1FromDigitalLink(uri) { return gs1(2, uri); }
/** Element strings as printed under a symbol: "(01) 09506000134352 (17) 270101". */
function gs1Hri(data) { return gs1(3, data); }

function symbologies() {
  ready();
  if (!registry) {
    wasm.kvjs_symbologies();
    registry = JSON.parse(decoder.decode(answer()));
    for (const s of registry) s.options = s.options.map((o) => o.replace(/-([a-z0-9])/g, (_, c) => c.toUpperCase()));
  }
  return registry.map((s) => ({ ...s, aliases: [...s.aliases], capabilities: [...s.capabilities], options: [...s.options] }));
}

// The library's option rows, named as JavaScript spells them: what each
// option takes (its kind, range or choices) and its help.
const camelName = (name) => name.replace(/-([a-z0-9])/g, (_, c) => c.toUpperCase());
const optionRows = {};
function rowsOf(call) {
  ready();
  if (!optionRows[call]) {
    wasm[call]();
    optionRows[call] = JSON.parse(decoder.decode(answer()));
    for (const o of optionRows[call]) o.name = camelName(o.name);
  }
  return optionRows[call].map((o) => ({ ...o, choices: [...o.choices] }));
}
function encodeOptions() {
  return rowsOf("kvjs_options");
}
function layoutOptions() {
  return rowsOf("kvjs_layout_options");
}

/** The library's version, "MAJOR.MINOR.PATCH". */
function version() {
  ready();
  return cString(wasm.kvjs_version());
}
