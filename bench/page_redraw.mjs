// The designer page in headless Chromium (Debian's, driven by puppeteer-core
// from js/node_modules, as js/test/page.test.mjs does): for each symbology at
// its default options, the time from an input event in the data field to the
// redrawn picture: the page's handler (the library's calls and the DOM), and
// that with the new image decoded, ready for the next frame. Median of 15
// edits; a frame is 16 ms.
// Run after scripts/build-wasm.sh and npm ci in js/: node bench/page_redraw.mjs
import { createRequire } from "node:module";
import { mkdtempSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const require = createRequire(new URL("../js/package.json", import.meta.url));
const puppeteer = require("puppeteer-core");

// Two values each symbology takes, typed in turn.
const DATA = {
  ean13: ["590123412345", "400638133393"], ean8: ["9638507", "5512345"], upca: ["03600029145", "04210000526"],
  upce: ["0123456", "0654321"], code128: ["Hello 0123", "Hello 0124"], "gs1-128": ["(01)09501101530003", "(01)04006381333931"],
  code39: ["CODE 39", "CODE 38"], code39ext: ["Code 39", "Code 38"], code93: ["CODE93", "CODE92"], code93ext: ["Code93", "Code92"],
  code11: ["0123-45", "0123-44"], codabar: ["A1234B", "A1235B"], msi: ["1234", "1235"], itf: ["123456", "123457"],
  industrial25: ["123456", "123457"], matrix25: ["123456", "123457"], postnet: ["12345", "12346"],
  aztec: ["Seat 14C, train 8452, car 7", "Seat 14D, train 8452, car 7"],
  qr: ["https://example.com/menu?table=12", "https://example.com/menu?table=13"],
  datamatrix: ["Hello, korvane", "Hello, korvanf"], pdf417: ["PDF417 label text", "PDF417 label texu"],
};

const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
    `--user-data-dir=${mkdtempSync(join(tmpdir(), "kv-bench-"))}`],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  await page.goto(new URL("../web/index.html", import.meta.url).href);
  await page.waitForSelector("body[data-ready]");
  const names = await page.$$eval("#symbology option", (o) => o.map((e) => e.value));
  console.log("symbology          handler ms   to picture ms");
  for (const name of names) {
    await page.select("#symbology", name);
    const values = DATA[name] ?? ["12345", "12346"];
    const times = await page.evaluate(async (values) => {
      const field = document.getElementById("data");
      const out = [];
      for (let i = 0; i < 17; i++) {
        field.value = values[i % 2];
        const start = performance.now();
        field.dispatchEvent(new Event("input", { bubbles: true }));
        const handled = performance.now();
        const img = document.getElementById("symbol");
        if (img) await img.decode().catch(() => {});
        if (i >= 2) out.push([handled - start, performance.now() - start, document.getElementById("error").hidden]);
      }
      return out;
    }, values);
    const median = (k) => times.map((t) => t[k]).sort((a, b) => a - b)[times.length >> 1];
    const ok = times.every((t) => t[2]) ? "" : "  (the page showed an error)";
    console.log(`${name.padEnd(18)} ${median(0).toFixed(1).padStart(10)} ${median(1).toFixed(1).padStart(15)}${ok}`);
  }
} finally {
  await browser.close();
}
