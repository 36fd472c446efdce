// The npm package beside bwip-js (a development package of js/, for this
// comparison only) on the same data: microseconds per SVG symbol.
// Run after scripts/build-wasm.sh and npm ci in js/: node bench/js_symbols.mjs
import { createRequire } from "node:module";
import * as korvane from "../js/dist/index.mjs";

const bwipjs = createRequire(new URL("../js/package.json", import.meta.url))("bwip-js");

const CASES = [
  ["EAN-13", { symbology: "ean13", data: "590123412345" }, { bcid: "ean13", text: "5901234123457", includetext: true }],
  ["Code 128", { symbology: "code128", data: "Hello, korvane 0123" }, { bcid: "code128", text: "Hello, korvane 0123", includetext: true }],
  ["Aztec", { symbology: "aztec", data: "Seat 14C, train 8452, car 7" }, { bcid: "azteccode", text: "Seat 14C, train 8452, car 7" }],
  ["QR Code", { symbology: "qr", data: "https://example.com/menu?table=12" }, { bcid: "qrcode", text: "https://example.com/menu?table=12" }],
];

function perSymbol(fn) {
  // Warm up for half a second: V8 runs WebAssembly first as baseline code
  // and compiles the hot functions optimised only once they have run a
  // while, so a few calls would time the baseline tier.
  const warm = process.hrtime.bigint();
  while (process.hrtime.bigint() - warm < 500_000_000n) for (let i = 0; i < 20; i++) fn();
  let n = 0;
  const start = process.hrtime.bigint();
  let elapsed = 0n;
  while (elapsed < 1_000_000_000n) {
    for (let i = 0; i < 20; i++) fn();
    n += 20;
    elapsed = process.hrtime.bigint() - start;
  }
  return Number(elapsed) / n / 1000;
}

console.log("symbology   korvane µs   bwip-js µs   ratio");
for (const [name, ours, theirs] of CASES) {
  const a = perSymbol(() => korvane.toSVG(ours));
  const b = perSymbol(() => bwipjs.toSVG(theirs));
  console.log(`${name.padEnd(10)} ${a.toFixed(1).padStart(11)} ${b.toFixed(1).padStart(12)} ${(b / a).toFixed(0).padStart(7)}x`);
}
