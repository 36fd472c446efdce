// Types of the korvane package: the korvane barcode library in WebAssembly.

/** A length: a number in millimetres (modules for quiet zones), or a string
 *  with its unit: "0.33mm", "1cm", "0.013in", "10mil", "1pt", "4px", and for
 *  height and quiet zones "50x" modules. */
export type Length = number | string;

/** "RRGGBB", "#RRGGBB", "RRGGBBAA", "none", "black", "white", ...,
 *  "cmyk:C,M,Y,K" in whole percent, or [r, g, b] / [r, g, b, a] 0-255. */
export type Colour = string | [number, number, number] | [number, number, number, number];

export interface Options {
  /** "ean13", "code128", "aztec", "qr", "datamatrix", ... or an alias; symbologies() lists them. */
  symbology: string;
  /** A string (sent as UTF-8) or bytes. */
  data: string | Uint8Array;
  /**
   * Called with each warning of the symbol and its layout (X snapped, below the
   * symbology's minimum, ...) when a file is made; without it, Node's
   * process.emitWarning() gets them (type "KorvaneWarning").
   */
  onWarning?: (message: string) => void;

  // Layout
  /** Dots per inch, 1-10000 (default 300); null lays out in pixels. */
  dpi?: number | null;
  xDim?: Length;
  height?: Length;
  /** Bar width reduction. */
  bwr?: Length;
  /** Beside the symbol, or [beside, above and below]. */
  quietZone?: Length | [Length, Length];
  /** Human-readable text (default true). */
  text?: boolean;
  noText?: boolean;
  fontSize?: Length;
  fg?: Colour;
  bg?: Colour;
  rotate?: 0 | 90 | 180 | 270;

  // Encoding; each is refused where it does not apply to the symbology
  check?: boolean;
  escapes?: boolean;
  gs1?: boolean;
  eci?: number;
  wideRatio?: 2 | 3;
  code128Start?: "A" | "B" | "C";
  msiCheck?: "mod10" | "mod11" | "mod11-mod10" | "mod10-mod10";
  codabarStart?: "A" | "B" | "C" | "D";
  codabarStop?: "A" | "B" | "C" | "D";
  upceSystem?: 0 | 1;
  addOn?: string;
  addOnGap?: number;
  aztecEncoder?: "optimal" | "specified";
  /** Aztec check words, percent. */
  ecc?: number;
  eccWords?: number;
  aztecSize?: number;
  compact?: boolean;
  fullRange?: boolean;
  aztecBytes?: boolean;
  readerInit?: boolean;
  /** [index, count] or [index, count, id]. */
  structured?: [number, number] | [number, number, string];
  qrLevel?: "L" | "M" | "Q" | "H";
  qrVersion?: number;
  qrMask?: number;
  noBoost?: boolean;
  noKanji?: boolean;
  /** [rows, columns]. */
  dmSize?: [number, number];
  dmShape?: "square" | "rect" | "any";
  dmre?: boolean;
  /** PDF417: error correction 0-8 (default: the recommended minimum), data columns 1-30, rows 3-90. */
  pdfLevel?: number;
  pdfColumns?: number;
  pdfRows?: number;
  pdfCompact?: boolean;
  /** PDF417: the width over height to approach (default 3). */
  pdfAspect?: number;
  /** PDF417: a row's height in modules, 1-20 (default 3). */
  rowHeight?: number;
  /** The optional Macro PDF417 fields. */
  pdfMacro?: { fileName?: string; timeStamp?: number; sender?: string; addressee?: string; fileSize?: number; checksum?: number };
}

export interface LayoutFacts {
  /** Canvas in dots. */
  width: number;
  height: number;
  dpi: number;
  widthMm: number;
  heightMm: number;
  /** The X reached, snapped to whole dots. */
  xMm: number;
  moduleDots: number;
  warnings: string[];
}

