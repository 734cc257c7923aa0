// Light and dark colours of the viewer. Light mode leaves every control to the
// system's colours, as it always did; dark mode paints over them.
#pragma once

#include <windows.h>

#include "viewer/viewer_state.h"

// The host's show flag that asks for dark colours.
constexpr int kDarkModeFlag = 128;

constexpr COLORREF kDarkWindow = RGB(30, 30, 30);   // glyph list, sample view, zoom box
constexpr COLORREF kDarkFace = RGB(45, 45, 48);     // viewer, tabs, Info view, options
constexpr COLORREF kDarkText = RGB(230, 230, 230);
constexpr COLORREF kDarkLabel = RGB(170, 170, 170);  // the code above each glyph
constexpr COLORREF kDarkGrid = RGB(96, 96, 96);
constexpr COLORREF kDarkMark = RGB(38, 79, 120);  // behind the cell a search marked
// The even tint of a grid cell whose character the font lacks.
constexpr COLORREF kMissingCell = RGB(222, 222, 222);
constexpr COLORREF kDarkMissingCell = RGB(62, 62, 62);
// Behind the label of a glyph no character reaches, in the glyph view.
constexpr COLORREF kUnreachedLabel = RGB(255, 232, 190);
constexpr COLORREF kDarkUnreachedLabel = RGB(96, 72, 32);

// Made once for every viewer of the process, when the DLL is attached, and
// deleted when it is detached.
extern HPEN DarkGridPen;
extern HBRUSH DarkWindowBrush;  // glyph list, sample view, edit fields, zoom box
extern HBRUSH DarkFaceBrush;    // viewer, tabs, Info view, options dialog
void CreateDarkBrushes();
void DeleteDarkBrushes();

// kNewParamsMessage: switches to the colours of the new show flags and repaints
// when they differ from the current ones. Always 0.
LRESULT OnNewParams(HWND viewer, WPARAM show_flags);

// WM_CTLCOLOR* sent to the viewer or the options dialog: in dark mode sets the
// device context's colours and returns the brush; nullptr in light mode, where
// the caller leaves the message to the system.
HBRUSH DarkControlColours(const ViewerState& state, UINT message, HDC dc);

// The viewer's WM_CTLCOLOR* messages, handled or passed on.
LRESULT OnViewerControlColour(HWND viewer, UINT message, WPARAM wparam, LPARAM lparam);

// Background and text colour of the Info and Sample views for the current mode;
// called again whenever their text is written anew.
void ColourInfoView(const ViewerState& state);
void ColourSampleView(const ViewerState& state);
