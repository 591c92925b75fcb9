// Resource and control ids of the main window.
#pragma once

#define IDD_KAVRIN_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_PORT 1000
#define IDC_CONNECT 1001
#define IDC_FILE 1003
#define IDC_BROWSE 1004
#define IDC_UPGRADE 1005
#define IDC_PROGRESS 1006
#define IDC_LOG 1007
#define IDC_GET_CNT 1008
#define IDC_DELETE_ALL 1009
#define IDC_GET_DATA 1010
#define IDC_RECORD_COUNT 1011
#define IDC_SYNC_TIME 1012
#define IDC_POWER_DOWN 1015
#define IDC_SET_POWER_DOWN 1016
#define IDC_GET_POWER_DOWN 1017

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
