#include "content/content_service.h"

#include <algorithm>
#include <cstring>

namespace {

// Copies `text` cut to capacity - 1 bytes and ends it; nothing when there is no room.
void CopyCut(const std::string& text, char* out, int capacity) {
  if (!out || capacity <= 0) return;
  const size_t length = std::min(text.size(), static_cast<size_t>(capacity) - 1);
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// UTF-16 units of `text` from `offset` into a buffer of `size` bytes, ended, a
// surrogate pair never split; the units written, 0 when none fit.
size_t WriteUnits(const std::u16string& text, size_t offset, void* out, int size) {
  const size_t room = static_cast<size_t>(size) / 2;
  if (room < 2 || offset >= text.size()) return 0;
  size_t count = std::min(room - 1, text.size() - offset);
  if (offset + count < text.size() && IsHighSurrogate(text[offset + count - 1])) --count;
  if (count == 0) return 0;
  char16_t* units = static_cast<char16_t*>(out);
  std::memcpy(units, text.data() + offset, count * sizeof(char16_t));
  units[count] = u'\0';
  return count;
}

std::string ToAnsi(const std::u16string& text) {
  if (text.empty()) return {};
  // A double-byte code page may take two bytes for a unit.
  std::string out(2 * text.size() + 1, '\0');
  const size_t produced = ConvertUtf16ToAnsi(reinterpret_cast<const uint16_t*>(text.data()),
                                             text.size(), out.data(), out.size());
  out.resize(produced);
  return out;
}

int WriteValue(const FieldValue& value, void* out, int size, bool wide) {
  switch (value.type) {
    case kFtNumeric32:
    case kFtBoolean:
      if (size < static_cast<int>(sizeof(int32_t))) return kFtFieldEmpty;
      std::memcpy(out, &value.number, sizeof(int32_t));
      return value.type;
    case kFtMultipleChoice:
      CopyCut(value.text, static_cast<char*>(out), size);
      return kFtMultipleChoice;
    case kFtString:
      if (wide) return WriteUnits(Utf8ToUtf16(value.text), 0, out, size) ? kFtStringW : kFtFieldEmpty;
      CopyCut(ToAnsi(Utf8ToUtf16(value.text)), static_cast<char*>(out), size);
      return kFtString;
    default: return kFtFieldEmpty;
  }
}

}  // namespace

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    if (extra && i + extra >= text.size()) break;  // cut short: dropped
    uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) code = code << 6 | (static_cast<uint8_t>(text[i + k]) & 0x3F);
    i += static_cast<size_t>(extra) + 1;
    if (code < 0x10000) {
      out += static_cast<char16_t>(code);
    } else if (code <= 0x10FFFF) {
      code -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (code >> 10));
      out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    }
  }
  return out;
}

ContentService::ContentService() : texts_(LoadChoiceTexts("")) {}

void ContentService::SetLanguageFile(const std::string& language_file) {
  ChoiceTexts texts = LoadChoiceTexts(language_file);
  std::lock_guard lock(mutex_);
  texts_ = std::move(texts);
}

int ContentService::SupportedField(int index, char* name, char* units, int maxlen) const {
  if (index < 0 || index >= kFieldCount) return kFtNoMoreFields;
  const Field field = static_cast<Field>(index);
  CopyCut(DefinitionOf(field).name, name, maxlen);
  std::lock_guard lock(mutex_);
  CopyCut(FieldUnits(field, texts_), units, maxlen);
  return DefinitionOf(field).type;
}

ContentService::Kept* ContentService::Find(const std::string& path, const FileStamp& stamp) {
  for (Kept& kept : kept_)
    if (kept.path == path && kept.stamp == stamp) return &kept;
  return nullptr;
}

std::optional<FileStamp> ContentService::Stamp(const std::string& path) {
  const auto now = std::chrono::steady_clock::now();
  {
    std::lock_guard lock(mutex_);
    for (const Kept& kept : kept_)
      if (kept.path == path && now - kept.checked < kTrustKeptFields) return kept.stamp;
  }
  const std::optional<FileStamp> stamp = StampOfFile(path.c_str());
  if (!stamp) return stamp;
  std::lock_guard lock(mutex_);
  if (Kept* kept = Find(path, *stamp)) kept->checked = now;
  return stamp;
}

