// The control ids of the show loader's dialog (show_dialogs.rc), the password
// prompt "QUERYPASSWORDDIALOG2". Plain #defines: the resource compiler reads
// this file too.
#pragma once

#define IDC_PASSWORD_EDIT 5860
#define IDC_PASSWORD_PROMPT 5862
