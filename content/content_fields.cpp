#include "content/content_fields.h"

#include <iterator>

#include "text/language.h"

namespace {

constexpr FieldDefinition kFields[] = {
    {"Family", kFtString, kFacePart},
    {"Style", kFtString, kFacePart},
    {"Full name", kFtString, kFacePart},
    {"PostScript name", kFtString, kFacePart},
    {"Version", kFtString, kFacePart},
    {"Manufacturer", kFtString, kFacePart},
    {"Designer", kFtString, kFacePart},
    {"License URL", kFtString, kFacePart},
    {"Format", kFtMultipleChoice, kFacePart},
    {"Faces", kFtNumeric32, kFacePart},
    {"Glyphs", kFtNumeric32, kFacePart},
    {"Characters", kFtNumeric32, kFacePart},
    {"Weight class", kFtNumeric32, kFacePart},
    {"Width class", kFtNumeric32, kFacePart},
    {"Italic", kFtBoolean, kFacePart},
    {"Monospaced", kFtBoolean, kFacePart},
    {"Variable", kFtBoolean, kFacePart},
    {"Axes", kFtString, kFacePart},
    {"Named instances", kFtNumeric32, kFacePart},
    {"Colour", kFtMultipleChoice, kFacePart},
    {"Embedding", kFtMultipleChoice, kFacePart},
    {"Unicode blocks", kFtString, kCoveragePart},
    {"Scripts", kFtString, kFacePart},
    {"Mapped characters", kFtFullText, kCoveragePart},
};
static_assert(std::size(kFields) == kFieldCount);

// A choice is one of the units '|' separates: a translation keeps none.
std::string Choice(int id, const std::string& language_file) {
  std::string text = LoadLanguageString(id, language_file);
  std::erase(text, '|');
  return text.empty() ? EnglishString(id) : text;
}

std::string Join(const std::vector<std::string>& items, size_t first) {
  std::string out;
  for (size_t i = first; i < items.size(); ++i) {
    if (i > first) out += '|';
    out += items[i];
  }
  return out;
}

FieldValue Number(uint32_t value) {
  return FieldValue{kFtNumeric32, static_cast<int32_t>(value), {}};
}
FieldValue Flag(bool value) { return FieldValue{kFtBoolean, value ? 1 : 0, {}}; }
FieldValue Text(const std::string& text) {
  if (text.empty()) return {};
  return FieldValue{kFtString, 0, text};
}
FieldValue Text(const std::optional<std::string>& text) { return text ? Text(*text) : FieldValue{}; }
FieldValue Choose(const std::vector<std::string>& choices, size_t index) {
  if (index >= choices.size() || choices[index].empty()) return {};
  return FieldValue{kFtMultipleChoice, 0, choices[index]};
}

}  // namespace

const FieldDefinition& DefinitionOf(Field field) { return kFields[static_cast<int>(field)]; }

ChoiceTexts LoadChoiceTexts(const std::string& language_file) {
  ChoiceTexts texts;
  // Names of formats are the same in every language; only "Collection" is a word.
  texts.formats = {"", "TrueType", "OpenType (CFF)", "CFF2", Choice(kTextContentCollection, language_file),
                   "WOFF", "WOFF2", "FON", "PFM"};
  texts.colours = {Choice(kTextContentNoColour, language_file), "COLR", "CBDT", "sbix", "SVG"};
  texts.embeddings = {Choice(kTextEmbedInstallable, language_file),
                      Choice(kTextEmbedRestricted, language_file),
                      Choice(kTextEmbedPreviewPrint, language_file),
                      Choice(kTextEmbedEditable, language_file)};
  return texts;
}

std::string FieldUnits(Field field, const ChoiceTexts& texts) {
  switch (field) {
    case Field::kFormat: return Join(texts.formats, 1);
    case Field::kColour: return Join(texts.colours, 0);
    case Field::kEmbedding: return Join(texts.embeddings, 0);
    default: return {};
  }
}

FieldValue ValueOf(Field field, const FontFields& f, const ChoiceTexts& texts) {
  if (!f.recognized) return {};
  switch (field) {
    case Field::kFamily: return Text(f.family);
    case Field::kStyle: return Text(f.style);
    case Field::kFullName: return Text(f.full_name);
    case Field::kPostScriptName: return Text(f.postscript_name);
    case Field::kVersion: return Text(f.version);
    case Field::kManufacturer: return Text(f.manufacturer);
    case Field::kDesigner: return Text(f.designer);
    case Field::kLicenceUrl: return Text(f.licence_url);
    case Field::kFormat: return Choose(texts.formats, static_cast<size_t>(f.format));
    case Field::kFaces: return Number(f.faces);
    case Field::kGlyphs: return f.glyphs ? Number(*f.glyphs) : FieldValue{};
    case Field::kCharacters: return f.characters ? Number(*f.characters) : FieldValue{};
    case Field::kWeightClass: return Number(f.weight);
    case Field::kWidthClass: return f.width_class ? Number(*f.width_class) : FieldValue{};
    case Field::kItalic: return Flag(f.italic);
    case Field::kMonospaced: return f.monospaced ? Flag(*f.monospaced) : FieldValue{};
    case Field::kVariable: return Flag(f.variable);
    case Field::kAxes: return Text(f.axes);
    case Field::kNamedInstances: return Number(f.named_instances);
    case Field::kColour: return Choose(texts.colours, static_cast<size_t>(f.colour));
    case Field::kEmbedding:
      return f.embedding ? Choose(texts.embeddings, static_cast<size_t>(*f.embedding))
                         : FieldValue{};
    case Field::kUnicodeBlocks: return Text(f.blocks);
    case Field::kScripts: return Text(f.scripts);
    default: return {};
  }
}
