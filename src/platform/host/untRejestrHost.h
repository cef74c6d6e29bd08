// The in-memory registry of the host stand-in: two hives of keys, names compared without regard
// to case (Windows-1250 table) as Windows compares them, and key handles that honour the access
// mask they were opened with.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/host/untPlatformaHost.h"
#include "textutil/untKodowanie.h"

namespace orvala::platform::host {

class TRejestrPamieci {
 public:
  struct TWpis {
    std::string name;  // as first written
    TWartoscRejestru value;
  };
  struct TKlucz {
    std::map<std::string, TWpis> values;  // by lower-cased name
  };

  TRejestrPamieci();

  // The key path in canonical form: names lower-cased, joined by one backslash, no backslash
  // at either end ("" is the hive itself).
  static std::string Canonical(const std::string& path);

  bool Exists(TKorzen root, const std::string& path) const;
  TKlucz* Find(TKorzen root, const std::string& path);
  const TKlucz* Find(TKorzen root, const std::string& path) const;
  void Create(TKorzen root, const std::string& path);
  bool HasSubkeys(TKorzen root, const std::string& path) const;
  // Removes the key with all its subkeys and values.
  void Delete(TKorzen root, const std::string& path);

  std::unique_ptr<TKluczRejestru> Open(TKorzen root, const std::string& path, std::uint32_t access,
                                       bool create);

  // The ANSI code page of the 8-bit strings written and read (their UTF-8 form follows it).
  TStronaKodowa codePage = TStronaKodowa::Cp1250;

 private:
  std::map<std::string, TKlucz>& Hive(TKorzen root) {
    return hives_[root == TKorzen::LocalMachine];
  }
  const std::map<std::string, TKlucz>& Hive(TKorzen root) const {
    return hives_[root == TKorzen::LocalMachine];
  }
  std::map<std::string, TKlucz> hives_[2];
};

}  // namespace orvala::platform::host
