#include "text/web_font_text.h"

#include "text/language.h"

int WebFontProblemTextId(WebFontProblem problem) {
  switch (problem) {
    case WebFontProblem::kTooLarge: return kTextWebFontTooLarge;
    case WebFontProblem::kTruncated: return kTextWebFontTruncated;
    case WebFontProblem::kLengthMismatch: return kTextWebFontLengthMismatch;
    case WebFontProblem::kOverlap: return kTextWebFontOverlap;
    case WebFontProblem::kBadTransform: return kTextWebFontTransform;
    case WebFontProblem::kCorrupt: return kTextWebFontCorrupt;
    case WebFontProblem::kBadHeader: return kTextWebFontBadHeader;
    case WebFontProblem::kNone:
    case WebFontProblem::kOutOfMemory: break;
  }
  return -1;
}
