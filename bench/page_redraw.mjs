// The designer page in Debian's headless Chromium, for each symbology at the
// page's defaults: milliseconds from a keystroke's input event to the redrawn
// symbol (picture, facts and verify done, the new image decoded), which must
// fit in one frame (16.7 ms), and to the grade that follows it on screen.
// Run after scripts/build-wasm.sh and npm ci in js/: node bench/page_redraw.mjs
import { mkdtempSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { SAMPLES } from "../js/test/helpers.mjs";

const puppeteer = createRequire(new URL("../js/package.json", import.meta.url))("puppeteer-core");
const RUNS = Number(process.env.RUNS || 30);

const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
    `--user-data-dir=${mkdtempSync(join(tmpdir(), "kv-chromium-"))}`],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  await page.goto(new URL("../web/index.html", import.meta.url).href);
  await page.waitForSelector("body[data-ready]");
  console.log("symbology     redraw: median ms   worst ms   grade shown: median ms");
  for (const { symbology, data } of SAMPLES) {
    await page.select("#symbology", symbology);
    const times = await page.evaluate(async (data, runs) => {
      const field = document.getElementById("data");
      const out = [], graded = [];
      for (let i = 0; i < runs + 5; i++) {
        field.value = data;
        const start = performance.now();
        field.dispatchEvent(new Event("input", { bubbles: true }));
        const img = document.getElementById("symbol");
        if (img) await img.decode().catch(() => {});
        const redrawn = performance.now() - start;
        while (document.getElementById("facts").textContent.includes("grading"))
          await new Promise((resolve) => setTimeout(resolve, 0));
        if (i >= 5) {
          out.push(redrawn);
          graded.push(performance.now() - start);
        }
      }
      const sorted = (v) => v.sort((a, b) => a - b);
      return [sorted(out), sorted(graded)];
    }, data, RUNS);
    const [redraw, graded] = times;
    const median = (v) => v[Math.floor(v.length / 2)].toFixed(1);
    console.log(`${symbology.padEnd(12)} ${median(redraw).padStart(18)} ${redraw.at(-1).toFixed(1).padStart(10)} ${median(graded).padStart(24)}`);
  }
} finally {
  await browser.close();
}
