import { toSVG, toPNG, encode, verify, grade, sheet, symbologies, init, KorvaneError, type Options, type Facts } from "korvane";

await init();
const options: Options = { symbology: "ean13", data: "590123412345", xDim: "0.33mm", dpi: 300, quietZone: [10, "2mm"], fg: [0, 0, 0] };
const svg: string = toSVG(options);
const png: Uint8Array = toPNG({ ...options, rotate: 90 });
const facts: Facts = encode(options);
const ok: boolean = verify(options).ok;
const names: string[] = symbologies().map((s) => s.name);
try { toSVG({ symbology: "ean13", data: "x" }); } catch (e) { if (e instanceof KorvaneError) { const p: number | null = e.position; console.log(e.code, p); } }
const letter: "A" | "B" | "C" | "D" | "F" = grade({ ...options, printer: "thermal203" }).scans[0][0].grade;
const pdf: Uint8Array = sheet([options, { ...options, data: "400638133393" }], { page: "A4", grid: [3, 8], margins: [10, "5mm"], labelText: "{n}" });
console.log(letter, pdf.length);
console.log(svg.length, png.length, facts.layout.widthMm, ok, names);
// @ts-expect-error: rotation is a right angle
toSVG({ symbology: "qr", data: "x", rotate: 45 });
