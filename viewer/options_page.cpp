#include "viewer/options_page.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "viewer/process_resources.h"
#include "text/language.h"
#include "viewer/block_list.h"
#include "viewer/dialog_items.h"
#include "viewer/pages.h"
#include "viewer/theme.h"

namespace {

enum OptionsItem {
  kZoomGroup = 901, kZoomSizeLabel, kZoomSizeEdit, kZoomSizeSpin, kZoomWidthLabel, kZoomWidthEdit,
  kZoomWidthSpin, kZoomHeightLabel, kZoomHeightEdit, kZoomHeightSpin, kSortLabel, kSortList,
  kLanguageLabel, kLanguageList, kSaveGroup, kSavePage, kSaveBlock, kSaveCharset, kSaveSample,
  kAboutText, kOnlyCoveredBlocks, kShowFeaturesPage
};

struct ComboLanguageList final : LanguageList {
  explicit ComboLanguageList(HWND combo) : combo(combo) {}
  void Add(const char* name) override {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  HWND combo;
};

void SetText(HWND dialog, int id, int string_id) {
  SetDlgItemTextA(dialog, id, LanguageString(string_id));
}

void LimitEntry(HWND dialog, int edit, int spin, int characters, int minimum, int maximum) {
  SendDlgItemMessageA(dialog, edit, EM_LIMITTEXT, characters, 0);
  SendDlgItemMessageA(dialog, spin, UDM_SETRANGE32, minimum, maximum);
}

}  // namespace

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      return FALSE;  // the focus stays where it is
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      // The viewer destroys the dialog before it frees the record.
      if (const auto* s =
              reinterpret_cast<const ViewerState*>(GetWindowLongPtrA(dialog, DWLP_USER)))
        return reinterpret_cast<INT_PTR>(
            DarkControlColours(*s, message, reinterpret_cast<HDC>(wparam)));
      return FALSE;
    case WM_COMMAND:
      // The Features page comes and goes with its switch, so that the next page
      // is there at once.
      if (LOWORD(wparam) == kShowFeaturesPage && HIWORD(wparam) == BN_CLICKED)
        if (auto* s = reinterpret_cast<ViewerState*>(GetWindowLongPtrA(dialog, DWLP_USER))) {
          s->features_page = IsDialogItemChecked(dialog, kShowFeaturesPage);
          UpdateFeaturesTab(*s);
        }
      return FALSE;
  }
  return FALSE;
}

void SetUpOptionsDialog(ViewerState& s) {
  HWND d = s.options_dialog;
  if (!d) return;
  SetText(d, kZoomGroup, kTextZoomGroup);
  SetText(d, kZoomSizeLabel, kTextZoomSizeLabel);
  SetText(d, kZoomWidthLabel, kTextZoomWidthLabel);
  SetText(d, kZoomHeightLabel, kTextZoomHeightLabel);
  LimitEntry(d, kZoomSizeEdit, kZoomSizeSpin, 3, 6, 256);
  LimitEntry(d, kZoomWidthEdit, kZoomWidthSpin, 4, 8, 1024);
  LimitEntry(d, kZoomHeightEdit, kZoomHeightSpin, 4, 8, 1024);
  SetText(d, kSortLabel, kTextSortLabel);
  for (int id = kTextFirstSortOrder; id <= kTextLastSortOrder; ++id)
    SendDlgItemMessageA(d, kSortList, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(LanguageString(id)));
  SetText(d, kLanguageLabel, kTextLanguageLabel);
  ComboLanguageList languages(GetDlgItem(d, kLanguageList));
  ListLanguages(languages);
  SetText(d, kSaveGroup, kTextSaveGroup);
  SetText(d, kSavePage, kTextSavePage);
  SetText(d, kSaveBlock, kTextSaveBlock);
  SetText(d, kSaveCharset, kTextSaveCharset);
  SetText(d, kSaveSample, kTextSaveSample);
  SetText(d, kOnlyCoveredBlocks, kTextOnlyCoveredBlocks);
  SetText(d, kShowFeaturesPage, kTextShowFeaturesPage);
  char about[2048];
  std::snprintf(about, sizeof about, "Orvane.wlx 0.08\r\nCopyright (C) 2026 Quenvale\r\n\r\n%s",
                LanguageString(kTextAboutNote));
  SetDlgItemTextA(d, kAboutText, about);
}

