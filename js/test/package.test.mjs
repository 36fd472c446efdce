// The package against the native library: the same bytes for every
// symbology and format, the facts, the errors, and both entry points.
import { test } from "node:test";
import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { execFileSync, spawnSync } from "node:child_process";
import { fileURLToPath } from "node:url";
import * as korvane from "../dist/index.mjs";
import { readFileSync } from "node:fs";
import { SAMPLES, commandBytes, commandSheet, haveCommand, korvaneCommand } from "./helpers.mjs";

const FORMATS = ["svg", "png", "pdf", "eps", "emf", "bmp"];
const bytesOf = (format, options) => {
  const out = korvane.toFormat(format, options);
  return typeof out === "string" ? new TextEncoder().encode(out) : out;
};

test("every symbology in every format is byte for byte the command's", { skip: !haveCommand && "no native korvane command" }, () => {
  const symbologies = new Set(korvane.symbologies().map((s) => s.name));
  assert.deepEqual(new Set(SAMPLES.map((s) => s.symbology)), symbologies, "a sample for each symbology");
  for (const sample of SAMPLES)
    for (const format of FORMATS) {
      const ours = bytesOf(format, sample), theirs = commandBytes(format, sample);
      if (format === "bmp") assertSameRaster(ours, theirs, `${sample.symbology} as bmp`);
      else assert.deepEqual(Buffer.from(ours), Buffer.from(theirs), `${sample.symbology} as ${format}`);
    }
});

// BMP keeps the text's grey edges: FreeType in WebAssembly and Debian's
// native one differ by one level of 255 in a few edge pixels of some
// DejaVu Sans glyphs (GS1-128's text); everything else is the same bytes.
function assertSameRaster(ours, theirs, what) {
  assert.equal(ours.length, theirs.length, what);
  let differ = 0;
  for (let i = 0; i < ours.length; i++)
    if (ours[i] !== theirs[i]) {
      assert.ok(i >= 54 && Math.abs(ours[i] - theirs[i]) <= 1, `${what}: byte ${i} is ${ours[i]}, not ${theirs[i]}`);
      differ++;
    }
  assert.ok(differ <= 32, `${what}: ${differ} bytes differ`);
}

test("layout and encoder options reach the library as the command's do", { skip: !haveCommand && "no native korvane command" }, () => {
  const cases = [
    { symbology: "ean13", data: "590123412345", noText: true, quietZone: "5x", bwr: "0.02mm" },
    { symbology: "code128", data: "ABC", fg: "000080", bg: "none", dpi: 203 },
    { symbology: "upca", data: "03600029145", fg: "cmyk:0,0,0,100", fontSize: "3mm" },
    { symbology: "qr", data: "x", quietZone: [2, 2], xDim: "4px", dpi: 96 },
    { symbology: "pdf417", data: "Invoice 42", pdfLevel: 3, rowHeight: 4, pdfAspect: 2,
      pdfMacro: { fileName: "a.pdf", checksum: 17 } },
  ];
  for (const c of cases)
    for (const format of ["svg", "png", "pdf"])
      assert.deepEqual(Buffer.from(bytesOf(format, c)), Buffer.from(commandBytes(format, c)), `${JSON.stringify(c)} ${format}`);
});

// Every front end takes an option as the command does, from one table shared
// with the Python tests: the same values accepted (the same bytes), the same refused.
test("options as the command takes them", { skip: !haveCommand && "no native korvane command" }, () => {
  const parity = JSON.parse(readFileSync(fileURLToPath(new URL("../../tests/options/parity.json", import.meta.url)), "utf8"));
  const camel = (name) => name.replace(/-([a-z])/g, (_, c) => c.toUpperCase());
  const typed = (v) => (v !== null && typeof v === "object" && !Array.isArray(v)
    ? Object.fromEntries(Object.entries(v).map(([k, x]) => [camel(k), x])) : v);
  for (const c of parity) {
    const options = { symbology: c.symbology, data: c.data };
    for (const [k, v] of Object.entries({ ...c.extra, [c.option]: c.value })) options[camel(k)] = typed(v);
    let ours = null, theirs = null;
    try { ours = Buffer.from(korvane.toSVG(options)); } catch (e) { assert.ok(e instanceof korvane.KorvaneError, e.stack); }
    try {
      theirs = execFileSync(korvaneCommand, ["-b", c.symbology, "-f", "svg", ...c.args, "-o", "-", "--", c.data],
        { stdio: ["ignore", "pipe", "ignore"] });
    } catch { /* refused: a status other than 0 */ }
    const what = `${c.symbology} ${c.option}=${JSON.stringify(c.value)}`;
    assert.equal(ours === null, Boolean(c.refused), what);
    assert.equal(theirs === null, Boolean(c.refused), what);
    if (ours !== null) assert.deepEqual(ours, theirs, what);
  }
});

