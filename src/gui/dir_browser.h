// c_GUIB_DirBrowser: the folder picker, a tree view of the drives and their
// folders read from the file system.
//
// FillDrives lists the logical drives as root items, labelled with their kind
// or, for hard disks, their free space. A folder's entries are read the first
// time the user expands it (EnumerateFolder), sorted folders first and then by
// name without regard to case; a folder with nothing to list is a leaf.
// Selecting an item reaches the browser's handlers as GN_DIR_SELECTED with the
// tree's TreeNotice, from which GetItemPath builds the full path ("C:" for a
// drive, "C:\Games" for a folder). Paths that would not fit the system's
// 260-byte buffers are never built: such folders read as unreadable (empty).
//
// Drives, free space and folder listings come from the platform layer, which
// maps them to the machine root natively.
#pragma once

#include <cstddef>
#include <string>

#include "gui/tree_view.h"
#include "platform/platform.h"

enum : uint32_t {
  GN_DIR_SELECTED = 3072,
  GN_DIR_DESELECTED = 3073,
};

// What a folder listing shows.
enum : uint32_t {
  DBF_FOLDERS = 1,
  DBF_FILES = 2,
  DBF_SYSTEM = 4,  // entries with the system attribute too
  DBF_HIDDEN = 8,  // hidden entries too
};

// FillDrives exclusion bits, one per drive kind.
enum : uint32_t {
  DX_UNKNOWN = 1,
  DX_REMOVABLE = 2,
  DX_FIXED = 4,
  DX_REMOTE = 8,
  DX_CDROM = 16,
  DX_RAMDISK = 32,
};

class c_GUIB_DirBrowser : public c_GUIB_Widget {
 public:
  explicit c_GUIB_DirBrowser(const WidgetCreateParams &p);
  // A tree whose value is the selected item's path. Keys given to the
  // browser reach its tree.
  uint32_t Describe(GUI_Description *d) override;

  // Replaces all items by the drives whose kind is not excluded by mask and
  // keeps filter for the folder listings.
  void FillDrives(uint32_t mask, uint32_t filter);
  // The labels FillDrives appends to a hard disk's name: free_format with
  // one %u for the free megabytes, unknown when the free space or the kind
  // cannot be read. A null one keeps the English text.
  void SetDriveTexts(const char *free_format, const char *unknown);
  // GUI_OK, or GUI_ERR_BAD_ID for a slot of 9 or more; slot 0 is the font of
  // the rows.
  uint32_t SetTreeFont(c_GUIB_Font *font, uint32_t slot);
  // The full path of the item a notice names, without a trailing backslash.
  // Returns its length; 0 (and "") for no item or a path that does not fit
  // size bytes.
  size_t GetItemPath(const TreeNotice *notice, char *path, size_t size = SYS_MAX_PATH) const;

  // Reads the folder of the item into its child list, once.
  void EnumerateFolder(ItemList *list, uint32_t index);
  // Whether the folder holds anything the filter lists; false when it cannot
  // be read.
  bool HasSubfolders(const char *folder, const char *name) const;

  c_GUIB_TreeView *Tree() const { return m_tree; }
  uint32_t Filter() const { return m_filter; }

 private:
  bool iListable(uint32_t attributes, const char *name) const;
  static uint32_t iTreeHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a,
                               uintptr_t b);

  uint32_t m_filter = DBF_FOLDERS;
  std::string m_freeFormat = " (%u MB free)";
  std::string m_unknown = " (Unknown)";
  c_GUIB_TreeView *m_tree = nullptr;  // a child: dies with the browser
};
