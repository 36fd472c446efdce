#pragma once
// The korvane C++ API in one include:
//
//   auto symbol = korvane::encode(korvane::Symbology::Ean13, "590123412345");
//   if (!symbol) return fail(symbol.error().message);
//   korvane::LayoutOptions lo;
//   lo.xDim = korvane::mm(0.33);
//   lo.dpi = 300;
//   auto drawing = korvane::layout(*symbol, lo);
//   korvane::writeFile(*drawing, "label.svg");

#include "Drawing.h"
#include "Encode.h"
#include "Facts.h"
#include "Grade.h"
#include "Gs1.h"
#include "Message.h"
#include "Layout.h"
#include "Options.h"
#include "Raster.h"
#include "Request.h"
#include "Result.h"
#include "Sheet.h"
#include "Symbol.h"
#include "Symbology.h"
#include "Units.h"
#include "Values.h"
#include "Verify.h"
#include <korvane/Version.h>
#include "Write.h"
