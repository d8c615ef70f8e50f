// The editor's windows, each in its own file: the main window with its
// panes and menus, the page list, the canvas and the page settings pane.
// What each pane offers the others.
#pragma once

#include <windows.h>

#include <cstdint>

// editor_window.cpp
int RegisterEditorWindow(HINSTANCE instance);
HWND CreateEditorWindow(HINSTANCE instance, int show);
void UpdateTitle();
void UpdateMenus();
void LayoutPanes();
// Moves the keyboard focus to the next (or previous) pane.
void FocusNextPane(int forward);
// Scales a length in pixels at 96 dots per inch to the window's resolution.
int Scaled(int pixels);

// page_list.cpp
int RegisterPageList(HINSTANCE instance);
HWND CreatePageList(HWND parent);
// The pages changed (all of them, or only which one is current).
void PageListChanged(int scope);
// Stops the thumbnail worker and frees every thumbnail.
void ShutPageList();

// canvas.cpp
int RegisterCanvas(HINSTANCE instance);
HWND CreateCanvas(HWND parent);
void CanvasChanged(int scope);
// The page rectangle of the current page in the canvas' client area.
void CanvasPageRect(RECT *page);

// settings_pane.cpp
HWND CreateSettingsPane(HWND parent);
void SettingsPaneChanged();

// music_pane.cpp
HWND CreateMusicPane(HWND parent);
// Its height as made, in pixels.
int MusicPaneHeight();
void MusicPaneChanged();
// 1 while the music list has the keyboard focus (Alt+Up/Down then move a track).
int MusicListHasFocus();
void MoveMusicSelection(int by);
