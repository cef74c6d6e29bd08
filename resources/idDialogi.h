// Control identifiers of the four dialogs (TfrmKatalog, TfrmKatalogDodaj, TfrmPytanie, TfrmCD),
// shared by their .rc scripts, the program and the GUI autopilot. The dialog templates are
// resources named after their forms: "TFRMPYTANIE", "TFRMCD", "TFRMKATALOG", "TFRMKATALOGDODAJ".
// A control name used by several forms (btnOK, btnAnuluj) has one identifier in all of them.
// Enter and Escape arrive as IDOK and IDCANCEL; every form maps them onto its buttons.
#pragma once

// Common buttons.
#define IDC_btnOK 1001
#define IDC_btnAnuluj 1002

// TfrmPytanie
#define IDC_lblPytanie 1101
#define IDC_btnTak 1102
#define IDC_btnNie 1103

// TfrmCD
#define IDC_lblCD 1201
#define IDC_cmbDrive 1202

// TfrmKatalog
#define IDC_trvKatalog 1301
#define IDC_edtKatalog 1302
#define IDC_btnUtworz 1303

// TfrmKatalogDodaj
#define IDC_edtDodaj 1401
#define IDC_btnDodaj 1402
