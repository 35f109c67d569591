#pragma once

// Identifiers of commands, resources, strings and controls. 32771 to 32774
// are the program's own; the rest are the framework's standard values, which
// its built-in handlers and its string lookups expect.

#include "core/Types.h"

// ---- Resources ----------------------------------------------------------------

// Menu, accelerators, toolbar, its image strip, the application icon and the
// document template string all share this id.
inline constexpr UINT IDR_MAINFRAME = 128;
inline constexpr UINT IDI_DOCUMENT = 129;
inline constexpr UINT IDD_ABOUTBOX = 100;
inline constexpr UINT IDD_PALETTE = 130;

// ---- Controls -----------------------------------------------------------------

inline constexpr int IDC_PALETTE_SWATCH = 1000;

// ---- Commands -----------------------------------------------------------------

inline constexpr UINT ID_VIEW_DIB_PALETTE = 32771;
inline constexpr UINT ID_VIEW_CURRENT_PALETTE = 32772;
inline constexpr UINT ID_VIEW_ENLARGE = 32773;
inline constexpr UINT ID_VIEW_SHRINK = 32774;

inline constexpr UINT ID_FILE_NEW = 57600;
inline constexpr UINT ID_FILE_OPEN = 57601;
inline constexpr UINT ID_FILE_CLOSE = 57602;
inline constexpr UINT ID_FILE_SAVE = 57603;
inline constexpr UINT ID_FILE_SAVE_AS = 57604;
inline constexpr UINT ID_FILE_PRINT = 57607;
// Recent-file entries are numbered on from the first; the list holds four.
inline constexpr UINT ID_FILE_MRU_FILE1 = 57616;
inline constexpr UINT ID_FILE_MRU_FILE2 = 57617;
inline constexpr UINT ID_FILE_MRU_FILE3 = 57618;
inline constexpr UINT ID_FILE_MRU_FILE4 = 57619;
inline constexpr UINT ID_FILE_MRU_FILE5 = 57620;
inline constexpr UINT ID_FILE_MRU_FILE6 = 57621;
inline constexpr UINT ID_FILE_MRU_FILE7 = 57622;
inline constexpr UINT ID_FILE_MRU_FILE8 = 57623;
inline constexpr UINT ID_FILE_MRU_FILE9 = 57624;
inline constexpr UINT ID_FILE_MRU_FILE10 = 57625;
inline constexpr UINT ID_FILE_MRU_FILE11 = 57626;
inline constexpr UINT ID_FILE_MRU_FILE12 = 57627;
inline constexpr UINT ID_FILE_MRU_FILE13 = 57628;
inline constexpr UINT ID_FILE_MRU_FILE14 = 57629;
inline constexpr UINT ID_FILE_MRU_FILE15 = 57630;
inline constexpr UINT ID_FILE_MRU_FILE16 = 57631;

inline constexpr UINT ID_EDIT_CLEAR = 57632;
inline constexpr UINT ID_EDIT_CLEAR_ALL = 57633;
inline constexpr UINT ID_EDIT_COPY = 57634;
inline constexpr UINT ID_EDIT_CUT = 57635;
inline constexpr UINT ID_EDIT_FIND = 57636;
inline constexpr UINT ID_EDIT_PASTE = 57637;
inline constexpr UINT ID_EDIT_REPEAT = 57640;
inline constexpr UINT ID_EDIT_REPLACE = 57641;
inline constexpr UINT ID_EDIT_SELECT_ALL = 57642;
inline constexpr UINT ID_EDIT_UNDO = 57643;
inline constexpr UINT ID_EDIT_REDO = 57644;

inline constexpr UINT ID_WINDOW_SPLIT = 57653;

inline constexpr UINT ID_APP_ABOUT = 57664;
inline constexpr UINT ID_APP_EXIT = 57665;

inline constexpr UINT ID_NEXT_PANE = 57680;
inline constexpr UINT ID_PREV_PANE = 57681;

inline constexpr UINT ID_VIEW_TOOLBAR = 59392;
inline constexpr UINT ID_VIEW_STATUS_BAR = 59393;

// ---- Strings ------------------------------------------------------------------

inline constexpr UINT AFX_IDS_APP_TITLE = 57344;
inline constexpr UINT AFX_IDS_IDLEMESSAGE = 57345;

// Status-bar indicators: the pane's id is its text's string id.
inline constexpr UINT ID_INDICATOR_EXT = 59136;
inline constexpr UINT ID_INDICATOR_CAPS = 59137;
inline constexpr UINT ID_INDICATOR_NUM = 59138;
inline constexpr UINT ID_INDICATOR_SCRL = 59139;
inline constexpr UINT ID_INDICATOR_OVR = 59140;
inline constexpr UINT ID_INDICATOR_REC = 59141;

// Prompts for the system menu's commands: system command c has string
// AFX_IDS_SCSIZE + (c - 0xF000) / 16.
inline constexpr UINT AFX_IDS_SCSIZE = 61184;
inline constexpr UINT AFX_IDS_SCMOVE = 61185;
inline constexpr UINT AFX_IDS_SCMINIMIZE = 61186;
inline constexpr UINT AFX_IDS_SCMAXIMIZE = 61187;
inline constexpr UINT AFX_IDS_SCNEXTWINDOW = 61188;
inline constexpr UINT AFX_IDS_SCPREVWINDOW = 61189;
inline constexpr UINT AFX_IDS_SCCLOSE = 61190;
inline constexpr UINT AFX_IDS_SCRESTORE = 61202;
inline constexpr UINT AFX_IDS_SCTASKLIST = 61203;
