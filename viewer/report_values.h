// What the Info report takes from GDI: the selected font's signature and text
// metrics, as the portable report builder wants them. Shared by the viewer and
// by orvane-info --report, so that both print the same figures.
#pragma once

#include <windows.h>

#include "text/info_report.h"

FontSignatureWords ToSignatureWords(const FONTSIGNATURE& signature);
ReportMetrics ToReportMetrics(const TEXTMETRICA& tm);
