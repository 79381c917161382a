// Resource ids of Tarnwick.exe.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_TARNWICKCLIENT_DIALOG 102
#define IDC_PROGRESS_UPDATE 1015
#define IDS_UPDATE_PUBLIC_KEY 200
