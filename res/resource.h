// Resource and control numbers, shared by the resource script and the code.
#pragma once

#define IDC_BLANK_CURSOR 100
#define IDI_LUMARO 200
#define IDD_CONFIG 202
#define IDD_FOLDER_PROGRESS 203
#define IDB_MONITOR 700
#define IDR_PLACES 800

#define IDC_COLLECTIONS 201
#define IDC_ADD_FOLDER 210
#define IDC_REMOVE_COLLECTION 211
#define IDC_MONITOR 302
#define IDC_START_DELAY_SPIN 400
#define IDC_CHANGE_DELAY_SPIN 401
#define IDC_BLANK_AFTER_SPIN 402
#define IDC_START_DELAY 500
#define IDC_CHANGE_DELAY 501
#define IDC_BLANK_AFTER 502
#define IDC_UPDATE_WALLPAPER 600
#define IDC_FULL_SCREEN 601
#define IDC_SHOW_TITLE 602
#define IDC_FADE 603
#define IDC_SHUFFLE 604
#define IDC_KEYS 605
#define IDC_PAN_ZOOM 606
#define IDC_SHOW_DATE 607
#define IDC_SHOW_PLACE 608
#define IDC_EACH_MONITOR 609
#define IDC_PAIR_PORTRAITS 610
// The progress dialog's own: a control's number need differ only from the
// others in its dialog.
#define IDC_PROGRESS_FOLDER 610
#define IDC_PROGRESS_COUNTS 611
#define IDC_PREVIEW_AREA 1007
