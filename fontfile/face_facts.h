// Facts users look for that the names and code pages do not give: embedding
// permissions, kerning, vertical metrics, hinting and a digital signature.
#pragma once

#include <cstdint>
#include <vector>

#include "fontfile/byte_reader.h"
#include "fontfile/face_tables.h"

// OS/2 fsType bits.
constexpr uint16_t kEmbedRestricted = 0x0002, kEmbedPreviewPrint = 0x0004,
                   kEmbedEditable = 0x0008, kEmbedNoSubsetting = 0x0100,
                   kEmbedBitmapOnly = 0x0200;

struct GaspRange {
  uint16_t max_ppem = 0;
  uint16_t behavior = 0;  // bit 0 grid-fit, 1 grey, 2 symmetric grid-fit, 3 symmetric smoothing
};

struct FaceFacts {
  bool has_fs_type = false;
  uint16_t fs_type = 0;

  TableState kern = TableState::kAbsent;
  bool kern_broken = false;
  uint32_t kern_subtables = 0;

  TableState vhea = TableState::kAbsent, vmtx = TableState::kAbsent, vorg = TableState::kAbsent;

  TableState fpgm = TableState::kAbsent, prep = TableState::kAbsent, cvt = TableState::kAbsent;
  uint32_t fpgm_size = 0, prep_size = 0, cvt_size = 0;

  TableState gasp = TableState::kAbsent;
  bool gasp_broken = false;
  std::vector<GaspRange> gasp_ranges;

  TableState dsig = TableState::kAbsent;
  bool dsig_broken = false;
  uint16_t signatures = 0;
};

struct FaceFactTables {
  FaceTable os2, kern, vhea, vmtx, vorg, fpgm, prep, cvt, gasp, dsig;
};
FaceFacts ReadFaceFacts(const FaceFactTables& tables);
