import korvane = require("korvane");
const s: string = korvane.toSVG({ symbology: "qr", data: "x", qrLevel: "H" });
const b: Uint8Array = korvane.toFormat("pdf", { symbology: "qr", data: "x" });
console.log(s, b);
