// Control and resource identifiers of the wizard window TfrmMain and its five pages, shared by
// the .rc scripts, the program and the GUI autopilot. The templates are resources named after
// their forms: "TFRMMAIN" (the frame) and one child template per page: "TPNLINTRO", "TPNLUMOWA",
// "TPNLOPCJE", "TPNLINSTALACJA", "TPNLKONIEC". Identifiers are unique across the whole window,
// so a control is found by its identifier among all descendants of the wizard window.
#pragma once

// Frame. The white title band (pnlTop) and the button bar's bevel (pnlBottom) are painted by
// the frame itself; pnlLeft is the owner-drawn Image1.
#define IDC_Image1 2002
#define IDC_lblTytul 2004
#define IDC_lblKrok 2005
#define IDC_btnWstecz 2007
#define IDC_btnDalej 2008
#define IDC_btnZamknij 2009

// The page panels (child windows of the frame)
#define IDC_pnlIntro 2101
#define IDC_pnlUmowa 2102
#define IDC_pnlOpcje 2103
#define IDC_pnlInstalacja 2104
#define IDC_pnlKoniec 2105

// Page 1, Intro
#define IDC_lblIntro 2201
#define IDC_lblWersjaSpecjalna 2202
#define IDC_pnlJezyk 2203
#define IDC_lblJezyk 2204
#define IDC_btnPolski 2205
#define IDC_btnAngielski 2206

// Page 2, Licence
#define IDC_redUmowa 2301
#define IDC_rdbUmowaAkceptuje 2302
#define IDC_rdbUmowaNieAkceptuje 2303
#define IDC_lblUmowa 2304  // hidden: the licence view's name for a screen reader

// Page 3, Options
#define IDC_gbxKatalog 2401
#define IDC_lblKatalog 2402
#define IDC_btnKatalog 2403
#define IDC_lblMiejsceWolne 2404
#define IDC_lblMiejsceWymagane 2405
#define IDC_chbInstalujSlowniki 2406
#define IDC_chbUtworzGrupe 2407
#define IDC_chbUtworzSkrotyTranslatorow 2408
#define IDC_chbUtworzSkrotySlownikow 2409
#define IDC_chbSkrotyAllUsers 2410
#define IDC_lblSkrotyAllUsers 2411
#define IDC_chbInstalujMSWord 2412
#define IDC_chbInstalujMSIE 2413

// Page 4, Installation
#define IDC_lblInstalacja 2501
#define IDC_lblInstalacjaOpis 2502
#define IDC_lblPlikZ 2503
#define IDC_lblPlikDo 2504
#define IDC_pnlPostep 2505
#define IDC_GaugePostep 2506
#define IDC_lblPostep 2507  // hidden: the gauge's name for a screen reader (the stage text)

// Page 5, End
#define IDC_lblKoniec 2601

// Bitmaps: the side picture and the strip of language flags of imlFlagi (one 20 x 13 image a
// language at 96 dpi, in flag-image-index order), each also drawn 1.5 times (_144) and twice
// (_192) as large for higher DPIs.
#define IDB_Image1 2901
#define IDB_imlFlagi 2902
#define IDB_Image1_144 2903
#define IDB_imlFlagi_144 2904
#define IDB_Image1_192 2905
#define IDB_imlFlagi_192 2906
#define kSzerokoscFlagi 20
#define kWysokoscFlagi 13

// The program's icon
#define IDI_Instalator 2910
