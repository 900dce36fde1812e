// Identifiers of the monitor's resources, shared by the .rc files and the code.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_QUOTA_DETAILS 134

// Tray pop-up menu (same number as the tray icon id)
#define IDR_TRAY_MENU 129

// Icons
#define IDI_DRIVE_OK 135       // drive with a green check mark
#define IDI_DRIVE_WARNING 136  // drive with a yellow exclamation mark
#define IDI_DRIVE 137          // drive alone (program icon, first blink frame)
#define IDI_DRIVE_DANGER 138   // drive with a red exclamation mark
#define IDI_DRIVE_UNKNOWN 139  // drive with a cyan question mark

// Cursor
#define IDC_HAND_LINK 155

// Commands
#define ID_QUOTA_DETAILS 32776
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// The tray menu's "Remind me later": three snooze lengths, and, while a
// snooze runs, the line that says until when (never chosen: grayed) and the
// command that ends it. Between the other commands' ids and the string ids.
#define ID_SNOOZE_HOUR 32778
#define ID_SNOOZE_FOUR_HOURS 32779
#define ID_SNOOZE_MORNING 32780
#define ID_SNOOZE_STATE 32781
#define ID_SNOOZE_RESUME 32782

// Strings
#define IDS_PROGRAM_TITLE 57344
#define IDS_DISK_SPACE_USED 57360
#define IDS_ON 57361
#define IDS_STATUS_OK 57362
#define IDS_STATUS_WARNING 57363
#define IDS_STATUS_DANGER 57364
#define IDS_STATUS_UNKNOWN 57365
#define IDS_FREE 57366

// Controls of the details window
#define IDC_PERCENT_BAR 1001
#define IDC_STATUS_TEXT 1004
#define IDC_AUTO_SHOW 1005
#define IDC_BALANCE 1008
#define IDC_LOW_LIMIT 1009
#define IDC_PRINT_HELP_LINK 1012
#define IDC_QUOTA_HELP_LINK 1013
#define IDC_LOGIN_NAME 57345
#define IDC_SERVER_NAME 57346
#define IDC_SERVER_PATH 57347
#define IDC_VOL_USED 57348
#define IDC_VOL_LIMIT 57349
#define IDC_DIR_USED 57350
#define IDC_DIR_LIMIT 57351
#define IDC_PERCENT_TEXT 57352
#define IDC_PARAMETER_LINE 57356
#define IDC_WATCHED_PATH 57357
#define IDC_DIR_FREE 57358
#define IDC_VOL_FREE 57359

// The "what uses the space" window, its command and the details window's
// button that opens it
#define IDD_LARGEST_ITEMS 140
#define ID_LARGEST_ITEMS 32777
#define IDC_LARGEST_ITEMS_BUTTON 1014
#define IDC_LARGEST_LIST 1020
#define IDC_LARGEST_STATUS 1021
#define IDC_LARGEST_COUNTS 1022
#define IDC_LARGEST_OPEN 1023
#define IDC_LARGEST_COPY 1024
#define IDC_LARGEST_STOP 1025
#define IDS_LARGEST_FOLDER 59200
#define IDS_LARGEST_FILE 59201
#define IDS_LARGEST_COLUMN_KIND 59202
#define IDS_LARGEST_COLUMN_SIZE 59203
#define IDS_LARGEST_COLUMN_SHARE 59204
#define IDS_LARGEST_COLUMN_PATH 59205
#define IDS_LARGEST_READING 59206
#define IDS_LARGEST_DONE 59207
#define IDS_LARGEST_PARTIAL 59208
#define IDS_LARGEST_ROOT_FAILED 59209
#define IDS_LARGEST_COUNTS 59210
#define IDS_LARGEST_CANNOT_OPEN 59211
