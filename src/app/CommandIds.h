#pragma once
// The numeric command ids of the menus, accelerators and toolbar. Every
// QAction carries its id in the property "commandId", so that tests and
// tools can find a command whatever its caption.

namespace kyklos {

enum CommandId : int {
    ID_DISPLAY_SCALING = 32771,
    ID_DISPLAY_WEB_SITE = 32772,
    ID_DISPLAY_CENTERED_PROFILE = 32774,
    ID_ANALYSIS_FILTERING = 32775,
    ID_ANALYSIS_REFERENCE_CIRCLE = 32776,
    ID_DISPLAY_REFERENCE_CIRCLE = 32778,
    ID_DISPLAY_RAW_DATA = 32779,
    ID_FILE_EXPORT = 32780,
    ID_VIEW_EVALUATION = 32781,
    ID_ANALYSIS_TOLERANCE = 32782,
    ID_VIEW_OPTIONS = 32783,
    ID_ANALYSIS_FILTER_OPTIONS = 32790,
    ID_ANALYSIS_EXCLUDED_SECTORS = 32791,
    ID_FILE_SAVE_PROFILE_AS = 32784,
    ID_ANALYSIS_UNCERTAINTY = 32795,

    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616, // the recent files' entries, 57616 to 57619
    ID_FILE_MRU_FILE4 = 57619,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

// The names of the QAction properties that keep a command's identity.
inline constexpr char kCommandIdProperty[] = "commandId";
// The caption as the menu resource writes it, shortcut text after a tab included.
inline constexpr char kCaptionProperty[] = "caption";

} // namespace kyklos
