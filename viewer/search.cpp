#include "viewer/search.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "viewer/find_character.h"
#include "viewer/glyph_view.h"
#include "viewer/text_match.h"

namespace {

// The view's whole text, paragraph ends as one '\r', so that an index into it
// is the control's own character position.
std::u16string ViewText(HWND view) {
  GETTEXTLENGTHEX measure = {GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT length = SendMessageW(view, EM_GETTEXTLENGTHEX,
                                      reinterpret_cast<WPARAM>(&measure), 0);
  if (length <= 0) return {};
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  GETTEXTEX request = {};
  request.cb = static_cast<DWORD>(text.size() * sizeof(char16_t));
  request.flags = GT_DEFAULT;
  request.codepage = 1200;  // UTF-16
  const LRESULT copied = SendMessageW(view, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                                      reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

void FoldCase(std::u16string& text) {
  if (!text.empty())
    CharLowerBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
}

bool IsWordUnit(char16_t unit) {
  return unit == u'_' || IsCharAlphaNumericW(static_cast<wchar_t>(unit));
}

bool SearchView(HWND view, std::u16string_view pattern, int flags) {
  if (!view || pattern.empty()) return false;
  std::u16string text = ViewText(view);
  std::u16string wanted(pattern);
  if (!(flags & kSearchMatchCase)) {
    FoldCase(text);
    FoldCase(wanted);
  }
  TextSearch search;
  search.backwards = (flags & kSearchBackwards) != 0;
  search.whole_words = (flags & kSearchWholeWords) != 0;
  search.is_word_unit = IsWordUnit;
  if (flags & kSearchFindFirst) {
    search.from = search.backwards ? text.size() : 0;
  } else {
    // On from the selection, which after a search is the last match.
    CHARRANGE selection = {};
    SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    search.from = static_cast<size_t>(std::max<LONG>(
        search.backwards ? std::min(selection.cpMin, selection.cpMax)
                         : std::max(selection.cpMin, selection.cpMax),
        0));
  }
  std::optional<size_t> found = FindInText(text, wanted, search);
  if (!found) return false;
  CHARRANGE match = {static_cast<LONG>(*found), static_cast<LONG>(*found + wanted.size())};
  SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&match));
  SendMessageW(view, EM_SCROLLCARET, 0, 0);
  return true;
}

}  // namespace

bool SearchPage(ViewerState& s, std::u16string_view text, int flags) {
  if (text.empty()) return false;
  switch (s.page) {
    case kGlyphsPage:
      return s.glyph_view ? ShowGlyph(s, text) : ShowCharacter(s, text);
    case kInfoPage:
      return SearchView(s.info_view, text, flags);
    case kSamplePage:
      return SearchView(s.sample_view, text, flags);
  }
  return false;
}