test("layout warnings reach JavaScript as the command prints them", { skip: !haveCommand && "no native korvane command" }, () => {
  const args = ["-b", "ean13", "--x-dim", "0.1mm", "--height", "5", "-o", "-", "590123412345"];
  const printed = spawnSync(korvaneCommand, args, { encoding: "utf8" }).stderr;
  const theirs = printed.trim().split("\n").map((line) => line.replace(/^korvane: warning: /, ""));
  const ours = [];
  korvane.toSVG({ symbology: "ean13", data: "590123412345", xDim: "0.1mm", height: 5, onWarning: (w) => ours.push(w) });
  assert.equal(theirs.length, 3);
  assert.deepEqual(ours, theirs);
});

test("GS1 data as the command's korvane gs1 says it", { skip: !haveCommand && "no native korvane command" }, () => {
  const calls = {
    check: (d) => korvane.gs1Check(d).map((n) => `note: ${n}\n`).join("") + "ok\n",
    dl: (d) => korvane.gs1DigitalLink(d) + "\n", parse: (d) => korvane.gs1FromDigitalLink(d) + "\n",
    hri: (d) => korvane.gs1Hri(d) + "\n",
  };
  const cases = [["check", "(10)A"], ["check", "(17)270132"], ["dl", "(01)09506000134352(10)ABC1(17)270101"],
    ["dl", "(10)A"], ["parse", "https://id.gs1.org/01/09506000134352/10/ABC1?17=270101"], ["parse", "ftp://x/01/1"],
    ["hri", "(01)09506000134352(17)270101"]];
  for (const [what, data] of cases) {
    const run = spawnSync(korvaneCommand, ["gs1", what, data], { encoding: "utf8" });
    let ours;
    try {
      ours = calls[what](data);
    } catch (e) {
      assert.ok(e instanceof korvane.KorvaneError, `${what} ${data}`);
      assert.equal(run.status, 1, `${what} ${data}`);
      assert.ok((run.stdout + run.stderr).includes(e.message), `${what} ${data}: ${e.message}`);
      continue;
    }
    assert.equal(run.status, 0, `${what} ${data}`);
    assert.equal(ours, run.stdout, `${what} ${data}`);
  }
  assert.equal(korvane.gs1DigitalLink("(01)09506000134352", "https://example.com"), "https://example.com/01/09506000134352");
});

test("facts, modules and verification", () => {
  const ean = korvane.encode({ symbology: "ean13", data: "590123412345", xDim: "0.33mm" });
  assert.equal(ean.data, "5901234123457");
  assert.equal(ean.checkCharacters, "7");
  assert.equal(ean.widthModules, 95);
  assert.equal(ean.widths.reduce((a, b) => a + b), 95);
  assert.ok(Math.abs(ean.layout.xMm - 0.33) < 0.01);
  const aztec = korvane.encode({ symbology: "aztec", data: "Seat 14C" });
  assert.equal(aztec.modules.length, aztec.rows);
  assert.ok(aztec.modules.every((row) => row.length === aztec.columns && /^[01]+$/.test(row)));
  assert.equal(aztec.aztec.compact, true);
  assert.equal(korvane.encode({ symbology: "qr", data: "hello", qrLevel: "H" }).qr.level, "H");
  const pdf417 = korvane.encode({ symbology: "pdf417", data: "PDF417 label 42", pdfColumns: 3, pdfLevel: 4, structured: [2, 5] });
  assert.deepEqual([pdf417.rows, pdf417.pdf417.rows, pdf417.pdf417.columns, pdf417.pdf417.level, pdf417.pdf417.segments],
    [pdf417.pdf417.rows, pdf417.rows, 3, 4, { index: 2, count: 5 }]);
  for (const sample of SAMPLES) {
    const verdict = korvane.verify(sample);
    assert.equal(verdict.ok, true, `${sample.symbology}: ${verdict.reason}`);
  }
  const bytes = korvane.encode({ symbology: "datamatrix", data: new Uint8Array([0, 255, 10]) });
  assert.equal(bytes.matrix, true);
});

