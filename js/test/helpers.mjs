// Shared by the package's tests: the native korvane command as the reference.
import { execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { fileURLToPath } from "node:url";

const root = fileURLToPath(new URL("../..", import.meta.url));
// The native build's command (scripts/test-js.sh names it); the tests that
// compare bytes skip without one.
export const korvaneCommand = process.env.KORVANE_COMMAND || `${root}/build/cli/korvane`;
export const haveCommand = existsSync(korvaneCommand);

// The command's bytes for the same symbol: options as the package spells them.
export function commandBytes(format, { symbology, data, ...options }) {
  const args = ["-b", symbology, "--format", format, "-o", "-"];
  for (const [key, value] of Object.entries(options)) {
    const name = "--" + key.replace(/[A-Z]/g, (c) => "-" + c.toLowerCase());
    if (value === true) args.push(name);
    else if (value !== null && typeof value === "object" && !Array.isArray(value))  // pdfMacro: one option per field
      for (const [k, v] of Object.entries(value)) args.push(name, k.replace(/[A-Z]/g, (c) => "-" + c.toLowerCase()) + "=" + v);
    // Sizes are RxC on the command line (dmSize, rmqrSize); other pairs H,V.
    else args.push(name, Array.isArray(value) ? value.join(key.endsWith("Size") ? "x" : ",") : String(value));
  }
  return new Uint8Array(execFileSync(korvaneCommand, [...args, "--", data], { maxBuffer: 64 << 20, stdio: ["ignore", "pipe", "ignore"] }));
}

// The command's label sheet (a PDF) of `values`, one a line of a --batch file.
export function commandSheet(symbology, values, args) {
  const batch = join(mkdtempSync(join(tmpdir(), "kv-batch-")), "values.txt");
  writeFileSync(batch, values.join("\n") + "\n");
  return new Uint8Array(execFileSync(korvaneCommand, ["-b", symbology, "--batch", batch, ...args, "-f", "pdf", "-o", "-"],
    { maxBuffer: 64 << 20, stdio: ["ignore", "pipe", "ignore"] }));
}

// One value per symbology, drawn with options that move every part of the layout.
export const SAMPLES = [
  { symbology: "code39", data: "CODE-39 $", check: true },
  { symbology: "code39ext", data: "Code 39 ext" },
  { symbology: "code93", data: "CODE 93" },
  { symbology: "code93ext", data: "code93 ext" },
  { symbology: "code11", data: "123-45" },
  { symbology: "codabar", data: "40156", codabarStart: "B", codabarStop: "D" },
  { symbology: "msi", data: "1234567", msiCheck: "mod11-mod10" },
  { symbology: "itf", data: "1234567895", wideRatio: 3 },
  { symbology: "industrial25", data: "12345" },
  { symbology: "matrix25", data: "98765" },
  { symbology: "ean13", data: "590123412345+12", xDim: "0.33mm", dpi: 600 },
  { symbology: "ean8", data: "9638507" },
  { symbology: "upca", data: "03600029145" },
  { symbology: "upce", data: "0123456" },
  { symbology: "code128", data: "Hello, korvane", xDim: "10mil", height: "15mm", rotate: 90 },
  { symbology: "gs1-128", data: "(01)09501101530003(10)AB12" },
  { symbology: "postnet", data: "12345" },
  { symbology: "aztec", data: "Seat 14C", ecc: 40 },
  { symbology: "qr", data: "https://example.com/menu?table=12", qrLevel: "Q" },
  { symbology: "datamatrix", data: "Data Matrix 123", dmShape: "rect" },
  { symbology: "pdf417", data: "PDF417 label 42" },
  { symbology: "logmars", data: "NSN-42" },
  { symbology: "vin", data: "1M8GDM9AXKP042788" },
  { symbology: "pzn", data: "1234567" },
  { symbology: "code32", data: "12345678" },
  { symbology: "iata25", data: "1234" },
  { symbology: "datalogic25", data: "1234" },
  { symbology: "pharmacode", data: "1234" },
  { symbology: "plessey", data: "12AB" },
  { symbology: "telepen", data: "Telepen" },
  { symbology: "telepen-num", data: "1234" },
  { symbology: "databar", data: "0950110153001" },
  { symbology: "databar-truncated", data: "0950110153001" },
  { symbology: "databar-stacked", data: "0950110153001" },
  { symbology: "databar-stacked-omni", data: "0950110153001" },
  { symbology: "databar-expanded", data: "(01)98898765432106(3202)012345(15)991231" },
  { symbology: "databar-expanded-stacked", data: "(01)98898765432106(3202)012345(15)991231" },
  { symbology: "imb", data: "01234567094987654321-01234567891", dpi: 600 },
  { symbology: "planet", data: "12345678901" },
  { symbology: "rm4scc", data: "SN34RD1A", height: "8mm" },
  { symbology: "kix", data: "1231FZ13XHS", rotate: 90 },
  { symbology: "auspost", data: "62 12345678901234567890123" },
  { symbology: "ausreply", data: "12345678" },
  { symbology: "ausroute", data: "34567890" },
  { symbology: "ausredirect", data: "98765432", height: "6mm" },
  { symbology: "daft", data: "FADTDAFT" },
  { symbology: "microqr", data: "12345", qrLevel: "L" },
  { symbology: "rmqr", data: "RMQR 2026", rmqrSize: [11, 27] },
  { symbology: "upnqr", data: "UPNQR" },
];
