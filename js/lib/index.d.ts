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
export function symbologies(): SymbologyInfo[];
export function version(): string;
