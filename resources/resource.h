#pragma once
// Resource and control identifiers, shared by Polvane.rc and the code.

#define IDI_APPLICATION_ICON 1
#define IDI_APPLICATION_ICON_16_COLOURS 30001
#define IDI_APPLICATION_ICON_256_COLOURS 30002

#define IDR_MAIN_MENU 101
#define IDR_MAIN_ACCELERATORS 102

#define IDM_RESET 1001
#define IDM_SAVE 1002
#define IDM_EXIT 1003
#define IDM_ABOUT 1004

#define IDC_FRA_MAIN 200
#define IDC_CHK_OPTION_0 210
#define IDC_CHK_OPTION_1 211
#define IDC_CHK_SUB_OPTION_0 220
#define IDC_CHK_SUB_OPTION_1 221
#define IDC_CHK_SUB_OPTION_2 222
#define IDC_CHK_SUB_OPTION_3 223