void FillOptionsPage(ViewerState& s) {
  HWND d = s.options_dialog;
  if (!d) return;
  SetDlgItemInt(d, kZoomSizeEdit, static_cast<UINT>(s.zoom_size), FALSE);
  SetDlgItemInt(d, kZoomWidthEdit, static_cast<UINT>(s.zoom_width), FALSE);
  SetDlgItemInt(d, kZoomHeightEdit, static_cast<UINT>(s.zoom_height), FALSE);
  SendDlgItemMessageA(d, kSortList, CB_SETCURSEL, s.sort_order, 0);
  LRESULT found = SendDlgItemMessageA(d, kLanguageList, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(s.language));
  SendDlgItemMessageA(d, kLanguageList, CB_SETCURSEL, found == CB_ERR ? 0 : found, 0);
  SetDialogItemChecked(d, kSavePage, s.save_page);
  SetDialogItemChecked(d, kSaveBlock, s.save_block);
  SetDialogItemChecked(d, kSaveCharset, s.save_charset);
  SetDialogItemChecked(d, kSaveSample, s.save_sample);
  SetDialogItemChecked(d, kOnlyCoveredBlocks, s.only_covered_blocks);
  SetDialogItemChecked(d, kShowFeaturesPage, s.features_page);
}

void ShowSortOrder(const ViewerState& s) {
  if (s.options_dialog)
    SendDlgItemMessageA(s.options_dialog, kSortList, CB_SETCURSEL, s.sort_order, 0);
}

void ApplyOptionsPage(ViewerState& s) {
  HWND d = s.options_dialog;
  if (!d) return;
  const int zoom = ReadDialogInt(d, kZoomSizeEdit, 96, 6, 256);
  if (zoom != s.zoom_size) {
    s.zoom_size = zoom;
    if (s.zoom_font) DeleteObject(s.zoom_font);
    s.logfont.lfHeight = PointsToHeight(zoom);
    s.zoom_font = CreateFontIndirectA(&s.logfont);
  }
  s.zoom_width = ReadDialogInt(d, kZoomWidthEdit, 128, 8, 1024);
  s.zoom_height = ReadDialogInt(d, kZoomHeightEdit, 160, 8, 1024);

  int sort = static_cast<int>(SendDlgItemMessageA(d, kSortList, CB_GETCURSEL, 0, 0));
  if (sort >= 0) {
    s.sort_order = sort;
    SortBlockOrder(sort, s);
  }

  int language = static_cast<int>(SendDlgItemMessageA(d, kLanguageList, CB_GETCURSEL, 0, 0));
  if (language >= 0) {
    char name[256] = {};
    if (SendDlgItemMessageA(d, kLanguageList, CB_GETLBTEXTLEN, language, 0) < 256) {
      SendDlgItemMessageA(d, kLanguageList, CB_GETLBTEXT, language,
                          reinterpret_cast<LPARAM>(name));
      // A longer name than the field holds is cut: it then names no file and
      // the next viewer falls back to English texts.
      std::strncpy(s.language, name, sizeof s.language - 1);
      s.language[sizeof s.language - 1] = '\0';
    }
  }
  s.save_page = IsDialogItemChecked(d, kSavePage);
  s.save_block = IsDialogItemChecked(d, kSaveBlock);
  s.save_charset = IsDialogItemChecked(d, kSaveCharset);
  s.save_sample = IsDialogItemChecked(d, kSaveSample);
  const int only_covered = IsDialogItemChecked(d, kOnlyCoveredBlocks);
  if (only_covered != s.only_covered_blocks) {
    s.only_covered_blocks = only_covered;
    RelistBlocks(s);
  }
}
