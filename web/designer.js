// The designer page: every change redraws the symbol with the library in
// WebAssembly, shows its facts, its verification and its print-quality grade,
// or the library's error in place; the label sheet section makes a PDF of
// many values drawn alike.
"use strict";
(async () => {
  const k = window.korvane;
  const $ = (id) => document.getElementById(id);
  await k.init();
  for (const s of k.symbologies()) $("symbology").add(new Option(s.title, s.name, false, s.name === "ean13"));

  const hex = (id) => $(id).value.replace("#", "");
  function options() {
    const o = { symbology: $("symbology").value, data: $("data").value, dpi: Number($("dpi").value) || 300,
      xDim: $("xdim").value + $("xunit").value, text: $("text").checked, fg: hex("fg"), bg: hex("bg"),
      rotate: Number($("rotate").value) };
    if ($("height").value && !k.symbologies().find((s) => s.name === o.symbology).matrix) o.height = Number($("height").value);
    if ($("quiet").value) o.quietZone = Number($("quiet").value);
    return o;
  }

  let url = null;
  function draw() {
    const o = options();
    try {
      const png = k.toPNG(o);
      const facts = k.encode(o);
      const verdict = k.verify(o);
      const quality = k.grade({ ...o, printer: $("printer").value });
      if (url) URL.revokeObjectURL(url);
      url = URL.createObjectURL(new Blob([png], { type: "image/png" }));
      const img = new Image();
      img.src = url;
      img.alt = `${facts.title} of ${facts.data}`;
      img.id = "symbol";
      // Shown at its physical size on a 96 dpi screen.
      img.style.width = `${(facts.layout.widthMm / 25.4) * 96}px`;
      $("picture").replaceChildren(img);
      $("error").hidden = true;
      const rows = [["Data", facts.data], ["Size", `${facts.layout.widthMm.toFixed(2)} x ${facts.layout.heightMm.toFixed(2)} mm`],
        ["X", `${facts.layout.xMm.toFixed(3)} mm`]];
      if (facts.checkCharacters) rows.push([facts.checkSupplied ? "Check digit (given)" : "Check digit added", facts.checkCharacters]);
      if (facts.qr) rows.push(["Version", `${facts.qr.version}-${facts.qr.level}`]);
      if (facts.aztec) rows.push(["Layers", `${facts.aztec.layers} (${facts.aztec.compact ? "compact" : "full range"})`]);
      if (facts.matrix) rows.push(["Modules", `${facts.rows} x ${facts.columns}`]);
      rows.push(["Verify", verdict.ok ? "reads back as given" : `fails: ${verdict.reason}`]);
      rows.push(["Grade", quality.graded ? `grade ${quality.text} (${quality.letter})` : `not graded: ${quality.reason}`]);
      for (const w of [...facts.warnings, ...facts.layout.warnings]) rows.push(["Warning", w]);
      $("facts").replaceChildren(...rows.flatMap(([t, d]) => {
        const dt = document.createElement("dt"), dd = document.createElement("dd");
        dt.textContent = t;
        dd.textContent = d;
        return [dt, dd];
      }));
    } catch (e) {
      if (!(e instanceof k.KorvaneError)) throw e;
      $("error").textContent = e.message;
      $("error").hidden = false;
    }
  }

  function save(bytes, type, name) {
    const a = document.createElement("a");
    a.href = URL.createObjectURL(new Blob([bytes], { type }));
    a.download = name;
    a.click();
    setTimeout(() => URL.revokeObjectURL(a.href), 1000);
  }

  function download(format) {
    try {
      const out = k.toFormat(format, options());
      save(out, format === "svg" ? "image/svg+xml" : format === "pdf" ? "application/pdf" : "image/png", `barcode.${format}`);
    } catch (e) {
      if (!(e instanceof k.KorvaneError)) throw e;
      $("error").textContent = e.message;
      $("error").hidden = false;
    }
  }

  // The sheet's values, one a line (empty lines skipped), each drawn with the options above.
  function downloadSheet() {
    const o = options();
    const values = $("sheet-values").value.split(/\r?\n/).filter((v) => v.trim() !== "");
    try {
      if (values.length === 0) throw new k.KorvaneError("give at least one value, one a line", "invalid-data");
      const pdf = k.sheet(values.map((data) => ({ ...o, data })), {
        page: $("sheet-page").value, grid: [Number($("sheet-columns").value), Number($("sheet-rows").value)],
        labelText: $("sheet-text").checked ? "{data}" : undefined, cutMarks: $("sheet-cut").checked });
      $("sheet-error").hidden = true;
      save(pdf, "application/pdf", "labels.pdf");
    } catch (e) {
      if (!(e instanceof k.KorvaneError)) throw e;
      $("sheet-error").textContent = e.message;
      $("sheet-error").hidden = false;
    }
  }

  $("form").addEventListener("input", draw);
  $("form").addEventListener("submit", (e) => e.preventDefault());
  for (const f of ["svg", "png", "pdf"]) $(f).addEventListener("click", () => download(f));
  $("sheet-pdf").addEventListener("click", downloadSheet);
  $("sheet-form").addEventListener("submit", (e) => { e.preventDefault(); downloadSheet(); });
  draw();
  document.body.dataset.ready = "1";
})();