export interface Facts {
  symbology: string;
  title: string;
  /** The data as a reader returns it (check digits of EAN/UPC included). */
  data: string;
  /** The human-readable text. */
  text: string;
  checkCharacters: string;
  checkSupplied: boolean;
  addOn: string;
  warnings: string[];
  matrix: boolean;
  /** Matrix symbols: rows of "0"/"1", top row first. */
  rows?: number;
  columns?: number;
  modules?: string[];
  /** Linear symbols: element widths in modules, bar first. */
  widthModules?: number;
  widths?: number[];
  aztec?: { compact: boolean; layers: number; dataCodewords: number; totalCodewords: number; eccPercent: number };
  qr?: { version: number; level: "L" | "M" | "Q" | "H"; mask: number; dataCodewords: number; checkCodewords: number; bitsLeft: number };
  dataMatrix?: { rectangular: boolean; dmre: boolean; dataCodewords: number; checkCodewords: number };
  /** Rows and data columns; capacityLeft: padding codewords; segments: of a Macro PDF417 set. */
  pdf417?: { rows: number; columns: number; level: number; dataCodewords: number; checkCodewords: number;
    capacityLeft: number; compact: boolean; readerInit: boolean; segments?: { index: number; count: number } };
  layout: LayoutFacts;
}

export interface Verdict {
  ok: boolean;
  read: string;
  reason: string;
  /** Index into the data, -1 when none. */
  firstDifference: number;
  correctedCodewords: number;
}

/** A printer grade() prints with: a named profile, or "DPI[,GAIN[,BLUR]]"
 *  with gain and blur in printer dots or, followed by "mm", millimetres. */
export type Printer = "ideal" | "thermal203" | "thermal300" | "laser600" | (string & {});

export interface GradeOptions extends Options {
  /** Default "ideal": the drawing as laid out. */
  printer?: Printer;
}

export type GradeLetter = "A" | "B" | "C" | "D" | "F";

export interface QualityParameter {
  /** "decode", "symbol contrast", "modulation", ... */
  name: string;
  /** Reflectances and contrasts as fractions (0.7 is 70 %); decode 1 or 0. */
  value: number;
  grade: GradeLetter;
  /** Reported, not graded (print growth). */
  informative: boolean;
}

export interface QualityGrade {
  /** False where the symbology is not graded; reason says why. */
  graded: boolean;
  reason: string;
  /** "ISO/IEC 15416" (linear) or "ISO/IEC 15415" (two-dimensional). */
  standard: string;
  /** 0.0 (F) to 4.0 (A), to one decimal. */
  grade: number;
  letter: GradeLetter;
  /** Grade, aperture and wavelength as verifiers write them: "4.0/06/670". */
  text: string;
  printer: string;
  /** The printer's resolution; 0 where it prints at the drawing's own. */
  printerDpi: number;
  /** Linear: each parameter's worst over the scan lines; matrix: the symbol's;
   *  PDF417: the rows' worst and the symbol's own. */
  parameters: QualityParameter[];
  /** Linear symbols: the parameters of each of the ten scan lines; PDF417: of each row. */
  scans: QualityParameter[][];
}

export interface SheetOptions {
  /** "A4" (default), "A3", "A5", "A6", "Letter", "Legal", "WxH" with a unit ("100x150mm", "4x6in"), or [width, height]. */
  page?: string | [Length, Length];
  /** [columns, rows] or "CxR", 1-100 each (default [1, 1]). */
  grid?: [number, number] | string;
  /** All sides; [vertical, horizontal]; [top, horizontal, bottom]; or [top, right, bottom, left]. Default 10 mm. */
  margins?: Length | Length[];
  /** Between cells, or [between columns, between rows]. Default 0. */
  gap?: Length | [Length, Length];
  /** The page's resolution, which its labels share; default the first label's (300). */
  dpi?: number;
  /**
   * A line under each label: a template of {n} (from 1), {data} (the data as
   * encoded, with its check digits) and {input} (as given), or one string per label.
   */
  labelText?: string | string[];
  /** Marks in the margins where the cells' edges run. */
  cutMarks?: boolean;
}

