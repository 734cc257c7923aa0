// The content plug-in's fields: their names, types and units in the host's
// conventions, and each one's value from a file's FontFields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "content/font_fields.h"

// The host's field types and results (its own numbers).
constexpr int kFtNoMoreFields = 0, kFtNumeric32 = 1, kFtBoolean = 6, kFtMultipleChoice = 7,
              kFtString = 8, kFtFullText = 9, kFtStringW = 11, kFtFullTextW = 12;
constexpr int kFtDelayed = 0, kFtNoSuchField = -1, kFtFileError = -2, kFtFieldEmpty = -3;
// The flag of a call from the thread that draws the file list.
constexpr int kContentDelayIfSlow = 1;

enum class Field : int {
  kFamily, kStyle, kFullName, kPostScriptName, kVersion, kManufacturer, kDesigner, kLicenceUrl,
  kFormat, kFaces, kGlyphs, kCharacters, kWeightClass, kWidthClass, kItalic, kMonospaced,
  kVariable, kAxes, kNamedInstances, kColour, kEmbedding, kUnicodeBlocks, kScripts,
  kCharacterText,
  kCount
};
constexpr int kFieldCount = static_cast<int>(Field::kCount);

struct FieldDefinition {
  const char* name;  // as the host lists it: the key of its columns and searches
  int type;          // as ContentGetSupportedField declares it
  FieldParts part;   // what must be read for it
};
const FieldDefinition& DefinitionOf(Field field);

// The texts of the multiple-choice values, in the interface language (ANSI).
struct ChoiceTexts {
  std::vector<std::string> formats;     // by FileFormat, kNone's left empty
  std::vector<std::string> colours;     // by ColourFormat
  std::vector<std::string> embeddings;  // by Embedding
};
// From the language file (empty: the English texts).
ChoiceTexts LoadChoiceTexts(const std::string& language_file);

// The choices of a multiple-choice field joined by '|', as its units; "" for
// every other field.
std::string FieldUnits(Field field, const ChoiceTexts& texts);

// One field's value, before it is written for the host.
struct FieldValue {
  int type = kFtFieldEmpty;  // kFtNumeric32, kFtBoolean, kFtMultipleChoice, kFtString (text
                             // in `text`, UTF-8), kFtFullText, or kFtFieldEmpty
  int32_t number = 0;        // numbers and flags
  std::string text;          // a string field's UTF-8, a choice's ANSI text
};
// The value of every field but the character text (kFtFullText: read apart).
FieldValue ValueOf(Field field, const FontFields& fields, const ChoiceTexts& texts);
