// A machine for the installation run on the host platform: drive C: (fixed) and D: (the CD)
// as temporary host folders, the user's and the all-users shell folders, a system directory,
// the payload resources packed from known bytes, and an observer that records what the window
// would show and can press Close at a chosen moment.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "config/untCzcionki.h"
#include "config/untInstalTeksty.h"
#include "engine/untPrzebiegInstalacji.h"
#include "platform/host/untPlatformaHost.h"
#include "untPakowacz.h"

namespace orvala::testy {

namespace fs = std::filesystem;

inline std::vector<std::uint8_t> BytesOf(const std::string& text) {
  return {text.begin(), text.end()};
}

inline std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteHostFile(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

// Unpacked contents of every payload resource, by name.
struct TLadunek {
  std::string a = "MAIN-A:" + std::string(3000, 'a');
  std::string b = "MAIN-B:" + std::string(2000, 'b');
  std::string c = "MAIN-C:" + std::string(1000, 'c');
  std::string special1 = "ORVATR-SPECIAL-1;";
  std::string special2 = "ORVATR-SPECIAL-2;";
  std::string internet = "TRINTRU-SPECIAL;";
  std::string files = "TRPLIKRU-SPECIAL;";
  std::string uninstaller = "DEINSTALATOR-SPECIAL;";
};

class TSrodowiskoInstalacji {
 public:
  TSrodowiskoInstalacji() : scope_(host) {
    static int counter = 0;
    root = fs::temp_directory_path() / ("orvala-run-" + std::to_string(std::random_device{}()) +
                                        "-" + std::to_string(++counter));
    fs::remove_all(root);
    c = root / "c";
    d = root / "d";
    for (const char* folder :
         {"Users/jan/Pulpit", "Users/jan/Menu Start/Programy", "Users/Public/Pulpit",
          "ProgramData/Menu Start/Programy", "WINDOWS/system32", "Program Files"}) {
      fs::create_directories(c / folder);
    }
    fs::create_directories(d);
    host.MapDrive('C', c);
    host.MapDrive('D', d, platform::TTypNapedu::CdRom);
    host.SetSpecialFolder(platform::kFolderDesktop, u"C:\\Users\\jan\\Pulpit");
    host.SetSpecialFolder(platform::kFolderPrograms, u"C:\\Users\\jan\\Menu Start\\Programy");
    host.SetSpecialFolder(platform::kFolderCommonDesktop, u"C:\\Users\\Public\\Pulpit");
    host.SetSpecialFolder(platform::kFolderCommonPrograms,
                          u"C:\\ProgramData\\Menu Start\\Programy");
    host.SetSystemDirectory("C:\\WINDOWS\\system32");
    host.SetModuleFileName("D:\\Instalator.exe");
    host.SetThreadLocale(1045);
    SetTextProcessState(true, kJezykPolski);
    SetInterfaceFontFace(kCzcionkaArial);
    SetPayload(payload);
  }

  ~TSrodowiskoInstalacji() {
    SetInterfaceFontFace(kCzcionkaArial);
    SetTextProcessState(true, kJezykPolski);
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  void SetPayload(const TLadunek& p) {
    payload = p;
    const auto put = [this](const char* name, const std::string& bytes) {
      host.SetResource(name, pakowacz::PackPart(BytesOf(bytes)));
    };
    put("ORVATR1A", p.a);
    put("ORVATR1B", p.b);
    put("ORVATR1C", p.c);
    put("PORVATR11A", p.special1);
    put("PORVATR11B", p.special2);
    put("PTRINTRU11A", p.internet.substr(0, 8));
    put("PTRINTRU11B", p.internet.substr(8));
    put("PTRPLIKRU11A", p.files.substr(0, 8));
    put("PTRPLIKRU11B", p.files.substr(8));
    put("PDEINSTALRU11", p.uninstaller);
  }

  // A small CD of the package: programs, help, dictionaries, a subfolder, and the names the
  // exclusion list keeps out.
  void MakeDemoCd() {
    const std::vector<std::pair<const char*, std::string>> files = {
        {"DuzevIv.exe", "duzeviv"},
        {"UMOWAPOL.TXT", "licence"},
        {"autorun.inf", "[autorun]"},
        {"comctl32.dll", "cd-comctl32-dll"},
        {"comctl32.ocx", "cd-comctl32-ocx"},
        {"Orvatr.exe", "cd-orvatr"},
        {"SlZewRu.exe", "slzewru"},
        {"SlZewPl.exe", "slzewpl"},
        {"TrIntRu.exe", "cd-trintru"},
        {"Trans.chm", "help"},
        {"ruspol.sz", std::string(70'000, 'r')},
        {"Dane/polrus.sz", std::string(40'000, 'p')},
        {"Dane/Gramatyka/rus_gram.chm", "grammar"},
        {"Dane/Puste/.keep", ""},
    };
    for (const auto& [name, content] : files) {
      WriteHostFile(d / name, content);
    }
  }

  // The default options of the wizard for a target on C:.
  TOpcjeInstalacji Options() const {
    TOpcjeInstalacji o;
    o.sourceDirectory = "D:\\";
    o.targetDirectory = "C:\\Program Files\\Orvalis";
    o.language = kJezykPolski;
    o.requiredBytes = 2'300'000;
    return o;
  }

  fs::path Target() const { return c / "Program Files" / "Orvalis"; }

  platform::TPlatformaHost host;
  fs::path root, c, d;
  TLadunek payload;

 private:
  platform::TZasiegPlatformy scope_;
};

// Records every call of the run; `onMessages` runs at each ProcessMessages (with its 1-based
// number) and may press Close by setting cancelRequested; `answers` are the Yes/No answers.
class TObserwatorTestowy : public TObserwatorInstalacji {
 public:
  explicit TObserwatorTestowy(TStanInstalacji& state) : state_(state) {}

  void ShowStage(const TWideString& text) override { stages.push_back(text); }
  void ShowFiles(const TWideString& from, const TWideString& to) override {
    filePairs.emplace_back(from, to);
  }
  void SetGauge(std::uint32_t maximum, std::uint32_t position) override {
    gauge.emplace_back(maximum, position);
  }
  void EnableClose(bool enabled) override { closeEnabled = enabled; }
  void ProcessMessages() override {
    ++messages;
    if (onMessages) {
      onMessages(messages, state_);
    }
  }
  bool AskYesNo(const TWideString& text) override {
    questions.push_back(text);
    if (!answers.empty()) {
      const bool answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    }
    return answerYes;
  }
  void Inform(const TWideString& text) override { told.push_back(text); }
  // Each reading advances the clock by `clockStep` ms: by default every reading finds a redraw
  // due, so every file and block is shown and followed by ProcessMessages.
  std::uint32_t Milliseconds() override { return clock += clockStep; }

  std::vector<TWideString> stages;
  std::vector<std::pair<TWideString, TWideString>> filePairs;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> gauge;
  std::vector<TWideString> questions;
  std::vector<TWideString> told;  // Inform
  bool closeEnabled = false;
  bool answerYes = true;
  std::vector<bool> answers;  // the first answers, in order; then answerYes
  int messages = 0;
  std::uint32_t clock = 0;
  std::uint32_t clockStep = 1000;
  std::function<void(int, TStanInstalacji&)> onMessages;

 private:
  TStanInstalacji& state_;
};

}  // namespace orvala::testy
