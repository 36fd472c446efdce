// GS1 DataBar as the native command draws it, read back by zxing-wasm
// (zxing-cpp 2), which reads the stacked forms zxing-cpp 1.4 does not.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { prepareZXingModule, readBarcodes } from "zxing-wasm/reader";
import { commandBytes, haveCommand } from "./helpers.mjs";

// The reader's WebAssembly from the package, not from the network.
const require = createRequire(import.meta.url);
prepareZXingModule({
  overrides: { wasmBinary: readFileSync(require.resolve("zxing-wasm/reader/zxing_reader.wasm")).buffer },
});

const GTIN = "(01)09501101530010";
const WEIGHED = "(01)98898765432106(3202)012345(15)991231";
const CASES = [
  { symbology: "databar", data: "0950110153001", format: "DataBar", text: GTIN },
  { symbology: "databar-truncated", data: "09501101530010", format: "DataBar", text: GTIN },
  { symbology: "databar-stacked", data: "(01)0950110153001", format: "DataBar", text: GTIN },
  { symbology: "databar-stacked-omni", data: "0950110153001", format: "DataBar", text: GTIN },
  { symbology: "databar-expanded", data: WEIGHED, format: "DataBarExpanded", text: WEIGHED },
  { symbology: "databar-expanded", data: "(01)90012345678908(3932)9781234(10)ABC", format: "DataBarExpanded",
    text: "(01)90012345678908(3932)9781234(10)ABC" },
  // Four segments a row: the second row runs right to left.
  { symbology: "databar-expanded-stacked", data: WEIGHED, format: "DataBarExpanded", text: WEIGHED },
  { symbology: "databar-expanded-stacked", data: "(10)abc-DEF.12345678(21)x_y!", databarSegments: 2,
    format: "DataBarExpanded", text: "(10)abc-DEF.12345678(21)x_y!" },
];

test("zxing-wasm reads every GS1 DataBar symbol the command draws", { skip: !haveCommand && "no korvane command" },
  async () => {
    for (const { format, text, ...c } of CASES) {
      const png = commandBytes("png", { ...c, dpi: "none", xDim: "3px" });
      const [read] = await readBarcodes(png, { tryHarder: true, formats: [format] });
      assert.ok(read?.isValid, `${c.symbology} ${c.data}: nothing read`);
      assert.equal(read.text, text, `${c.symbology} ${c.data}`);
    }
  });
