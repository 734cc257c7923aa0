#include "fontfile/face_facts.h"

namespace {

void ReadKern(ByteView table, FaceFacts& facts) {
  uint16_t version = 0;
  if (!ReadU16BE(table, 0, 0, version)) {
    facts.kern_broken = true;
    return;
  }
  // Microsoft's version 0 counts its subtables in 16 bits; Apple's 1.0 (a 32-bit
  // version 0x00010000) in 32.
  uint32_t count = 0;
  uint32_t position = 0;
  uint32_t header = 0;
  if (version == 0) {
    uint16_t short_count = 0;
    if (!ReadU16BE(table, 0, 2, short_count)) {
      facts.kern_broken = true;
      return;
    }
    count = short_count;
    position = 4;
    header = 2;  // version, then a length of 16 bits
  } else if (version == 1) {
    if (!ReadU32BE(table, 0, 4, count)) {
      facts.kern_broken = true;
      return;
    }
    position = 8;
    header = 0;  // a length of 32 bits comes first
  } else {
    facts.kern_broken = true;
    return;
  }
  // Walk the subtables by their lengths: each must lie in the table.
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t length = 0;
    if (header == 2) {
      uint16_t short_length = 0;
      if (!ReadU16BE(table, position, 2, short_length)) break;
      length = short_length;
    } else if (!ReadU32BE(table, position, 0, length)) {
      break;
    }
    // A last subtable whose 16-bit length wrapped (large format 0 tables do)
    // runs to the table's end.
    if (length < 6 || !InBounds(table, position, length)) {
      if (i + 1 == count && header == 2 && position < table.size) {
        ++facts.kern_subtables;
        return;
      }
      break;
    }
    ++facts.kern_subtables;
    position += length;
  }
  if (facts.kern_subtables != count) facts.kern_broken = true;
}

void ReadGasp(ByteView table, FaceFacts& facts) {
  uint16_t version = 0, count = 0;
  if (!ReadU16BE(table, 0, 0, version) || !ReadU16BE(table, 0, 2, count) || version > 1 ||
      !InBounds(table, 4, 4 * uint32_t{count})) {
    facts.gasp_broken = true;
    return;
  }
  for (uint32_t i = 0; i < count; ++i) {
    GaspRange range;
    ReadU16BE(table, 4 + 4 * i, 0, range.max_ppem);
    ReadU16BE(table, 4 + 4 * i, 2, range.behavior);
    facts.gasp_ranges.push_back(range);
  }
}

void ReadDsig(ByteView table, FaceFacts& facts) {
  uint32_t version = 0;
  uint16_t count = 0;
  if (!ReadU32BE(table, 0, 0, version) || !ReadU16BE(table, 0, 4, count) || version != 1 ||
      !InBounds(table, 8, 12 * uint32_t{count})) {
    facts.dsig_broken = true;
    return;
  }
  facts.signatures = count;
}

}  // namespace

FaceFacts ReadFaceFacts(const FaceFactTables& t) {
  FaceFacts facts;
  if (t.os2.present() && ReadU16BE(t.os2.bytes, 0, 8, facts.fs_type)) facts.has_fs_type = true;
  facts.kern = t.kern.state;
  facts.kern_broken = t.kern.state == TableState::kBroken;
  if (t.kern.present()) ReadKern(t.kern.bytes, facts);
  facts.vhea = t.vhea.state;
  facts.vmtx = t.vmtx.state;
  facts.vorg = t.vorg.state;
  facts.fpgm = t.fpgm.state;
  facts.prep = t.prep.state;
  facts.cvt = t.cvt.state;
  facts.fpgm_size = t.fpgm.bytes.size;
  facts.prep_size = t.prep.bytes.size;
  facts.cvt_size = t.cvt.bytes.size;
  facts.gasp = t.gasp.state;
  facts.gasp_broken = t.gasp.state == TableState::kBroken;
  if (t.gasp.present()) ReadGasp(t.gasp.bytes, facts);
  facts.dsig = t.dsig.state;
  facts.dsig_broken = t.dsig.state == TableState::kBroken;
  if (t.dsig.present()) ReadDsig(t.dsig.bytes, facts);
  return facts;
}
