#include "okna.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "slowa.h"

namespace autopilot {

namespace {

std::map<std::string, int> gIds;

// The signature control of each form.
const std::map<std::string, std::string> kForms = {
    {"TfrmMain", "IDC_btnDalej"},         {"TfrmCD", "IDC_cmbDrive"},
    {"TfrmPytanie", "IDC_lblPytanie"},    {"TfrmKatalog", "IDC_trvKatalog"},
    {"TfrmKatalogDodaj", "IDC_edtDodaj"},
};

struct TSzukanie {
  int signature;
  bool visibleOnly;
  TOknaFormy found;
};

BOOL CALLBACK FindForm(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<TSzukanie*>(lParam);
  wchar_t cls[64] = {};
  ::GetClassNameW(hwnd, cls, 64);
  if (std::wstring(cls) != L"#32770" || (s->visibleOnly && !::IsWindowVisible(hwnd))) {
    return TRUE;
  }
  if (::GetDlgItem(hwnd, s->signature) != nullptr) {
    if (s->found.first == nullptr) {
      s->found.first = hwnd;
    }
    ++s->found.count;
  }
  return TRUE;
}

struct TSzukanieKontrolki {
  int id;
  HWND found;
};

BOOL CALLBACK FindChild(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<TSzukanieKontrolki*>(lParam);
  if (::GetDlgCtrlID(hwnd) == s->id) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool ReadIds(const std::wstring& directory) {
  for (const wchar_t* header : {L"idMain.h", L"idDialogi.h"}) {
    std::ifstream in{std::filesystem::path(directory + L"\\" + header)};
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream words(line);
      std::string define, name;
      long value = 0;
      if ((words >> define >> name >> value) && define == "#define") {
        gIds[name] = static_cast<int>(value);
      }
    }
  }
  return !gIds.empty();
}

std::optional<int> IdOf(const std::string& name) {
  const auto it = gIds.find(name);
  if (it == gIds.end()) {
    return std::nullopt;
  }
  return it->second;
}

bool KnownForm(const std::string& form) {
  return kForms.find(form) != kForms.end();
}

TOknaFormy SearchForm(const std::string& form, bool visibleOnly) {
  const auto it = kForms.find(form);
  if (it == kForms.end()) {
    return {};
  }
  TSzukanie s{*IdOf(it->second), visibleOnly, {}};
  ::EnumWindows(&FindForm, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindControl(HWND window, int id) {
  TSzukanieKontrolki s{id, nullptr};
  ::EnumChildWindows(window, &FindChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string Text(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    return "<no answer>";
  }
  std::wstring buffer(length + 1, L'\0');
  DWORD_PTR got = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buffer.data()),
                        SMTO_ABORTIFHUNG, 2000, &got);
  buffer.resize(got);
  return ToUtf8(buffer);
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
  return static_cast<LRESULT>(result);
}

}  // namespace autopilot
