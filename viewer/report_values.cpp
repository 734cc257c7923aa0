#include "viewer/report_values.h"

FontSignatureWords ToSignatureWords(const FONTSIGNATURE& signature) {
  FontSignatureWords words;
  for (int i = 0; i < 4; ++i) words.unicode_ranges[i] = signature.fsUsb[i];
  for (int i = 0; i < 2; ++i) words.code_pages[i] = signature.fsCsb[i];
  return words;
}

ReportMetrics ToReportMetrics(const TEXTMETRICA& tm) {
  ReportMetrics m;
  m.height = tm.tmHeight;
  m.ascent = tm.tmAscent;
  m.descent = tm.tmDescent;
  m.internal_leading = tm.tmInternalLeading;
  m.external_leading = tm.tmExternalLeading;
  m.ave_char_width = tm.tmAveCharWidth;
  m.max_char_width = tm.tmMaxCharWidth;
  m.weight = tm.tmWeight;
  m.overhang = tm.tmOverhang;
  m.digitized_aspect_x = tm.tmDigitizedAspectX;
  m.digitized_aspect_y = tm.tmDigitizedAspectY;
  m.italic = tm.tmItalic;
  m.underlined = tm.tmUnderlined;
  m.struck_out = tm.tmStruckOut;
  return m;
}
