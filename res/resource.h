// Resource and control numbers, shared by the resource script and the code.
#pragma once

#define IDC_BLANK_CURSOR 100
#define IDI_LUMARO 200
#define IDD_CONFIG 202
#define IDB_MONITOR 700

#define IDC_COLLECTIONS 201
#define IDC_ADD_FOLDER 210
#define IDC_REMOVE_COLLECTION 211
#define IDC_MONITOR 302
#define IDC_START_DELAY_SPIN 400
#define IDC_CHANGE_DELAY_SPIN 401
#define IDC_START_DELAY 500
#define IDC_CHANGE_DELAY 501
#define IDC_UPDATE_WALLPAPER 600
#define IDC_FULL_SCREEN 601
#define IDC_SHOW_TITLE 602
#define IDC_FADE 603
#define IDC_PREVIEW_AREA 1007
