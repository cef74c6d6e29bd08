// The folder tree of the directory chooser, without any window: which nodes exist, what their
// paths are, when children are read and which node a typed path selects. TfrmKatalog mirrors
// this model into its tree view. Every directory access goes through Platform().
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/untPlatforma.h"

namespace orvala {

// One subfolder found by ListSubfolders.
struct TPodkatalog {
  std::string name;   // as listed (UTF-8)
  bool hasSubfolder;  // the node gets an expandable mark
};

// True when the directory chooser offers the entry as a folder: a directory, other than "."
// and "..", that Explorer shows too. Left out are folders both hidden and system (the recycle
// bin, "System Volume Information") and reparse points: junctions such as "Documents and
// Settings" lead to a folder that is offered under its own name.
bool IsOfferedFolder(const platform::TWpisKatalogu& entry);

// The roots of the fixed disks ("C:\"), upper-cased with UpperText1250, in the system's order.
std::vector<std::string> FixedDriveRoots();
// True at the first offered subfolder of `path` (with trailing backslash); false if none or
// the directory cannot be listed.
bool HasSubfolder(const std::string& path);
// The offered subfolders of `path` (with trailing backslash) in listing order; nothing for "A:\"
// and "B:\" (any case) and for a directory that cannot be listed.
std::vector<TPodkatalog> ListSubfolders(const std::string& path);

// The path of a node from the texts of it and its ancestors, top first: each followed by a
// backslash unless it ends with one; the last backslash then removed unless the path ends with
// ":\" ("C:\" + "Program Files" gives "C:\Program Files"; "C:\" alone gives "C:\").
std::string NodePath(const std::vector<std::string>& textsFromTop);

// Cuts a typed path into the pieces matched against the tree levels: up to and including each
// backslash (the whole rest when none is left); a piece not ending with ":\" loses its trailing
// backslash. "C:\Program Files\Orvalis" gives "C:\", "Program Files", "Orvalis".
std::vector<std::string> PathPieces(std::string_view text);
// Node text and path piece name one entry: equal as the file system compares names.
bool PieceMatches(std::string_view nodeText, std::string_view piece);

inline constexpr int kBrakWezla = -1;

class TModelKatalogow {
 public:
  struct TWezel {
    std::string text;  // drive root ("C:\") or folder name
    int parent = kBrakWezla;
    std::vector<int> children;  // in insertion order
    bool childrenRead = false;  // children listed (or the node created empty by the user)
    bool expandable = false;    // drive, or a folder with a subfolder
  };

  // Clears the model and adds one top-level node per fixed disk.
  void FillDrives();
  // Lists the node's subfolders once (nothing when already read). Returns the new children.
  std::vector<int> ReadChildren(int node);
  // Adds a child `name` under `node` (a folder the user just created) and returns its index.
  int AddChild(int node, const std::string& name);

  // The deepest node matched by `text` piece by piece from the first top-level node, reading
  // children of every matched node on the way; kBrakWezla when not even a disk matches.
  // `read` receives each node whose children were read during the search (in order).
  int SelectPath(std::string_view text, std::vector<int>* read = nullptr);

  std::string Path(int node) const;
  const TWezel& Node(int node) const { return nodes_.at(static_cast<std::size_t>(node)); }
  std::size_t Size() const { return nodes_.size(); }
  const std::vector<int>& TopLevel() const { return topLevel_; }
  void Clear();

 private:
  int AddNode(int parent, std::string text, bool expandable);

  std::vector<TWezel> nodes_;
  std::vector<int> topLevel_;
};

}  // namespace orvala