test("errors carry the library's code, position and message", () => {
  const cases = [
    [{ symbology: "ean13", data: "59012341a345" }, "invalid-data", 9, /'a' at position 9/],
    [{ symbology: "ean13", data: "5901234123458" }, "check-digit", null, /should be 7/],
    [{ symbology: "nosuch", data: "1" }, "unknown-symbology", null, /no symbology/],
    [{ symbology: "ean13", data: "590123412345", ecc: 20 }, "invalid-option", null, /does not apply to EAN-13/],
    [{ symbology: "code128", data: "A", xDim: "3furlongs" }, "invalid-option", null, /x-dim: '3furlongs' is not a length/],
    [{ symbology: "qr", data: "A", height: "10mm" }, "invalid-option", null, /height does not apply/],
    [{ symbology: "code128", data: "A", fg: "chartreusey" }, "invalid-option", null, /fg: 'chartreusey' is not a colour/],
    [{ symbology: "code128", data: "A", rotate: 45 }, "invalid-option", null, /./],
    [{ symbology: "qr", data: "x".repeat(8000) }, "data-too-long", null, /./],
    [{ symbology: "pdf417", data: "A".repeat(100000) }, "data-too-long", null, /no PDF417 holds more than 2,710/],
    [{ symbology: "ean13", data: "590123412345", printer: "thermal203" }, "invalid-option", null, /printer is grade\(\)'s/],
  ];
  for (const [options, code, position, message] of cases)
    assert.throws(() => korvane.toSVG(options), (e) => {
      assert.ok(e instanceof korvane.KorvaneError, e.stack);
      assert.equal(e.code, code, e.message);
      assert.equal(e.position, position, e.message);
      assert.match(e.message, message);
      return true;
    }, JSON.stringify(options).slice(0, 80));
  // Every option of every symbology reaches a conversion of its own: a value
  // no option takes is that option's error, never an option JavaScript lacks.
  const camel = (name) => name.replace(/-([a-z])/g, (_, c) => c.toUpperCase());
  for (const s of korvane.symbologies())
    for (const name of s.options)
      assert.throws(() => korvane.toSVG({ symbology: s.name, data: "1", [camel(name)]: "\u00e9\u00e9" }),
                    (e) => !/not yet available/.test(e.message), `${s.name} --${name}`);
  assert.equal(korvane.symbologies().find((s) => s.name === "pdf417").maxDataBytes, 2710);
  // The option rows the page makes its fields from: each symbology's options among them, with their ranges.
  const rows = new Map(korvane.encodeOptions().map((o) => [o.name, o]));
  for (const s of korvane.symbologies()) for (const name of s.options) assert.ok(rows.has(name), name);
  assert.deepEqual([rows.get("pdfAspect").low, rows.get("pdfAspect").high, rows.get("qrLevel").choices], [0.1, 20, ["L", "M", "Q", "H"]]);
  const layoutRows = new Map(korvane.layoutOptions().map((o) => [o.name, o]));
  assert.deepEqual([layoutRows.get("dpi").high, layoutRows.get("rotate").choices, layoutRows.get("quietZone").kind,
    layoutRows.get("xDim").kind], [10000, ["0", "90", "180", "270"], "lengths", "length"]);
  assert.throws(() => korvane.toSVG({ symbology: "qr" }), TypeError);
  assert.throws(() => korvane.toFormat("gif", SAMPLES[0]), (e) => e.code === "unknown-format");
  // After a failure the module goes on working.
  assert.match(korvane.toSVG(SAMPLES[0]), /^<\?xml/);
});

test("grades, and symbols that are not graded", () => {
  // [options, letter (null: any), text, scan lines]: ten for linear symbols,
  // none for matrix ones, one a row for PDF417.
  const pdf417Rows = korvane.encode({ symbology: "pdf417", data: "PDF417 label 42" }).rows;
  const cases = [
    [{ symbology: "ean13", data: "590123412345" }, "A", /^4\.0\/06\/670$/, 10],
    [{ symbology: "code128", data: "Grey bars", fg: "808080" }, "F", /^0\.0\//, 10],
    [{ symbology: "qr", data: "thermal", printer: "thermal203" }, null, /\/670$/, 0],
    [{ symbology: "pdf417", data: "PDF417 label 42" }, "A", /^4\.0\//, pdf417Rows],
  ];
  for (const [options, letter, text, scans] of cases) {
    const g = korvane.grade(options);
    const what = `${options.symbology}: ${g.text} ${g.reason}`;
    assert.equal(g.graded, true, what);
    if (letter) assert.equal(g.letter, letter, what);
    assert.match(g.text, text, what);
    assert.equal(g.printer, options.printer ?? "ideal");
    assert.equal(g.printerDpi, options.printer === "thermal203" ? 203 : 0);
    assert.ok(g.parameters.length > 0 && g.parameters.every((p) => /^[ABCDF]$/.test(p.grade) &&
      typeof p.informative === "boolean"), what);
    assert.equal(g.scans.length, scans, what);
  }
  const postnet = korvane.grade({ symbology: "postnet", data: "12345" });
  assert.equal(postnet.graded, false);
  assert.match(postnet.reason, /bar heights/);
  assert.throws(() => korvane.grade({ symbology: "ean13", data: "590123412345", printer: "inkjet9" }),
    (e) => e instanceof korvane.KorvaneError && e.code === "invalid-option" && /inkjet9/.test(e.message));
});

test("label sheets are the command's --sheet, byte for byte", { skip: !haveCommand && "no native korvane command" }, () => {
  const values = ["590123412345", "400638133393", "978020137962", "501234567890"];
  const items = values.map((data) => ({ symbology: "ean13", data }));
  assert.deepEqual(Buffer.from(korvane.sheet(items, { page: "A4", grid: [3, 8] })),
    Buffer.from(commandSheet("ean13", values, ["--sheet", "A4", "--grid", "3x8"])));
  // Two pages, every sheet option, and a label fitted to a small cell.
  const many = [...values, ...values];
  assert.deepEqual(Buffer.from(korvane.sheet(many.map((data) => ({ symbology: "ean13", data })),
    { page: "100x60mm", grid: "2x2", margins: [6, 4], gap: 2, labelText: "{n}: {data}", cutMarks: true, dpi: 203 })),
  Buffer.from(commandSheet("ean13", many, ["--sheet", "100x60mm", "--grid", "2x2", "--margins", "6,4", "--gap", "2",
    "--label-text", "{n}: {data}", "--cut-marks", "--dpi", "203"])));
});

test("sheet errors name the label", () => {
  const ean = (data) => ({ symbology: "ean13", data });
  const cases = [
    [[ean("590123412345"), ean("40063813339x")], {}, "invalid-data", /^label 2: .*position 12/],
    [[ean("590123412345")], { grid: [0, 8] }, "invalid-option", /grid/],
    [[ean("590123412345")], { page: "B7" }, "invalid-option", /page/],
    [[ean("590123412345"), { ...ean("400638133393"), fg: "000080" }], {}, "invalid-option", /^label 2: /],
    [[ean("590123412345")], { page: "30x20mm", margins: 9 }, "invalid-option", /./],
    [[], {}, "invalid-option", /at least one/],
  ];
  for (const [items, options, code, message] of cases)
    assert.throws(() => korvane.sheet(items, options), (e) => {
      assert.ok(e instanceof korvane.KorvaneError, e.stack);
      assert.equal(e.code, code, e.message);
      assert.match(e.message, message);
      return true;
    }, JSON.stringify(options));
  // A sheet after a failed one starts afresh.
  assert.match(new TextDecoder().decode(korvane.sheet([ean("590123412345")]).subarray(0, 5)), /^%PDF-/);
});

test("the CommonJS entry point is the same library", () => {
  const require = createRequire(import.meta.url);
  const cjs = require("korvane");
  assert.equal(typeof cjs.toSVG, "function");
  assert.equal(cjs.toSVG(SAMPLES[10]), korvane.toSVG(SAMPLES[10]));
  assert.ok(new cjs.KorvaneError("m", "invalid-data") instanceof Error);
  assert.equal(cjs.version(), korvane.version());
});

test("init() takes bytes, a path and a URL; the ES module loads from beside itself", async () => {
  const wasm = new URL("../dist/korvane.wasm", import.meta.url);
  for (const source of [fileURLToPath(wasm), wasm]) {
    const out = execFileSync(process.execPath, ["--input-type=module", "-e",
      `import * as k from ${JSON.stringify(new URL("../dist/index.mjs", import.meta.url).href)};
       await k.init(${JSON.stringify(String(source))}); process.stdout.write(k.toSVG({symbology: "ean8", data: "9638507"}));`]);
    assert.equal(out.toString(), korvane.toSVG({ symbology: "ean8", data: "9638507" }));
  }
});

test("the declarations compile against a program that uses them", () => {
  const tsc = fileURLToPath(new URL("../node_modules/typescript/bin/tsc", import.meta.url));
  execFileSync(process.execPath, [tsc, "--noEmit", "-p", fileURLToPath(new URL("types/tsconfig.json", import.meta.url))]);
});
