// orvala cd-image CD_TREE SETUP OUT.iso [--label LABEL]: masters the release CD with xorriso
// (untObrazCD.h tells what goes in). With --check and the tree alone it only checks the tree
// and the label, so that a release can refuse a bad tree before it builds anything. It refuses,
// with one line naming the cause, a tree without the files the CD-location dialog looks for and a
// tree with an entry the image cannot carry. The image is written beside OUT.iso and renamed to it
// once xorriso has finished, so a failed run leaves no partial image behind.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "engine/untSciezki.h"
#include "platform/host/untPlatformaHost.h"
#include "platform/untPlatforma.h"
#include "untObrazCD.h"
#include "untPolecenia.h"

extern char** environ;

namespace orvala::narzedzie {

namespace {

namespace fs = std::filesystem;

int Fail(const std::string& message) {
  std::fprintf(stderr, "orvala: cd-image: %s\n", message.c_str());
  return kWynikBlad;
}

// True when `path` is `folder` or lies below it (both made absolute, links resolved).
bool IsWithin(const fs::path& path, const fs::path& folder) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(path, ec);
  const fs::path f = fs::canonical(folder, ec);
  if (ec) {
    return false;
  }
  auto pi = p.begin();
  for (auto fi = f.begin(); fi != f.end(); ++fi, ++pi) {
    if (pi == p.end() || *pi != *fi) {
      return false;
    }
  }
  return true;
}

// The last non-empty line of a text file (xorriso's reason for failing).
std::string LastLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line, last;
  while (std::getline(in, line)) {
    if (!line.empty()) {
      last = line;
    }
  }
  return last;
}

// What the folder lacks of the files the CD-location dialog looks for: empty when it holds
// them, otherwise the missing names ("DuzevIv.exe or DuzevIv2.exe", "UmowaPol.txt", or both).
std::string MissingSourceFiles(const std::string& folder) {
  platform::TPlatforma& p = platform::Platform();
  const auto has = [&](std::string_view name) { return p.FileExists(folder + std::string(name)); };
  std::string missing;
  if (!has(kProgramCD) && !has(kProgramCD2)) {
    missing = std::string(kProgramCD) + " or " + std::string(kProgramCD2);
  }
  if (!has(kUmowaCD)) {
    missing += (missing.empty() ? "" : " and ") + std::string(kUmowaCD);
  }
  return missing;
}

// Runs xorriso with `args`, its output into `log`. The exit status, or -1 when it did not start.
int RunXorriso(const std::vector<std::string>& args, const fs::path& log) {
  std::vector<char*> argv;
  std::string program = "xorriso";
  argv.push_back(program.data());
  std::vector<std::string> copies(args);
  for (std::string& a : copies) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int started = posix_spawnp(&pid, "xorriso", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) {
    return -1;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
    return 128;
  }
  return WEXITSTATUS(status);
}

int RunCdImage(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::string labelOption;
  bool labelGiven = false;
  bool checkOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--label" && i + 1 < args.size() && !labelGiven) {
      labelOption = args[++i];
      labelGiven = true;
    } else if (args[i] == "--check" && !checkOnly) {
      checkOnly = true;
    } else if (args[i].starts_with("--")) {
      return UsageError("cd-image: unexpected argument '" + args[i] + "'");
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != (checkOnly ? 1u : 3u)) {
    return UsageError(checkOnly ? "cd-image --check takes CD_TREE"
                                : "cd-image takes CD_TREE SETUP OUT.iso");
  }
  files.resize(3);
  const fs::path root(files[0]), setup(files[1]), out(files[2]);
  std::error_code ec;
  if (!fs::is_directory(root, ec)) {
    return Fail(files[0] + " is not a folder");
  }
  if (!checkOnly && !fs::is_regular_file(setup, ec)) {
    return Fail(files[1] + " is not a file");
  }
  if (!checkOnly && IsWithin(out, root)) {
    return Fail(files[2] + " lies inside the CD tree " + files[0]);
  }

  // The check the CD-location dialog makes, on the tree as drive D: (names as Windows finds
  // them, without regard to case).
  {
    platform::TPlatformaHost host;
    host.MapDrive('D', root, platform::TTypNapedu::CdRom);
    const platform::TZasiegPlatformy scope(host);
    if (const std::string missing = MissingSourceFiles("D:\\"); !missing.empty()) {
      return Fail(files[0] + " has no " + missing +
                  ": the CD-location dialog would not recognise the CD");
    }
  }
  TDrzewoCD tree;
  if (const std::string problem = CheckCdTree(root, tree); !problem.empty()) {
    return Fail(problem);
  }
  const std::string labelText =
      labelGiven
          ? labelOption
          : (tree.labelFileText.empty() ? std::string(kEtykietaDomyslna) : tree.labelFileText);
  const std::string label = VolumeLabel(labelText);
  if (label.empty()) {
    return Fail("the volume label '" + labelText + "' is not 1 to " +
                std::to_string(kMaksZnakowEtykiety) + " characters of A-Z, 0-9 and _");
  }
  if (checkOnly) {
    return kWynikOk;
  }

  const fs::path partial = out.string() + ".tmp";
  const fs::path autorun = out.string() + ".autorun.tmp";
  const fs::path log = out.string() + ".log.tmp";
  const auto cleanUp = [&] {
    fs::remove(partial, ec);
    fs::remove(autorun, ec);
    fs::remove(log, ec);
  };
  cleanUp();
  {
    std::ofstream inf(autorun, std::ios::binary);
    inf << AutorunText(label);
    if (!inf.flush()) {
      cleanUp();
      return Fail("cannot write " + autorun.string());
    }
  }
  const int status = RunXorriso(XorrisoArguments(root, tree, setup, autorun, partial, label,
                                                 ImageTime(std::getenv("SOURCE_DATE_EPOCH"))),
                                log);
  if (status != 0) {
    const std::string reason =
        status < 0 ? "cannot start xorriso (scripts/install-deps.sh installs it)"
                   : "xorriso failed (exit " + std::to_string(status) + "): " + LastLine(log);
    cleanUp();
    return Fail(reason);
  }
  fs::rename(partial, out, ec);
  if (ec) {
    const std::string reason = "cannot write " + files[2] + ": " + ec.message();
    cleanUp();
    return Fail(reason);
  }
  cleanUp();
  return kWynikOk;
}

const TRejestracjaPolecenia kRejestracja(
    {"cd-image", "cd-image CD_TREE SETUP OUT.iso | --check CD_TREE [--label LABEL]", RunCdImage});

}  // namespace

}  // namespace orvala::narzedzie