std::shared_ptr<const FontFields> ContentService::Fields(const std::string& path,
                                                         const FileStamp& stamp, FieldParts parts,
                                                         bool delay_if_slow, int& result) {
  std::shared_ptr<const FontFields> base;
  FieldParts wanted = kAllParts;
  auto stop = std::make_shared<std::atomic<bool>>(false);
  {
    std::lock_guard lock(mutex_);
    if (Kept* kept = Find(path, stamp)) {
      if ((kept->fields->parts & parts) == parts) return kept->fields;
      base = kept->fields;
    }
    // A large file's whole character map is read from the background thread
    // only; from the drawing thread its face part alone.
    const bool large = stamp.size > kSlowFileSize;
    if (delay_if_slow && large) {
      if (parts & kCoveragePart) {
        result = kFtDelayed;
        return nullptr;
      }
      wanted = kFacePart;
    }
    work_.push_back(Work{path, stop});
  }
  // Read outside the lock: the other thread's calls go on meanwhile. Only a face
  // part is ever kept alone, so the copy is small.
  FontFields fields = base ? *base : FontFields{};
  const bool done = ReadFontFields(path.c_str(), wanted, fields, stop.get());

  std::lock_guard lock(mutex_);
  std::erase_if(work_, [&stop](const Work& work) { return work.stop == stop; });
  if (!done) {
    result = kFtFieldEmpty;
    return nullptr;
  }
  auto shared = std::make_shared<const FontFields>(std::move(fields));
  if (Kept* kept = Find(path, stamp)) {
    // Another call may have read as much meanwhile.
    if ((kept->fields->parts & shared->parts) != shared->parts) kept->fields = shared;
    return shared;
  }
  kept_.push_back(Kept{path, stamp, shared, nullptr, std::chrono::steady_clock::now()});
  if (kept_.size() > kKeptFiles) kept_.erase(kept_.begin());
  return shared;
}

int ContentService::CharacterText(const std::string& path, const FileStamp& stamp,
                                  const FontFields& fields, int unit, void* out, int size,
                                  bool wide) {
  if (unit < 0) return kFtFieldEmpty;
  const size_t offset = static_cast<size_t>(unit);
  if (wide)
    return WriteUnits(fields.character_text, offset, out, size) ? kFtFullTextW : kFtFieldEmpty;
  // The ANSI text is made once and kept beside the fields, for the offsets the
  // host counts in its bytes.
  std::shared_ptr<const std::string> ansi;
  {
    std::lock_guard lock(mutex_);
    Kept* kept = Find(path, stamp);
    if (kept && kept->ansi_text) ansi = kept->ansi_text;
  }
  if (!ansi) {
    ansi = std::make_shared<const std::string>(ToAnsi(fields.character_text));
    std::lock_guard lock(mutex_);
    if (Kept* kept = Find(path, stamp)) kept->ansi_text = ansi;
  }
  if (offset >= ansi->size() || size < 2) return kFtFieldEmpty;
  const size_t count = std::min(ansi->size() - offset, static_cast<size_t>(size) - 1);
  std::memcpy(out, ansi->data() + offset, count);
  static_cast<char*>(out)[count] = '\0';
  return kFtFullText;
}

int ContentService::Value(const std::string& utf8_path, int index, int unit, void* out, int size,
                          int flags, bool wide) {
  if (index < 0 || index >= kFieldCount) return kFtNoSuchField;
  const Field field = static_cast<Field>(index);
  const FieldDefinition& definition = DefinitionOf(field);
  if (definition.type == kFtFullText && unit == -1) {
    // The search is done with this file: its text goes, the rest stays.
    std::lock_guard lock(mutex_);
    for (Kept& kept : kept_) {
      if (kept.path != utf8_path || !(kept.fields->parts & kCoveragePart)) continue;
      FontFields face = *kept.fields;
      face.parts &= static_cast<FieldParts>(~kCoveragePart);
      face.blocks.clear();
      face.character_text = std::u16string();
      kept.fields = std::make_shared<const FontFields>(std::move(face));
      kept.ansi_text.reset();
    }
    return kFtFieldEmpty;
  }
  if (!out || size <= 0) return kFtFieldEmpty;
  const std::optional<FileStamp> stamp = Stamp(utf8_path);
  if (!stamp) return kFtFileError;
  int result = kFtFieldEmpty;
  const std::shared_ptr<const FontFields> fields =
      Fields(utf8_path, *stamp, definition.part, (flags & kContentDelayIfSlow) != 0, result);
  if (!fields) return result;
  if (!fields->opened) return kFtFileError;
  if (definition.type == kFtFullText) {
    if (!fields->recognized) return kFtFieldEmpty;
    return CharacterText(utf8_path, *stamp, *fields, unit, out, size, wide);
  }
  FieldValue value;
  {
    std::lock_guard lock(mutex_);
    value = ValueOf(field, *fields, texts_);
  }
  return WriteValue(value, out, size, wide);
}

void ContentService::Stop(const std::string& utf8_path) {
  std::lock_guard lock(mutex_);
  for (Work& work : work_)
    if (work.path == utf8_path) work.stop->store(true);
}

void ContentService::Unload() {
  std::lock_guard lock(mutex_);
  for (Work& work : work_) work.stop->store(true);
  kept_.clear();
  kept_.shrink_to_fit();
  if (work_.empty()) work_.shrink_to_fit();
}