export interface SymbologyInfo {
  name: string;
  title: string;
  aliases: string[];
  characters: string;
  check: "none" | "optional" | "optional-on" | "mandatory";
  matrix: boolean;
  capabilities: string[];
  /** The encoding options that apply, as Options spells them. */
  options: string[];
  defaultXMm: number;
  minXMm: number;
  /** The most bytes of data any symbol holds; longer data is refused at once. */
  maxDataBytes: number;
}

export type ErrorCode =
  | "unknown-symbology" | "invalid-data" | "check-digit" | "data-too-long" | "invalid-option"
  | "size-too-large" | "unknown-format" | "write-failed" | "verify-failed";

export class KorvaneError extends Error {
  constructor(message: string, code: ErrorCode, position?: number | null);
  readonly code: ErrorCode;
  /** 1-based position of the character the message names, or null. */
  readonly position: number | null;
}

export type WasmSource = string | URL | Response | ArrayBuffer | ArrayBufferView | WebAssembly.Module;

/** Loads korvane.wasm: from `source`, or from beside the module. Needed once before
 *  the first call in browsers; Node loads it on first use. */
export function init(source?: WasmSource): Promise<void>;
export function initSync(source?: ArrayBuffer | ArrayBufferView | WebAssembly.Module): void;

export function toSVG(options: Options): string;
export function toPDF(options: Options): Uint8Array;
export function toEPS(options: Options): Uint8Array;
export function toPNG(options: Options): Uint8Array;
export function toEMF(options: Options): Uint8Array;
export function toBMP(options: Options): Uint8Array;
export function toFormat(format: "svg", options: Options): string;
export function toFormat(format: "pdf" | "eps" | "png" | "emf" | "bmp", options: Options): Uint8Array;
export function encode(options: Options): Facts;
export function verify(options: Options): Verdict;
/** The print-quality grade a verifier would give the symbol once printed. */
export function grade(options: GradeOptions): QualityGrade;
/** Label sheets as one PDF: the labels share the first one's colours and the sheet's resolution. */
export function sheet(items: Options[], options?: SheetOptions): Uint8Array;
export function symbologies(): SymbologyInfo[];
/** Checks GS1 element strings; returns notes of AIs that need others the data lacks, throws KorvaneError for data GS1 refuses. */
export function gs1Check(data: string): string[];
/** The GS1 Digital Link URI of element strings, on GS1's domain unless one is given. */
export function gs1DigitalLink(data: string, domain?: string): string;
/** The element strings of a GS1 Digital Link URI. */
export function gs1FromDigitalLink(uri: string): string;
/** Element strings as printed under a symbol: "(01) 09506000134352 (17) 270101". */
export function gs1Hri(data: string): string;

/** One encoding or layout option as the library's tables have it. */
export interface OptionInfo {
  /** As Options spells it: "eccWords", "xDim". */
  name: string;
  kind: "flag" | "integer" | "number" | "letter" | "word" | "text" | "set" | "size" | "fields" | "length" | "lengths" |
    "colour";
  /** The value in help texts: "N", "A-D", "I/N[:ID]"; "" for a flag. */
  valueName: string;
  /** The range of an integer or number (a set: its largest count; a length: the largest in mm, high). */
  low: number;
  high: number;
  /** The letters or words a letter or word option takes; a layout integer's values, a layout number's word for 0. */
  choices: string[];
  help: string;
}
/** Every encoding option: what it takes and what it does; symbologies() says which apply where. */
export function encodeOptions(): OptionInfo[];
/** Every layout option (dpi, xDim, quietZone, fg, rotate, ...): what it takes and what it does. */
export function layoutOptions(): OptionInfo[];
export function version(): string;
