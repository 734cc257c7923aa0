// The interface texts (ids 000-245), built-in English or from a language file.
#pragma once

#include <cstddef>
#include <string>

constexpr int kLanguageStringCount = 246;

// The section of the language files, and of the host's settings file.
constexpr const char* kIniSection = "Quenvale.Orvane";

// The ids of the texts; a language file's key is the id in three digits.
// The tab names follow the page order: kTextGlyphsTab + page.
constexpr int kTextGlyphsTab = 0, kTextInfoTab = 1, kTextSampleTab = 2, kTextOptionsTab = 3;
constexpr int kTextDefaultSample = 4;       // default of the "SampleText" setting
constexpr int kTextNoErrorInformation = 5;  // load-error message when the system gives no code
constexpr int kTextLoadErrorFormat = 6;     // "%s" path, "%d" code, "%s" message
// The Info report.
constexpr int kTextYes = 7, kTextNo = 8;
constexpr int kTextNamesHeading = 9;
constexpr int kTextNameLabel = 10, kTextFamilyLabel = 11, kTextStyleLabel = 12,
              kTextIdentifierLabel = 13, kTextPostScriptNameLabel = 14,
              kTextPostScriptCidLabel = 15, kTextTypeLabel = 16, kTextFileNameLabel = 17;
constexpr int kTextVersionHeading = 18, kTextCopyrightHeading = 19, kTextTrademarkHeading = 20,
              kTextDescriptionHeading = 21, kTextSampleTextHeading = 22,
              kTextManufacturerHeading = 23, kTextDesignerHeading = 24,
              kTextLicenseHeading = 25;
constexpr int kTextUnicodeBlocksHeading = 26, kTextCodePagesHeading = 27,
              kTextMetricsHeading = 28;
constexpr int kTextWidthLabel = 29, kTextWeightLabel = 30, kTextHeightLabel = 31,
              kTextItalicLabel = 32, kTextUnderlineLabel = 33, kTextStrikeOutLabel = 34,
              kTextAscentLabel = 35, kTextDescentLabel = 36, kTextInternalLeadingLabel = 37,
              kTextExternalLeadingLabel = 38, kTextAverageWidthLabel = 39,
              kTextMaximumWidthLabel = 40, kTextOverhangLabel = 41,
              kTextHorizontalAspectLabel = 42, kTextVerticalAspectLabel = 43;
// The Options page; the sort orders 0-3 follow their numbers: kTextFirstSortOrder + order.
constexpr int kTextZoomGroup = 44, kTextZoomSizeLabel = 45, kTextZoomWidthLabel = 46,
              kTextZoomHeightLabel = 47;
constexpr int kTextSortLabel = 48, kTextFirstSortOrder = 49, kTextLastSortOrder = 52;
constexpr int kTextLanguageLabel = 53;
constexpr int kTextSaveGroup = 54, kTextSavePage = 55, kTextSaveBlock = 56,
              kTextSaveCharset = 57, kTextSaveSample = 58;
constexpr int kTextAboutNote = 59;  // after the about text; empty in English
// The Info report's section on the characters the font holds.
constexpr int kTextCharactersHeading = 60, kTextCharactersLabel = 61, kTextPlaneLabel = 62;
constexpr int kTextOnlyCoveredBlocks = 63;  // option: the block list leaves out empty blocks
constexpr int kTextNotInFont = 64;          // zoom box of a character the font lacks
// The Info report of a collection's face: "Face  : 3 of 10".
constexpr int kTextFaceLabel = 65, kTextFaceOf = 66;
// The face selector's item for a face the readers cannot read: "2  (cannot be read)".
constexpr int kTextFaceUnreadable = 67;
// The zoom box and the Info report of a face the system draws with another.
constexpr int kTextOtherFace = 70;
// Why a web font was refused: the message of its load-error text.
constexpr int kTextFirstWebFont = 75;
constexpr int kTextWebFontTooLarge = 75, kTextWebFontTruncated = 76,
              kTextWebFontLengthMismatch = 77, kTextWebFontOverlap = 78,
              kTextWebFontTransform = 79, kTextWebFontCorrupt = 80, kTextWebFontBadHeader = 81;
// The Info report's section on a web font's container (sizes in kTextBytes).
constexpr int kTextWebFontHeading = 82, kTextContainerLabel = 83, kTextCompressedSizeLabel = 84,
              kTextDecodedSizeLabel = 85, kTextHeaderVersionLabel = 86, kTextMetadataHeading = 87,
              kTextPrivateDataLabel = 88;
// The Info report's sections on what the font is made of: variation, OpenType
// layout, colour glyphs and further facts.
constexpr int kTextFirstAnatomy = 90;
constexpr int kTextAxesHeading = 90, kTextAxisMinimum = 91, kTextAxisDefault = 92,
              kTextAxisMaximum = 93, kTextAxisHidden = 94, kTextInstancesHeading = 95,
              kTextAxesRemapped = 96, kTextStatLabel = 97, kTextAxisValues = 98,
              kTextElidedName = 99;
constexpr int kTextScriptsHeading = 100, kTextDefaultLanguage = 101, kTextFeaturesHeading = 102,
              kTextTableDamaged = 103;
constexpr int kTextColorHeading = 104, kTextColorVersion = 105, kTextBaseGlyphs = 106,
              kTextLayers = 107, kTextPalettes = 108, kTextColoursEach = 109,
              kTextLightPalettes = 110, kTextDarkPalettes = 111, kTextStrikeSizes = 112,
              kTextSvgDocuments = 113;
