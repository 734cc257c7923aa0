// The thumbnail the host's thumbnail view shows of a font file.
#pragma once

#include <windows.h>

#include <string>

// A bitmap of at most width x height pixels, which the caller owns; null for a
// file that cannot be shown, an empty path or an absurd size. The wide form
// refuses a path UTF-8 cannot spell.
HBITMAP ThumbnailOf(const std::string& ansi_path, int width, int height);
HBITMAP ThumbnailOf(const std::wstring& path, int width, int height);
