// TfrmPytanie: the question dialog, the installer's only message box.
//
// Ask shows one UTF-16 text with one to three buttons, sizes the window to the text and centres
// it over the asking window. Modes (kPytanie*): 0 OK, 1 Yes/No, 2 OK/Cancel, 3 Yes/No/Cancel;
// a mode above 3 is treated as mode 0. Results: kWynikTak (6), kWynikNie (7), kWynikAnuluj (2);
// callers test for Yes. Escape: mode 0 nothing, modes 1 and 2 No, mode 3 Cancel.
//
// The window arithmetic lives in untUkladPytania.h (portable, unit-tested).
#pragma once

#include <cstdint>

#include "dialogs/untOkno.h"
#include "textutil/untTekst.h"

namespace orvala {

inline constexpr std::uint8_t kPytanieOK = 0;
inline constexpr std::uint8_t kPytanieTakNie = 1;
inline constexpr std::uint8_t kPytanieOKAnuluj = 2;
inline constexpr std::uint8_t kPytanieTakNieAnuluj = 3;

inline constexpr int kWynikTak = 6;     // IDYES
inline constexpr int kWynikNie = 7;     // IDNO
inline constexpr int kWynikAnuluj = 2;  // IDCANCEL

class TfrmPytanie : public TOkno {
 public:
  TfrmPytanie();

  // Re-captions the dialog in `language`: caption text 181, btnTak 182, btnNie 183,
  // btnAnuluj 6; the window font gets the language's face and character set.
  void SetLanguage(LanguageId language);
  LanguageId Language() const { return language_; }

  // Asks `text` over `owner` (may be null: centred on the screen) and returns the result.
  // The language captions of btnTak and btnNie are the same after the call, whatever the mode.
  int Ask(HWND owner, const TWideString& text, std::uint8_t mode);

  // The current captions (tests and the autopilot's expectations).
  const TWideString& CaptionTak() const { return captionTak_; }
  const TWideString& CaptionNie() const { return captionNie_; }
  const TWideString& CaptionAnuluj() const { return captionAnuluj_; }

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void ApplyCaptions() const;
  void Arrange();

  LanguageId language_ = 0;
  TWideString caption_;
  TWideString captionTak_;
  TWideString captionNie_;
  TWideString captionAnuluj_;
  // The question being asked (valid during Ask).
  HWND owner_ = nullptr;
  TWideString text_;
  std::uint8_t mode_ = kPytanieOK;
};

}  // namespace orvala
