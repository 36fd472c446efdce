// What npm would publish: the licence, the notices and a README travel with
// the package, and its metadata names the licence.
import { test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { fileURLToPath } from "node:url";

const js = fileURLToPath(new URL("..", import.meta.url));
const root = fileURLToPath(new URL("../..", import.meta.url));

test("the packed package carries README, LICENSE and NOTICE, and says Apache-2.0", () => {
  const [pack] = JSON.parse(execFileSync("npm", ["pack", "--dry-run", "--json", "--loglevel=error"], { cwd: js }));
  const files = pack.files.map((f) => f.path);
  for (const name of ["README.md", "LICENSE", "NOTICE", "dist/korvane.wasm", "dist/index.mjs", "dist/index.cjs"])
    assert.ok(files.includes(name), `${name} is not in the package: ${files.join(", ")}`);
  assert.equal(JSON.parse(readFileSync(`${js}/package.json`, "utf8")).license, "Apache-2.0");
  // The copies npm packs are the repository's, not stale ones.
  for (const name of ["LICENSE", "NOTICE"])
    assert.equal(readFileSync(`${js}/${name}`, "utf8"), readFileSync(`${root}/${name}`, "utf8"), name);
});
