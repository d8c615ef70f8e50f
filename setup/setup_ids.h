// The ids of the set-up program's resources (setup.rc). Plain #defines: the
// resource compiler reads this file too.
#pragma once

#define IDD_SETUP 100
#define IDC_SETUP_QUESTION 101
#define IDC_SETUP_PREVIEW 102
#define IDC_SETUP_NOTE 103

#define IDS_CAPTION 200
#define IDS_ASK_SAVER 201
#define IDS_NOTE_SAVER 202
#define IDS_ASK_KIT 203
#define IDS_NOTE_KIT 204
#define IDS_DAMAGED 205
#define IDS_INSTALL_FAILED 206
#define IDS_ASK_UNINSTALL 207
#define IDS_UNINSTALLED 208
#define IDS_NOT_INSTALLED 209
#define IDS_UNINSTALL_FAILED 210
#define IDS_NO_PACKAGE 211
#define IDS_ERROR 212
#define IDS_QUESTION 213
#define IDS_INFORMATION 214
#define IDS_INSTALLED_KIT 215
#define IDS_USAGE 216
