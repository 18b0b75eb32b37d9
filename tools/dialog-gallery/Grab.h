#ifndef NOCTAVI_TOOLS_DIALOGGALLERY_GRAB_H
#define NOCTAVI_TOOLS_DIALOGGALLERY_GRAB_H

#include <QPixmap>

#include <functional>

class QMenu;
class QWidget;

// How the gallery turns a window into a picture, without waiting on any of it.

// Shows the window (offscreen), takes its picture and hides it again.
QPixmap GrabWindow(QWidget& window);

// The window as it sits on the primary screen's work area, drawn as
// GrabWindow draws it over a plain desktop.
QPixmap GrabOnWorkArea(QWidget& window);

// Opens the menu as the tray host would (so it rebuilds what it rebuilds on
// opening), takes its picture and closes it.
QPixmap GrabMenu(QMenu& menu);

// The message box that the call would wait on, built and pictured instead.
QPixmap GrabMessageBox(const std::function<void()>& show);

// Each icon at the tray's and the lists' sizes on a light and a dark panel,
// and enlarged for a close look.
QPixmap IconSheet();

#endif
