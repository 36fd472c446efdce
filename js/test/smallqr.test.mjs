// zxing-wasm, an independent reader, reads the command's Micro QR and rMQR
// symbols: one table of values, each drawn at four pixels a module as PNG.
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { prepareZXingModule, readBarcodes } from "zxing-wasm/reader";
import { haveCommand, korvaneCommand } from "./helpers.mjs";

// The reader's WebAssembly from the installed package, not from the network.
prepareZXingModule({
  overrides: { wasmBinary: readFileSync(new URL("../../reader/zxing_reader.wasm", import.meta.resolve("zxing-wasm/reader"))) },
});

const CASES = [
  { symbology: "microqr", format: "MicroQRCode", data: "12345", args: ["--qr-version", "M1", "--qr-level", "L"] },
  { symbology: "microqr", format: "MicroQRCode", data: "HELLO WORLD 42", args: [] },
  { symbology: "microqr", format: "MicroQRCode", data: "Micro QR", args: ["--qr-mask", "2"] },
  { symbology: "microqr", format: "MicroQRCode", data: "日本語", args: [] },
  { symbology: "rmqr", format: "rMQRCode", data: "RMQR 2026", args: ["--rmqr-size", "R11x27"] },
  { symbology: "rmqr", format: "rMQRCode", data: "https://example.com/path?query=ABC123", args: ["--qr-level", "H"] },
  { symbology: "rmqr", format: "rMQRCode", data: "7".repeat(150), args: [] },
  { symbology: "rmqr", format: "rMQRCode", data: "Grüße, 日本", args: ["--rmqr-size", "R17x77"] },
];

test("zxing-wasm reads the command's Micro QR and rMQR symbols", { skip: !haveCommand && "no korvane command" }, async () => {
  for (const { symbology, format, data, args } of CASES) {
    const png = execFileSync(korvaneCommand, ["-b", symbology, "--dpi", "none", "--x-dim", "4px", "-f", "png", "-o", "-", ...args, "--", data]);
    const read = await readBarcodes(new Blob([png]), { formats: [format], tryHarder: true });
    assert.deepEqual(read.map((r) => [r.format, r.text]), [[format, data]], `${symbology} ${data}`);
  }
});
