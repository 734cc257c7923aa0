// The block list of the Glyphs page: the process-wide order of the blocks, the
// positions a viewer lists, its combo box and up-down, the choice of a block,
// and the block kept in the settings file. A viewer shows the block at its
// block_index, a position in BlockOrder.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "fontfile/catalog.h"
#include "viewer/block_order.h"

struct ViewerState;

// Position -> table row, sorted under SortOrder. Shared by every viewer of the
// process, and used by the thread that shows them (the host's main thread).
extern std::array<const UnicodeBlockRow*, kUnicodeBlockCount> BlockOrder;
extern int SortOrder;

// Table order, sort order 0; when the DLL is attached.
void ResetBlockOrder();

// The row at a position of BlockOrder; the first row for a position out of range.
const UnicodeBlockRow& BlockAt(int position);

// Sorts BlockOrder under `order` (0-3) unless it is sorted so. Every open viewer
// of this thread, and the `caller` (whose window may be no longer or not yet
// found while it is destroyed or created), keeps the block it shows, at its new
// position, lists the blocks in the new order and shows the order on its
// Options page.
void SortBlockOrder(int order, ViewerState& caller);

// The present cells of the block at a position, and its cell count.
uint32_t PresentCellsAt(const ViewerState& state, int position);
uint32_t BlockSizeAt(int position);

// Whether the block list offers the block at `position`: every block unless
// "Show only blocks with characters" is on and the font has nothing in it.
bool BlockListed(const ViewerState& state, int position);

// The listed position nearest `position` in direction `step` (+1 or -1),
// `position` itself included, wrapping round; `position` when none is listed.
int ListedPositionFrom(const ViewerState& state, int position, int step);

// Empties the block list and fills it with the names of the listed blocks in
// BlockOrder, each item's data its position.
void FillBlockList(ViewerState& state);
// Selects block_index in the block list and its up-down.
void SelectBlockItem(const ViewerState& state);
// After a change of font, character set or listing choice: a block_index no
// longer listed falls back to the first listed block (and the grid follows); the
// list is filled anew when the blocks listed changed, else only redrawn.
void RelistBlocks(ViewerState& state);

// Shows the block at `position` as the block list and its arrows choose it, and
// drops the mark of a search.
void ChooseBlock(ViewerState& state, int position);
// The block list's CBN_SELCHANGE and the up-down's WM_HSCROLL; a step onto a
// block left out of the list goes on in the same direction.
void ChooseSelectedBlockItem(ViewerState& state);
void StepToBlock(ViewerState& state);

// A new viewer's block_index from the settings file (BlockSetting), once the
// order stored with it is in force; unchanged while SaveUnicodeBlock is 0.
void OpenStoredBlock(ViewerState& state);
// The shown block into the settings file, while SaveUnicodeBlock is 1; the
// position older versions read is for the order in force.
void StoreBlock(const ViewerState& state);

// What the block list's item at `position` shows at its right: a block's present
// cells of its size ("218/256", nothing while they are unknown), the glyph
// view's glyph count ("6253 glyphs").
std::string BlockItemCount(const ViewerState& state, int position);

// The block combo's WM_MEASUREITEM and WM_DRAWITEM: the name as the system would
// draw it, the count at the right, blocks without any present cell greyed.
void MeasureBlockItem(MEASUREITEMSTRUCT& item);
void DrawBlockItem(const ViewerState& state, const DRAWITEMSTRUCT& item);
