// The GUI autopilot: walks the setup program through one scenario, from another process of the
// same Wine prefix, with window messages only.
//
//   autopilot.exe SCENARIO IDS-DIR SHOT-DIR
//
// SCENARIO is a UTF-8 text file, one step a line (see tests/e2e/README.md). IDS-DIR holds the
// identifier headers (untIdentyfikatory.h and the headers it includes); control names in the
// steps are their IDC_ names. SHOT-DIR is where screenshot requests go: the autopilot writes
// NAME.req with the window's rectangle on the desktop and waits for the harness to answer with
// NAME.png.
//
// Windows are found by their form: a visible top-level dialog that holds the form's signature
// control. Texts are read with WM_GETTEXT in the W form; buttons are pressed with
// PostMessageW(BM_CLICK), never SendMessage (it would block while the modal dialog it opens
// is up). Every wait polls; every step has a time limit. Exit code 0: the scenario passed.
#include "platform/win32/untWindows.h"
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "okna.h"
#include "powloka.h"
#include "slowa.h"

namespace {

DWORD gLimitMs = 10000;  // every wait of a step (step "limit")
DWORD gPollMs = 20;      // between two looks of a wait (step "poll")

using autopilot::Ask;
using autopilot::Escape;
using autopilot::FindControl;
using autopilot::FindFormWindow;
using autopilot::FromUtf8;
using autopilot::IdOf;
using autopilot::SearchForm;
using autopilot::Text;
using autopilot::Words;

// Milliseconds since the autopilot started, from the performance counter.
double MillisecondsSinceStart() {
  static const LONGLONG start = [] {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
  }();
  LARGE_INTEGER now, frequency;
  ::QueryPerformanceCounter(&now);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start) * 1000.0 /
         static_cast<double>(frequency.QuadPart);
}

// Polls `condition` until it holds or the limit passes.
template <typename Condition>
bool WaitFor(Condition condition, DWORD limit = gLimitMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (condition()) {
      return true;
    }
    if (::GetTickCount() - start > limit) {
      return false;
    }
    ::Sleep(gPollMs);
  }
}

// --- The scenario ----------------------------------------------------------------------------

class TAutopilot {
 public:
  TAutopilot(std::wstring shots) : shots_(std::move(shots)) {}

  // Runs one step; false with `error_` set when it fails.
  bool Step(const std::vector<std::string>& w);
  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& message) {
    error_ = message;
    return false;
  }
  // True when `fault` is empty, otherwise the step fails with it.
  bool Holds(const std::string& fault) { return fault.empty() || Fail(fault); }
  bool NeedArgs(const std::vector<std::string>& w, std::size_t n) {
    if (w.size() < n + 1) {
      return Fail("step needs " + std::to_string(n) + " argument(s)");
    }
    return true;
  }
  // The control `name` of the current window (or of form "Form.IDC_x").
  HWND ControlOf(const std::string& name);
  bool WaitWindow(const std::string& form);
  bool Click(HWND control);
  bool Answer(const std::string& which);
  bool Screenshot(const std::string& name, HWND target);
  bool ExpectRegistry(const std::vector<std::string>& w);

  std::wstring shots_;
  std::string form_ = "TfrmMain";
  HWND window_ = nullptr;
  bool windowSeen_ = false;
  std::string error_;
};

HWND TAutopilot::ControlOf(const std::string& name) {
  std::string control = name;
  HWND window = window_;
  const std::size_t dot = name.find('.');
  if (dot != std::string::npos) {
    window = FindFormWindow(name.substr(0, dot));
    control = name.substr(dot + 1);
  }
  const std::optional<int> id = IdOf(control);
  if (!id) {
    error_ = "unknown control " + control;
    return nullptr;
  }
  if (window == nullptr || !::IsWindow(window)) {
    error_ = "no window for " + name;
    return nullptr;
  }
  HWND found = FindControl(window, *id);
  if (found == nullptr) {
    error_ = "control " + name + " not found";
  }
  return found;
}

bool TAutopilot::WaitWindow(const std::string& form) {
  if (!autopilot::KnownForm(form)) {
    return Fail("unknown form " + form);
  }
  HWND found = nullptr;
  // The program's first window comes while the prefix's own services may still be starting,
  // beside other scenarios on a busy machine: it gets longer than any later step.
  const DWORD limit = windowSeen_ ? gLimitMs : std::max<DWORD>(gLimitMs, 30000);
  if (!WaitFor([&] { return (found = FindFormWindow(form)) != nullptr; }, limit)) {
    return Fail("window " + form + " did not appear");
  }
  windowSeen_ = true;
  form_ = form;
  window_ = found;
  return true;
}

