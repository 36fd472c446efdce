// The JavaScript examples of README.md and of the pages of docs/ run as
// printed: each ```js block that imports "korvane" runs as a module of its
// own, in a folder where "korvane" is this package, as `npm install ../js`
// makes it.
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, symlinkSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { fileURLToPath } from "node:url";

const js = fileURLToPath(new URL("..", import.meta.url));
const root = fileURLToPath(new URL("../..", import.meta.url));

const pages = ["README.md", ...readdirSync(join(root, "docs")).filter((n) => n.endsWith(".md")).sort().map((n) => `docs/${n}`)];
const examples = pages.flatMap((page) =>
  [...readFileSync(join(root, page), "utf8").matchAll(/```js\n(.*?)```/gs)]
    .map((m) => m[1])
    .filter((code) => code.includes('from "korvane"'))
    .map((code, n) => ({ name: `${page} example ${n + 1}`, code })));

test("the README and docs/javascript.md keep their examples", () => {
  const names = examples.map((e) => e.name);
  assert.ok(names.some((n) => n.startsWith("README.md")), names.join(", "));
  assert.ok(names.some((n) => n.startsWith("docs/javascript.md")), names.join(", "));
});

for (const { name, code } of examples) {
  test(`${name} runs as printed`, () => {
    const dir = mkdtempSync(join(tmpdir(), "kv-doc-"));
    mkdirSync(join(dir, "node_modules"));
    symlinkSync(js, join(dir, "node_modules", "korvane"), "dir");
    writeFileSync(join(dir, "example.mjs"), code);
    execFileSync(process.execPath, ["example.mjs"], { cwd: dir, stdio: ["ignore", "pipe", "pipe"] });
  });
}