constexpr int kTextFactsHeading = 114, kTextEmbeddingLabel = 115, kTextEmbedInstallable = 116,
              kTextEmbedRestricted = 117, kTextEmbedPreviewPrint = 118, kTextEmbedEditable = 119,
              kTextEmbedNoSubsetting = 120, kTextEmbedBitmapOnly = 121;
constexpr int kTextKerningLabel = 122, kTextKernTable = 123, kTextKernSubtables = 124,
              kTextKernFeature = 125, kTextVerticalLabel = 126, kTextHintingLabel = 127,
              kTextBytes = 128, kTextGaspLabel = 129, kTextGaspUpTo = 130, kTextGaspGridFit = 131,
              kTextGaspSmoothing = 132, kTextGaspSymmetricGridFit = 133,
              kTextGaspSymmetricSmoothing = 134, kTextGaspNone = 135, kTextSignatureLabel = 136,
              kTextSignatures = 137;
constexpr int kTextAnatomyEnd = 138;
// The instances of a variable font: the selector's first item, the Info report's
// lines, and why a chosen instance is drawn as the default (zoom box and report).
constexpr int kTextFirstInstance = 138;
constexpr int kTextInstanceLabel = 138, kTextDefaultInstance = 139, kTextCoordinatesLabel = 140,
              kTextInstanceCff2 = 141, kTextInstanceRefused = 142;
constexpr int kTextInstanceEnd = 143;  // ids 143-159 are not given yet
// Colour glyphs in the zoom box: a COLR version 1 glyph drawn in one colour, and a
// character the font lists but of which nothing can be drawn.
constexpr int kTextFirstColourGlyphs = 160;
constexpr int kTextColourFormNotDrawn = 160, kTextCannotBeDrawn = 161;
constexpr int kTextColourGlyphsEnd = 162;  // ids 162-199 are not given yet
// The Features page: its tab, its switch on the Options page, its choosers, the
// states and groups of the feature list, its notes and the glyph it names.
constexpr int kTextFirstFeatures = 200;
constexpr int kTextFeaturesTab = 200, kTextShowFeaturesPage = 201, kTextAutomatic = 202,
              kTextScriptLabel = 203, kTextLanguageChooserLabel = 204, kTextFeatureDefault = 205,
              kTextFeatureOn = 206, kTextFeatureOff = 207, kTextGsubGroup = 208,
              kTextGposGroup = 209, kTextBothGroup = 210, kTextLayoutRefused = 211,
              kTextTextCut = 212, kTextGlyphLabel = 213, kTextClusterLabel = 214,
              kTextAdvanceLabel = 215, kTextOffsetLabel = 216, kTextFeaturesHint = 217,
              kTextDefaultLanguageSystem = 218;
constexpr int kTextFeaturesEnd = 219;  // ids 219-239 are not given yet
// The glyph view: its entry in the block list, and what the zoom box says of a
// glyph (how characters and features reach it, its advance width and bounds).
constexpr int kTextFirstGlyphView = 240;
constexpr int kTextGlyphView = 240, kTextUnreachable = 241, kTextProducedBy = 242,
              kTextAdvance = 243, kTextBounds = 244, kTextGlyphs = 245;
// The content plug-in (ids 280-339): the values of its multiple-choice fields
// that are words. Not part of the viewer's table (kLanguageStringCount).
constexpr int kTextFirstContent = 280;
constexpr int kTextContentCollection = 280, kTextContentNoColour = 281;
constexpr int kTextContentEnd = 282;

// Name of the language whose texts are loaded; empty until the first SelectLanguage.
const char* CurrentLanguage();

// The built-in English text of id (0-161, 200-218, 240-245, and the content
// plug-in's from 280); "" for any other id and for the ids not given a text yet.
const char* EnglishString(int id);

// The language file for `name`: the module path with its extension replaced by
// ".<name>.lng", cut to 259 characters. Empty when the module path is unknown.
std::string LanguageFilePath(const char* name);

// Makes `name` current and rebuilds the table, unless it is already current
// (exact comparison). "English" in any letter case means the built-in texts.
void SelectLanguage(const char* name);

// The text of id (0-137) in the loaded language; the English text when no table
// is loaded, and "" for an id out of range.
const char* LanguageString(int id);

// One text: the English one when `language_file` is empty, else the file's
// translation repaired against the English text.
std::string LoadLanguageString(int id, const std::string& language_file);

// Numbered placeholders (%1-%9) of a translation become the English text's
// conversions, in the English order.
std::string RepairPlaceholders(const std::string& translation, const std::string& english);

void FreeLanguageStrings();

// The list that ListLanguages fills: the viewer passes its combo box, tests a
// plain sorted list.
struct LanguageList {
  virtual void Add(const char* name) = 0;
  virtual ~LanguageList() = default;
};

// Adds "English" and every language whose file lies beside the module.
void ListLanguages(LanguageList& list);

// The load-error text: the format (id 006, from a translator) filled with the
// path, the error code and the message, in that order and by those types only;
// every other '%' sequence is written as it stands ("%%" gives one '%').
// Cut to capacity - 1 characters (the viewer's 1024-character buffer).
std::string FormatLoadError(const std::string& format, const char* path, int code,
                            const char* message, size_t capacity = 1024);
