// The designer page: every change redraws the symbol with the library in
// WebAssembly, shows its facts, its verification and then its print-quality grade,
// or the library's error in place; the label sheet section makes a PDF of
// many values drawn alike.
"use strict";
(async () => {
  const k = window.korvane;
  const $ = (id) => document.getElementById(id);
  try {
    await k.init();
  } catch (e) {
    // Opened from a checkout before the WebAssembly build: say how to make it.
    $("error").textContent = `The page needs the WebAssembly build of the library (${e.message}): run ` +
      "./scripts/build-wasm.sh in the repository, then reload.";
    $("error").hidden = false;
    return;
  }
  for (const s of k.symbologies()) $("symbology").add(new Option(s.title, s.name, false, s.name === "ean13"));

  // The symbology's own options, one field each, made from the library's
  // option rows: a checkbox for a flag, a list of the choices (or of a short
  // range), else a number or text field with the row's range or form; the
  // row's help in words beside it. Left empty, the library's default holds.
  const ROWS = new Map(k.encodeOptions().map((row) => [row.name, row]));
  const kebab = (name) => name.replace(/[A-Z]/g, (c) => "-" + c.toLowerCase());
  const choicesOf = (row) => (row.choices.length ? row.choices
    : row.kind === "integer" && row.high - row.low < 10
      ? Array.from({ length: row.high - row.low + 1 }, (_, i) => String(row.low + i)) : null);
  const symbology = () => k.symbologies().find((s) => s.name === $("symbology").value);

  // The layout fields the page has take their ranges, values and help from
  // the library's layout rows.
  const LAYOUT = new Map(k.layoutOptions().map((row) => [row.name, row]));
  for (const [id, name] of [["dpi", "dpi"], ["xdim", "xDim"], ["height", "height"], ["quiet", "quietZone"],
    ["fg", "fg"], ["bg", "bg"], ["text", "noText"], ["rotate", "rotate"]]) {
    const row = LAYOUT.get(name);
    $(id).title = `--${kebab(name)}: ${row.help}`;
    if (row.kind === "number") Object.assign($(id), { min: row.low, max: row.high });
    if (row.kind === "integer" && row.choices.length) $(id).replaceChildren(...row.choices.map((c) => new Option(c)));
  }

  function showOwnOptions() {
    const s = symbology();
    // A check character that is always there, or never, has nothing to choose.
    const names = s.options.filter((n) => n !== "check" || s.check === "optional" || s.check === "optional-on");
    const fields = names.map((name) => {
      const row = ROWS.get(name);
      const label = document.createElement("label");
      label.title = `--${kebab(name)}`;
      // The option in words: its row's help, under its name.
      const hint = document.createElement("span");
      hint.className = "hint";
      hint.textContent = row.help;
      let input;
      if (row.kind === "flag") {
        input = document.createElement("input");
        input.type = "checkbox";
        input.checked = name === "check" && s.check === "optional-on";
        const line = document.createElement("span");
        line.append(input, " " + kebab(name).replace(/-/g, " "));
        label.append(line, hint);
      } else {
        const choices = choicesOf(row);
        if (choices) {
          input = document.createElement("select");
          input.add(new Option("default", ""));
          for (const c of choices) input.add(new Option(c));
        } else {
          input = document.createElement("input");
          const numeric = row.kind === "integer" || row.kind === "number";
          input.type = numeric ? "number" : "text";
          if (numeric) Object.assign(input, { min: row.low, max: row.high, step: row.kind === "number" ? "any" : 1 });
          else input.placeholder = row.valueName;
        }
        label.append(kebab(name).replace(/-/g, " ") + " ", input, hint);
      }
      input.id = `opt-${name}`;
      input.dataset.option = name;
      return label;
    });
    $("own-options-title").textContent = `${s.title} options`;
    $("own-options").replaceChildren(...fields);
  }

  const hex = (id) => $(id).value.replace("#", "");
  function options() {
    const o = { symbology: $("symbology").value, data: $("data").value, dpi: Number($("dpi").value) || 300,
      xDim: $("xdim").value + $("xunit").value, text: $("text").checked, fg: hex("fg"), bg: hex("bg"),
      rotate: Number($("rotate").value) };
    if ($("height").value && !k.symbologies().find((s) => s.name === o.symbology).matrix) o.height = Number($("height").value);
    if ($("quiet").value) o.quietZone = Number($("quiet").value);
    for (const input of $("own-options").querySelectorAll("[data-option]")) {
      const name = input.dataset.option;
      if (input.type === "checkbox") {
        if (input.checked || name === "check") o[name] = input.checked;
      } else if (input.value !== "") o[name] = input.type === "number" ? Number(input.value) : input.value;
    }
    return o;
  }

  // The grade simulates a print and reads it at many lines: for a large
  // symbol it takes longer than a frame, so it follows once the new picture
  // is on screen, and only for the latest keystroke.
  let url = null, drawn = 0;
  function gradeAfterPaint(o, dd) {
    const mine = ++drawn;
    $("grade-panel").hidden = true;
    requestAnimationFrame(() => setTimeout(() => {
      if (mine !== drawn) return;
      try {
        const quality = k.grade({ ...o, printer: $("printer").value });
        // The library says what set the grade, a resolution other than the printer's first.
        dd.textContent = quality.graded ? `grade ${quality.text} (${quality.letter}); ${quality.reason}`
          : `not graded: ${quality.reason}`;
        if (quality.graded) showGradePanel(quality);
      } catch (e) {
        if (!(e instanceof k.KorvaneError)) throw e;
        dd.textContent = `not graded: ${e.message}`;
      }
    }, 0));
  }

  // Each parameter's value and grade; the ones that set the grade marked.
  function showGradePanel(quality) {
    const graded = quality.parameters.filter((p) => !p.informative);
    const worst = graded.reduce((w, p) => (p.grade > w ? p.grade : w), "A");  // letters: F is the largest
    $("grade-caption").textContent = `${quality.standard} grade ${quality.text} (${quality.letter}), printed by ${
      $("printer").selectedOptions[0].textContent}`;
    $("grade-panel").tBodies[0].replaceChildren(...quality.parameters.map((p) => {
      const tr = document.createElement("tr");
      const lowest = !p.informative && p.grade === worst && worst !== "A";
      if (lowest) tr.className = "worst";
      for (const text of [p.name, String(Number(p.value.toFixed(3))),
        p.informative ? "(for information)" : lowest ? `${p.grade} \u2190 lowest` : p.grade]) {
        const td = document.createElement("td");
        td.textContent = text;
        tr.append(td);
      }
      return tr;
    }));
    $("grade-panel").hidden = false;
  }

  // Fitted to the pane, or at its printed size on a 96 dpi screen.
  function sizePicture(img, widthMm) {
    const actual = $("actual-size").checked;
    $("picture").classList.toggle("actual", actual);
    img.style.width = actual ? `${(widthMm / 25.4) * 96}px` : "";
  }

  function draw() {
    const o = options();
    try {
      const png = k.toPNG(o);
      const facts = k.encode(o);
      const verdict = k.verify(o);
      if (url) URL.revokeObjectURL(url);
      url = URL.createObjectURL(new Blob([png], { type: "image/png" }));
      const img = new Image();
      img.src = url;
      img.alt = `${facts.title} of ${facts.data}`;
      img.id = "symbol";
      sizePicture(img, facts.layout.widthMm);
      $("picture").replaceChildren(img);
      $("printed-size").textContent = `Printed size ${facts.layout.widthMm.toFixed(2)} x ${
        facts.layout.heightMm.toFixed(2)} mm at ${o.dpi} dpi`;
      $("error").hidden = true;
      for (const id of ["picture", "facts"]) $(id).classList.remove("stale");
      const rows = [["Data", facts.data], ["Size", `${facts.layout.widthMm.toFixed(2)} x ${facts.layout.heightMm.toFixed(2)} mm`],
        ["X", `${facts.layout.xMm.toFixed(3)} mm`]];
      if (facts.checkCharacters) rows.push([facts.checkSupplied ? "Check digit (given)" : "Check digit added", facts.checkCharacters]);
      if (facts.qr) rows.push(["Version", `${facts.qr.version}-${facts.qr.level}`]);
      if (facts.aztec) rows.push(["Layers", `${facts.aztec.layers} (${facts.aztec.compact ? "compact" : "full range"})`]);
      if (facts.pdf417) rows.push(["Rows, columns", `${facts.pdf417.rows} x ${facts.pdf417.columns}, level ${facts.pdf417.level}`]);
      if (facts.matrix) rows.push(["Modules", `${facts.rows} x ${facts.columns}`]);
      rows.push(["Verify", verdict.ok ? "reads back as given" : `fails: ${verdict.reason}`]);
      rows.push(["Grade", "grading\u2026"]);
      for (const w of [...facts.warnings, ...facts.layout.warnings]) rows.push(["Warning", w]);
      let gradeDd = null;
      $("facts").replaceChildren(...rows.flatMap(([t, d]) => {
        const dt = document.createElement("dt"), dd = document.createElement("dd");
        dt.textContent = t;
        dd.textContent = d;
        if (t === "Grade") gradeDd = dd;
        return [dt, dd];
      }));
      gradeAfterPaint(o, gradeDd);
    } catch (e) {
      if (!(e instanceof k.KorvaneError)) throw e;
      $("error").textContent = e.message;
      $("error").hidden = false;
      // The last good symbol stays for reference, greyed and marked as not
      // this data's; its pending grade is dropped.
      ++drawn;
      for (const id of ["picture", "facts"]) $(id).classList.add("stale");
      $("grade-panel").hidden = true;
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

  // The symbology's input event reaches this field before the form's redraw.
  $("symbology").addEventListener("input", showOwnOptions);
  $("form").addEventListener("input", draw);
  $("actual-size").addEventListener("input", draw);
  $("form").addEventListener("submit", (e) => e.preventDefault());
  for (const f of ["svg", "png", "pdf"]) $(f).addEventListener("click", () => download(f));
  $("sheet-pdf").addEventListener("click", downloadSheet);
  $("sheet-form").addEventListener("submit", (e) => { e.preventDefault(); downloadSheet(); });
  showOwnOptions();
  draw();
  document.body.dataset.ready = "1";
})();