bool TAutopilot::Click(HWND control) {
  HWND root = ::GetAncestor(control, GA_ROOT);
  if (!WaitFor([&] { return ::IsWindowEnabled(control) && ::IsWindowEnabled(root); })) {
    return Fail("control is disabled");
  }
  ::PostMessageW(control, BM_CLICK, 0, 0);
  return true;
}

bool TAutopilot::Answer(const std::string& which) {
  HWND question = nullptr;
  if (!WaitFor([&] { return (question = FindFormWindow("TfrmPytanie")) != nullptr; })) {
    return Fail("no question to answer");
  }
  const char* button = which == "yes" || which == "ok" ? "IDC_btnTak"
                       : which == "no"                 ? "IDC_btnNie"
                                                       : "IDC_btnAnuluj";
  HWND control = FindControl(question, *IdOf(button));
  if (control == nullptr || !Click(control)) {
    return Fail("cannot answer " + which);
  }
  if (!WaitFor([&] { return !::IsWindow(question) || !::IsWindowVisible(question); })) {
    return Fail("the question stayed after the answer");
  }
  return true;
}

// A picture of `target`: the current window or one of its controls.
bool TAutopilot::Screenshot(const std::string& name, HWND target) {
  if (target == nullptr || !::IsWindow(target)) {
    return Fail("no window to take a picture of");
  }
  ::Sleep(150);  // let the window finish painting
  RECT r{};
  ::GetWindowRect(target, &r);
  const std::wstring base = shots_ + L"\\" + FromUtf8(name);
  const std::wstring png = base + L".png";
  ::DeleteFileW(png.c_str());
  {
    std::ofstream req{std::filesystem::path(base + L".req.tmp")};
    req << r.left << ' ' << r.top << ' ' << (r.right - r.left) << ' ' << (r.bottom - r.top) << '\n';
  }
  ::MoveFileW((base + L".req.tmp").c_str(), (base + L".req").c_str());
  if (!WaitFor([&] { return ::GetFileAttributesW(png.c_str()) != INVALID_FILE_ATTRIBUTES; },
               20000)) {
    return Fail("screenshot " + name + " was not taken");
  }
  return true;
}

// expect-reg HKCU|HKLM "key path" value number
bool TAutopilot::ExpectRegistry(const std::vector<std::string>& w) {
  if (!NeedArgs(w, 4)) {
    return false;
  }
  HKEY root = w[1] == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  DWORD value = 0, size = sizeof value;
  const LSTATUS status = ::RegGetValueW(root, FromUtf8(w[2]).c_str(), FromUtf8(w[3]).c_str(),
                                        RRF_RT_REG_DWORD, nullptr, &value, &size);
  if (status != ERROR_SUCCESS) {
    return Fail("registry value " + w[3] + " is missing");
  }
  if (value != std::strtoul(w[4].c_str(), nullptr, 10)) {
    return Fail("registry value " + w[3] + " is " + std::to_string(value));
  }
  return true;
}

