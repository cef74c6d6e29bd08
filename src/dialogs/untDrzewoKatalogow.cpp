// The directory chooser's folder model: drive roots, subfolders read on demand, node paths,
// and the node a typed path selects.
#include "dialogs/untDrzewoKatalogow.h"

#include <utility>

#include "engine/untSciezki.h"
#include "platform/untPlatforma.h"
#include "textutil/untUtils.h"

namespace orvala {

namespace {

bool IsDotEntry(const std::string& name) {
  return name == "." || name == "..";
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Floppy drives are never listed: reading them would spin up an empty drive.
bool IsFloppyRoot(const std::string& path) {
  const std::string upper = UpperText1250(path);
  return upper == "A:\\" || upper == "B:\\";
}

}  // namespace

bool IsOfferedFolder(const platform::TWpisKatalogu& entry) {
  constexpr std::uint32_t kHiddenSystem = platform::kAttrHidden | platform::kAttrSystem;
  return entry.IsDirectory() && !IsDotEntry(entry.name) &&
         (entry.attributes & kHiddenSystem) != kHiddenSystem &&
         (entry.attributes & platform::kAttrReparsePoint) == 0;
}

std::vector<std::string> FixedDriveRoots() {
  platform::TPlatforma& system = platform::Platform();
  std::vector<std::string> roots;
  for (const std::string& drive : system.LogicalDrives()) {
    std::string root = UpperText1250(drive);
    if (system.DriveType(root) == platform::TTypNapedu::Fixed) {
      roots.push_back(std::move(root));
    }
  }
  return roots;
}

bool HasSubfolder(const std::string& path) {
  std::vector<platform::TWpisKatalogu> entries;
  if (!platform::Platform().ListDirectory(path, entries)) {
    return false;
  }
  for (const platform::TWpisKatalogu& entry : entries) {
    if (IsOfferedFolder(entry)) {
      return true;
    }
  }
  return false;
}

std::vector<TPodkatalog> ListSubfolders(const std::string& path) {
  std::vector<TPodkatalog> folders;
  if (IsFloppyRoot(path)) {
    return folders;
  }
  std::vector<platform::TWpisKatalogu> entries;
  if (!platform::Platform().ListDirectory(path, entries)) {
    return folders;
  }
  for (const platform::TWpisKatalogu& entry : entries) {
    if (IsOfferedFolder(entry)) {
      folders.push_back({entry.name, HasSubfolder(WithTrailingBackslash(path + entry.name))});
    }
  }
  return folders;
}

std::string NodePath(const std::vector<std::string>& textsFromTop) {
  std::string path;
  for (const std::string& text : textsFromTop) {
    path += WithTrailingBackslash(text);
  }
  if (!path.empty() && path.back() == '\\' && !EndsWith(path, ":\\")) {
    path.pop_back();
  }
  return path;
}

std::vector<std::string> PathPieces(std::string_view text) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const std::size_t slash = text.find('\\');
    const std::size_t length = slash == std::string_view::npos ? text.size() : slash + 1;
    std::string piece(text.substr(0, length));
    text.remove_prefix(length);
    if (!piece.empty() && piece.back() == '\\' && !EndsWith(piece, ":\\")) {
      piece.pop_back();
    }
    pieces.push_back(std::move(piece));
  }
  return pieces;
}

bool PieceMatches(std::string_view nodeText, std::string_view piece) {
  return platform::Platform().SamePath(nodeText, piece);
}

void TModelKatalogow::Clear() {
  nodes_.clear();
  topLevel_.clear();
}

int TModelKatalogow::AddNode(int parent, std::string text, bool expandable) {
  const int index = static_cast<int>(nodes_.size());
  TWezel node;
  node.text = std::move(text);
  node.parent = parent;
  node.expandable = expandable;
  nodes_.push_back(std::move(node));
  if (parent == kBrakWezla) {
    topLevel_.push_back(index);
  } else {
    nodes_[static_cast<std::size_t>(parent)].children.push_back(index);
  }
  return index;
}

void TModelKatalogow::FillDrives() {
  Clear();
  for (std::string& root : FixedDriveRoots()) {
    AddNode(kBrakWezla, std::move(root), true);
  }
}

std::vector<int> TModelKatalogow::ReadChildren(int node) {
  std::vector<int> added;
  if (nodes_.at(static_cast<std::size_t>(node)).childrenRead) {
    return added;
  }
  nodes_[static_cast<std::size_t>(node)].childrenRead = true;
  for (TPodkatalog& folder : ListSubfolders(WithTrailingBackslash(Path(node)))) {
    added.push_back(AddNode(node, std::move(folder.name), folder.hasSubfolder));
  }
  nodes_[static_cast<std::size_t>(node)].expandable =
      !nodes_[static_cast<std::size_t>(node)].children.empty();
  return added;
}

int TModelKatalogow::AddChild(int node, const std::string& name) {
  nodes_.at(static_cast<std::size_t>(node)).expandable = true;
  const int child = AddNode(node, name, false);
  nodes_[static_cast<std::size_t>(child)].childrenRead = true;  // just created: empty
  return child;
}

std::string TModelKatalogow::Path(int node) const {
  std::vector<std::string> texts;
  for (int n = node; n != kBrakWezla; n = nodes_.at(static_cast<std::size_t>(n)).parent) {
    texts.insert(texts.begin(), nodes_[static_cast<std::size_t>(n)].text);
  }
  return NodePath(texts);
}

int TModelKatalogow::SelectPath(std::string_view text, std::vector<int>* read) {
  int matched = kBrakWezla;
  const std::vector<int>* candidates = &topLevel_;
  for (const std::string& piece : PathPieces(text)) {
    int found = kBrakWezla;
    for (int candidate : *candidates) {
      if (PieceMatches(nodes_[static_cast<std::size_t>(candidate)].text, piece)) {
        found = candidate;
        break;
      }
    }
    if (found == kBrakWezla) {
      break;
    }
    matched = found;
    if (!nodes_[static_cast<std::size_t>(found)].childrenRead) {
      ReadChildren(found);
      if (read != nullptr) {
        read->push_back(found);
      }
    }
    candidates = &nodes_[static_cast<std::size_t>(found)].children;
  }
  return matched;
}

}  // namespace orvala
