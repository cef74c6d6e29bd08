// Interface fonts on windows, and plain-text files in the licence view (Win32 only).
//
// Fonts: ApplyLanguageFont gives a window a copy of its current font with the interface font
// face (InterfaceFontFace) and the character set of a language (FontCharset), keeping height,
// weight and style. The fonts belong to a process-wide cache (one font per distinct result),
// so every window may share them; the cache deletes them at exit (ReleaseLanguageFonts, or
// static destruction after the windows are gone).
//
// Rich text: the licence view is a RichEdit 5 control (class RICHEDIT50W of Msftedit.dll),
// loaded from the system directory only by LoadRichEditLibrary before a template that holds
// one is created. LoadPlainTextFile reads a licence file through Platform(): UTF-16LE with its
// byte-order mark when the file starts FF FE and its fourth byte is at most 0x20, otherwise
// 8-bit text of the language, one UTF-16 unit per byte (WidenText, languageCodePage false).
#pragma once

#include <string>

#include "platform/win32/untWindows.h"
#include "textutil/untTekst.h"

namespace orvala {

inline constexpr wchar_t kKlasaRichEdit[] = L"RICHEDIT50W";

// The cached font: `base` (null = the system's default GUI font) with the interface face and
// the character set of `language`. Owned by the cache; never delete it.
HFONT LanguageFont(HFONT base, LanguageId language);
// The window's font (WM_GETFONT) becomes LanguageFont of it; redraws the window.
void ApplyLanguageFont(HWND window, LanguageId language);
// ApplyLanguageFont on the dialog and on every child that uses the dialog's own font (a child
// with a font of its own, such as a bold title, is left for an explicit call).
void ApplyLanguageFontToDialog(HWND dialog, LanguageId language);
// ApplyLanguageFont on a rich-text control, then the face and character set of its default
// and of its selection character formats (EM_SETCHARFORMAT SCF_DEFAULT, SCF_SELECTION).
void ApplyLanguageFontToRichEdit(HWND richEdit, LanguageId language);
// Deletes the cached fonts (call only when no window uses them any more).
void ReleaseLanguageFonts();

// Loads Msftedit.dll from the system directory (once per process; it stays loaded).
// True when the RICHEDIT50W class is available.
bool LoadRichEditLibrary();

// Loads the plain-text file `path` (Windows-1250) into the rich-text control. False when the
// file is missing (the control untouched) or the 8-bit text cannot be read; true otherwise,
// also for an empty file (empty control) and for a UTF-16 file whose loading fails. The control
// is in plain-text mode only during the load.
bool LoadPlainTextFile(HWND richEdit, const std::string& path, LanguageId language);

}  // namespace orvala