bool TAutopilot::Step(const std::vector<std::string>& w) {
  const std::string& verb = w[0];
  if (verb == "wait-window") {
    return NeedArgs(w, 1) && WaitWindow(w[1]);
  }
  if (verb == "wait-gone") {
    if (!NeedArgs(w, 1)) {
      return false;
    }
    if (!WaitFor([&] { return FindFormWindow(w[1]) == nullptr; })) {
      return Fail("window " + w[1] + " is still there");
    }
    return true;
  }
  if (verb == "expect-exit") {
    // The wizard window is gone, visible or not: the program has ended.
    if (!WaitFor([&] { return FindFormWindow("TfrmMain", false) == nullptr; })) {
      return Fail("the setup program did not end");
    }
    window_ = nullptr;
    return true;
  }
  if (verb == "expect-caption") {
    if (!NeedArgs(w, 1)) {
      return false;
    }
    std::string got;
    if (!WaitFor([&] { return (got = Text(window_)) == w[1]; }, 2000)) {
      return Fail("caption is \"" + Escape(got) + "\", expected \"" + Escape(w[1]) + "\"");
    }
    return true;
  }
  if (verb == "expect-text" || verb == "expect-contains" || verb == "wait-text") {
    if (!NeedArgs(w, 2)) {
      return false;
    }
    HWND control = ControlOf(w[1]);
    if (control == nullptr) {
      return false;
    }
    std::string got;
    const bool whole = verb != "expect-contains";
    const auto matches = [&] {
      got = Text(control);
      return whole ? got == w[2] : got.find(w[2]) != std::string::npos;
    };
    // wait-text: a text that comes at the end of something long (the installation run).
    if (!WaitFor(matches, verb == "wait-text" ? 120000 : 2000)) {
      return Fail(w[1] + " is \"" + Escape(got) + "\", expected " + (whole ? "" : "to contain ") +
                  "\"" + Escape(w[2]) + "\"");
    }
    return true;
  }
  if (verb == "expect-question") {
    if (!NeedArgs(w, 1)) {
      return false;
    }
    HWND question = nullptr;
    if (!WaitFor([&] { return (question = FindFormWindow("TfrmPytanie")) != nullptr; })) {
      return Fail("no question shown");
    }
    const std::string got = Text(FindControl(question, *IdOf("IDC_lblPytanie")));
    if (got != w[1]) {
      return Fail("question is \"" + Escape(got) + "\", expected \"" + Escape(w[1]) + "\"");
    }
    return true;
  }
  if (verb == "expect-enabled" || verb == "expect-disabled" || verb == "expect-visible" ||
      verb == "expect-hidden" || verb == "expect-checked" || verb == "expect-unchecked") {
    if (!NeedArgs(w, 1)) {
      return false;
    }
    HWND control = ControlOf(w[1]);
    if (control == nullptr) {
      return false;
    }
    const auto holds = [&] {
      if (verb == "expect-enabled")
        return ::IsWindowEnabled(control) != FALSE;
      if (verb == "expect-disabled")
        return ::IsWindowEnabled(control) == FALSE;
      if (verb == "expect-visible")
        return ::IsWindowVisible(control) != FALSE;
      if (verb == "expect-hidden")
        return ::IsWindowVisible(control) == FALSE;
      const bool checked = Ask(control, BM_GETCHECK) == BST_CHECKED;
      return verb == "expect-checked" ? checked : !checked;
    };
    if (!WaitFor(holds, 2000)) {
      return Fail(w[1] + " is not " + verb.substr(7));
    }
    return true;
  }
  if (verb == "expect-progress") {  // expect-progress POSITION MAXIMUM
    if (!NeedArgs(w, 2)) {
      return false;
    }
    HWND gauge = ControlOf("IDC_GaugePostep");
    if (gauge == nullptr) {
      return false;
    }
    const long pos = static_cast<long>(Ask(gauge, PBM_GETPOS));
    const long max = static_cast<long>(Ask(gauge, PBM_GETRANGE, FALSE, 0));
    if (std::to_string(pos) != w[1] || std::to_string(max) != w[2]) {
      return Fail("gauge at " + std::to_string(pos) + " of " + std::to_string(max));
    }
    return true;
  }
  if (verb == "click") {
    HWND control = NeedArgs(w, 1) ? ControlOf(w[1]) : nullptr;
    return control != nullptr && Click(control);
  }
  if (verb == "set-text") {
    HWND control = NeedArgs(w, 2) ? ControlOf(w[1]) : nullptr;
    if (control == nullptr) {
      return false;
    }
    const std::wstring text = FromUtf8(w[2]);
    Ask(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return true;
  }
  if (verb == "select-drive") {  // select-drive "D:\"
    HWND combo = NeedArgs(w, 1) ? ControlOf("IDC_cmbDrive") : nullptr;
    if (combo == nullptr) {
      return false;
    }
    const std::wstring root = FromUtf8(w[1]);
    if (Ask(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
            reinterpret_cast<LPARAM>(root.c_str())) == CB_ERR) {
      return Fail("drive " + w[1] + " is not offered");
    }
    return true;
  }
  if (verb == "expect-drives") {  // expect-drives N
    HWND combo = NeedArgs(w, 1) ? ControlOf("IDC_cmbDrive") : nullptr;
    if (combo == nullptr) {
      return false;
    }
    const long count = static_cast<long>(Ask(combo, CB_GETCOUNT));
    if (std::to_string(count) != w[1]) {
      return Fail("the drive list has " + std::to_string(count) + " entries");
    }
    return true;
  }
  if (verb == "key") {  // key CONTROL DOWN|UP|LEFT|RIGHT|RETURN|ESCAPE|SPACE
    HWND control = NeedArgs(w, 2) ? ControlOf(w[1]) : nullptr;
    if (control == nullptr) {
      return false;
    }
    const std::map<std::string, WPARAM> keys = {
        {"DOWN", VK_DOWN},     {"UP", VK_UP},         {"LEFT", VK_LEFT},  {"RIGHT", VK_RIGHT},
        {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"SPACE", VK_SPACE}};
    const auto key = keys.find(w[2]);
    if (key == keys.end()) {
      return Fail("unknown key " + w[2]);
    }
    ::PostMessageW(control, WM_KEYDOWN, key->second, 1);
    ::PostMessageW(control, WM_KEYUP, key->second, static_cast<LPARAM>(0xC0000001u));
    return true;
  }
  if (verb == "answer") {
    return NeedArgs(w, 1) && Answer(w[1]);
  }
  if (verb == "screenshot") {
    return NeedArgs(w, 1) && Screenshot(w[1], window_);
  }
  if (verb == "screenshot-control") {  // screenshot-control NAME CONTROL
    if (!NeedArgs(w, 2)) {
      return false;
    }
    HWND control = ControlOf(w[2]);
    return control != nullptr ? Screenshot(w[1], control) : Fail(error_);
  }
  if (verb == "expect-taskbar") {
    if (window_ == nullptr || !::IsWindow(window_)) {
      return Fail("no current window");
    }
    return Holds(autopilot::CheckTaskbarButton(window_));
  }
  if (verb == "end-session") {
    return Holds(autopilot::EndSession());
  }
  if (verb == "start-again") {  // start-again [PROGRAM]: the setup program started once more
    return Holds(autopilot::StartProgram(FromUtf8(w.size() > 1 ? w[1] : "D:\\Instalator.exe")));
  }
  if (verb == "expect-ended") {  // expect-ended CODE: the program of start-again has ended
    return NeedArgs(w, 1) &&
           Holds(autopilot::CheckProgramEnded(std::strtoul(w[1].c_str(), nullptr, 10), gLimitMs));
  }
  if (verb == "expect-windows") {  // expect-windows FORM N: N windows of the form, shown or not
    if (!NeedArgs(w, 2)) {
      return false;
    }
    const std::string count = std::to_string(SearchForm(w[1], false).count);
    return count == w[2] || Fail(count + " windows of " + w[1]);
  }
  if (verb == "minimise") {
    return Holds(autopilot::Minimise(window_));
  }
  if (verb == "expect-front") {  // expect-front FORM: its window in front, the wizard restored
    std::string fault;
    const auto inFront = [&] {
      fault = autopilot::CheckInFront(FindFormWindow(w[1]), FindFormWindow("TfrmMain", false));
      return fault.empty();
    };
    return NeedArgs(w, 1) && (WaitFor(inFront, 2000) || Fail(fault));
  }
  if (verb == "expect-reg") {
    return ExpectRegistry(w);
  }
  if (verb == "sleep") {
    ::Sleep(NeedArgs(w, 1) ? static_cast<DWORD>(std::strtoul(w[1].c_str(), nullptr, 10)) : 0);
    return true;
  }
  if (verb == "touch") {  // touch PATH: an empty file (a helper of the scenario waits for it)
    if (!NeedArgs(w, 1)) {
      return false;
    }
    const HANDLE file = ::CreateFileW(FromUtf8(w[1]).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      return Fail("cannot create " + w[1]);
    }
    ::CloseHandle(file);
    return true;
  }
  if (verb == "poll") {  // poll MS: the interval of every later wait
    if (!NeedArgs(w, 1)) {
      return false;
    }
    gPollMs = std::max<DWORD>(1, static_cast<DWORD>(std::strtoul(w[1].c_str(), nullptr, 10)));
    return true;
  }
  if (verb == "limit") {  // limit MS: how long every later waiting step waits
    if (!NeedArgs(w, 1)) {
      return false;
    }
    gLimitMs = static_cast<DWORD>(std::strtoul(w[1].c_str(), nullptr, 10));
    return true;
  }
  if (verb == "mark") {  // mark NAME: prints "mark NAME MS", milliseconds since the start
    if (!NeedArgs(w, 1)) {
      return false;
    }
    std::printf("mark %s %.1f\n", w[1].c_str(), MillisecondsSinceStart());
    std::fflush(stdout);
    return true;
  }
  return Fail("unknown step " + verb);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fputs("usage: autopilot SCENARIO IDS-DIR SHOT-DIR\n", stderr);
    return 2;
  }
  if (!autopilot::ReadIds(argv[2])) {
    std::fputs("autopilot: no identifiers read\n", stderr);
    return 2;
  }
  std::ifstream scenario{std::filesystem::path(argv[1])};
  if (!scenario) {
    std::fputs("autopilot: cannot read the scenario\n", stderr);
    return 2;
  }
  MillisecondsSinceStart();
  TAutopilot pilot(argv[3]);
  std::string line;
  int number = 0;
  while (std::getline(scenario, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    const std::vector<std::string> words = Words(line);
    // Comments, and the lines the harness serves itself (setup before, after at the end).
    if (words.empty() || words[0][0] == '#' || words[0] == "setup" || words[0] == "after") {
      continue;
    }
    std::printf("step %d: %s\n", number, line.c_str());
    std::fflush(stdout);
    if (!pilot.Step(words)) {
      std::printf("FAILED at line %d: %s\n", number, pilot.Error().c_str());
      return 1;
    }
  }
  std::printf("scenario passed\n");
  return 0;
}
