#pragma once
// Skinned scroll bars for the native views of the pages (tree views, text views, list widgets).
// The main window loads the scroll-bar skin sheet once (image/lumaret-scrollskin.bmp, 114 x 114)
// and hands it to every attach. Window thread only.
#include "platform/gui/Image.h"

class QWidget;

namespace platform {

// Gives a scrolling view (any QAbstractScrollArea: QTreeWidget, QTextEdit, QPlainTextEdit,
// QListWidget) scroll bars drawn from `skin`, with the skin's auto-repeat and thumb dragging; the
// view keeps its range, page and position. The view owns what is installed and frees it when it
// goes. Returns false and leaves the view untouched when `view` is null or does not scroll, when
// `skin` is null or smaller than 114 x 114, or when the view is already skinned (the first skin
// stays).
bool attachSkinScrollbar(QWidget* view, const Image& skin);

// Gives the view plain scroll bars again, keeping range, page and position. False when the view
// was not skinned.
bool detachSkinScrollbar(QWidget* view);

// True while the view wears the skin.
bool hasSkinScrollbar(const QWidget* view);

}  // namespace platform
