#pragma once

// Resource ids of the Windows program; the command ids are the core's.
#define IDR_MAINFRAME 128
#define IDS_APPLICATION_NAME 57344
#define IDB_TOOLBAR 129
#define IDD_VOLUME_LABEL 10291
#define IDC_VOLUME_LABEL 1016
#define IDC_VOLUME_NOTE 1017
#define IDD_DISC_PROMPT 10292
#define IDC_DISC_PROMPT_TEXT 1018
