/* Resource ids shared by harvio.rc and the window code. Named resources
   (MENU_MAIN, ACCEL, BIG, ...) are referred to by their names. */
#ifndef HARVIO_RES_RESOURCE_H
#define HARVIO_RES_RESOURCE_H

/* Commands: menu items, accelerators and toolbar buttons. The status-bar
   help of command N is string N - 4000, its toolbar caption N - 3960. */
#define CMD_NEW_TASK 5000
#define CMD_DELETE_TASK 5001
#define CMD_START_TASK 5002
#define CMD_PAUSE_TASK 5003
#define CMD_MOVE_UP 5004
#define CMD_MOVE_DOWN 5005
#define CMD_TASK_PROPERTIES 5006
#define CMD_OPEN_SAVE_FOLDER 5007
#define CMD_OPTIONS 5008
#define CMD_HELP 5009
#define CMD_ABOUT 5010
#define CMD_EXIT 5011
#define CMD_SHOW_CAPTIONS 5012
#define CMD_SHOW_GRID_LINES 5013
#define CMD_SHUTDOWN_WHEN_DONE 5014
#define CMD_SEND_MAIL 5015
#define CMD_HOME_PAGE 5016
#define CMD_SHOW_WINDOW 5017
#define CMD_SELECT_ALL 5018

#define CMD_FIRST CMD_NEW_TASK
#define CMD_LAST CMD_SELECT_ALL

/* String ids the window code names directly. */
#define IDS_READY 1017
#define IDS_HELP_FIRST 1000
#define IDS_TOOLBAR_FIRST 1040

/* Task list and thread list (lists): child ids of the two views. */
#define IDC_TASK_LIST 5170
#define IDC_THREAD_LIST 5171

/* --- options: the options sheet's two pages and their controls, and the
   texts its code names */
#define IDD_OPTIONS_GENERAL 5110
#define IDC_KEEP_WINDOW 5111
#define IDC_HIDE_ON_MIN 5112
#define IDC_WORK_PATH 5113
#define IDC_BROWSE_WORK_PATH 5114
#define IDC_GENERAL_DEFAULTS 5115
#define IDD_OPTIONS_CONNECT 5120
#define IDC_CONN_TIMEOUT 5121
#define IDC_CONN_TIMEOUT_SPIN 5122
#define IDC_DATA_TIMEOUT 5123
#define IDC_DATA_TIMEOUT_SPIN 5124
#define IDC_RETRY_WAIT 5125
#define IDC_RETRY_WAIT_SPIN 5126
#define IDC_WEB2_RETRIES 5127
#define IDC_WEB2_RETRIES_SPIN 5128
#define IDC_WEB1_RETRIES 5129
#define IDC_WEB1_RETRIES_SPIN 5130
#define IDC_PIC_RETRIES 5131
#define IDC_PIC_RETRIES_SPIN 5132
#define IDC_CONNECT_DEFAULTS 5133
#define IDC_MAX_PICTURE_KB 5134
#define IDC_MAX_PICTURE_KB_SPIN 5135
#define IDS_INVALID_PATH 1462
#define IDS_CHOOSE_FOLDER 1463
#define IDS_OPTIONS_TITLE 1490
/* --- end options */

/* Main window: the power-off countdown and the About box. */
#define IDD_SHUTDOWN 5140
#define IDC_SHUTDOWN_TEXT 5141
#define IDD_ABOUT 5150
#define IDC_ABOUT_VERSION 5151
#define IDC_ABOUT_LINE1 5152
#define IDC_ABOUT_LINE2 5153
#define IDC_ABOUT_MAIL 5154
#define IDC_ABOUT_WEB 5155
/* Main window: the browser pane and the separator line. */
#define IDC_BROWSER_PANE 5160
#define IDC_SEPARATOR_LINE 5161
#define IDC_TOOLBAR 5162
#define IDC_REBAR 5163
#define IDC_STATUS_BAR 5164

/* --- wizard: the new-task wizard's pages (also the task properties
   sheet's), the Add-URL dialog and their controls */
#define IDD_SOURCE_PAGE 5050
#define IDC_SOURCE_TITLE 5051
#define IDC_SOURCE_TREE 5052
#define IDD_PROGRAM_PAGE 5060
#define IDC_PROGRAM_TITLE 5061
#define IDC_SAVE_PATH 5062
#define IDC_BROWSE 5063
#define IDC_THREAD_COUNT 5064
#define IDC_THREAD_SPIN 5065
#define IDC_CLASSIFY 5066
#define IDC_NOTES 5067
#define IDD_FINISH_PAGE 5070
#define IDC_FINISH_TITLE 5071
#define IDD_SEARCH_PAGE 5080
#define IDC_SEARCH_TITLE 5081
#define IDC_KEYWORD 5082
#define IDC_SIZE_OPTION 5083
#define IDD_CUSTOM_PAGE 5090
#define IDC_CUSTOM_TITLE 5091
#define IDC_URL_COUNT 5092
#define IDC_ADD_URL 5093
#define IDC_CLEAR_URLS 5094
#define IDC_JPG_LARGE 5095
#define IDC_JPG_SMALL 5096
#define IDC_GIF 5097
#define IDC_PNG 5098
#define IDC_WEBP 5099
#define IDD_ADD_URL 5100
#define IDC_URL_ENTRY 5101
#define IDC_FROM 5102
#define IDC_FROM_SPIN 5103
#define IDC_TO 5104
#define IDC_TO_SPIN 5105
#define IDC_FIXED_WIDTH 5106
#define IDC_PREVIEW 5107
/* --- end wizard */

#endif
