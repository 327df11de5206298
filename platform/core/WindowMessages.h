#pragma once
// The program's own window messages, every WM_USER + n number in one place, so that a sender and
// its receiver can never disagree and a new message can be given a number no other one in the same
// window already has. Grouped by the window that answers them; wParam and lParam are 0 unless said.
#include "platform/core/WinTypes.h"

// The conversion page: repaint the page (posted from outside the window thread).
constexpr UINT WM_REPAINT_PAGE = WM_USER + 1;
// The uninstaller's window: wParam the stage, lParam its value (see UninstallProcedure.h).
constexpr UINT WM_UNINSTALL_PROGRESS = WM_USER + 1;

// The main window (and the control gallery), from the skin colour pop-up: wParam as CSkinColor.h
// describes.
constexpr UINT WM_SKIN_CHANGED = WM_USER + 2;
// The main window, sent by the profile page after an accepted edit of an existing profile.
constexpr UINT WM_PROFILE_SAVED = WM_USER + 3;
// The main window, posted by the add-files page's "add-config": show the chosen profile in the
// editor.
constexpr UINT WM_EDIT_PROFILE = WM_USER + 4;
// The main window's tray icon reports its mouse messages with this number (see TrayIcon.h).
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 5;
// The main window, sent by the profile page after every write of the profile files: an added,
// deleted or edited profile.
constexpr UINT WM_PROFILES_STORED = WM_USER + 6;

// Posted by the main window to itself so that boxes with loops of their own open after the click's
// notification has returned.
constexpr UINT WM_RUN_EXIT = WM_USER + 20;
constexpr UINT WM_RUN_ABOUT = WM_USER + 21;
constexpr UINT WM_RUN_COMMAND_FILE = WM_USER + 22;

// The control gallery, posted to itself: wParam the index of the action to run.
constexpr UINT WM_GALLERY_ACTION = WM_USER + 100;
