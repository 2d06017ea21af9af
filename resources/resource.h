// Identifiers of the program's resources and of the controls of its dialogs.
// The two dialogs share the values 1021 and 1022 (check boxes in both).
#ifndef ZUNTA_RESOURCE_H
#define ZUNTA_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

// Dialog templates
#define IDD_MAIN                101
#define IDD_OPTIONS             104

// Icons
#define IDI_ZUNTA               106
#define IDI_MOVE_UP             109
#define IDI_MOVE_DOWN           112

// Main dialog
#define IDC_OPTIONS             1003
#define IDC_FILE_LIST           1005
#define IDC_ADD_FILES           1006
#define IDC_ADD_FOLDER          1007
#define IDC_MOVE_UP             1008
#define IDC_MOVE_DOWN           1009
#define IDC_CLEAR_ALL           1010
#define IDC_PROCESS             1011
#define IDC_PROCESS_ALL         1012
#define IDC_RESULT              1013
#define IDC_OPEN_CURRENT_LOG    1014
#define IDC_OPEN_ARCHIVE_LOG    1015
#define IDC_PROGRESS            1018
#define IDC_CALC_CRC32          1021
#define IDC_ALWAYS_ON_TOP       1022
#define IDC_CALC_MD5            1023
#define IDC_PROGRESS_TEXT       1025
#define IDC_STATUS_TEXT         1026

// Options dialog
#define IDC_LANGUAGE            1017
#define IDC_LOWER_CRC32         1021
#define IDC_LOWER_MD5           1022
#define IDC_SHORTCUT_NAME       1028
#define IDC_SENDTO              1029

// Context menu of the file list
#define IDM_COPY_CRC32          2001
#define IDM_COPY_MD5            2002
#define IDM_COPY_PATH           2003
#define IDM_COPY_ROW            2004
#define IDM_COPY_RESULTS        2005
#define IDM_COMPARE             2006
#define IDM_SAVE_SUMS           2007
#define IDM_VERIFY_SUMS         2008
#define IDM_OPEN_FOLDER         2009
#define IDM_CHECK_HISTORY       2010
#define IDM_COPY_SHA256         2011
#define IDM_EXPORT_LIST         2012
#define IDM_SHELL_VERIFY        2013
#define IDM_COPY_BLAKE3         2020

#endif
