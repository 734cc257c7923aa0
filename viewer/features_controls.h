// The ids of the Features page's window and its controls, which tools and tests
// that drive the page from outside look up.
#pragma once

constexpr int kFeaturesViewId = 210;  // the page, a child of the viewer window
// Its controls, children of the page.
constexpr int kFeaturesTextId = 1, kFeaturesScriptId = 2, kFeaturesLanguageId = 3,
              kFeaturesListId = 4;
// The feature list's columns: the state, the tag, the name.
constexpr int kFeatureTagColumn = 1;
