#pragma once

#include "toolkit/IToolkitBackend.h"

#include <QString>

#include <optional>
#include <string>

class QWidget;

// The file and folder dialogs of the Qt backend: Qt's own dialog widgets (the same on every
// desktop and on the offscreen platform), modal over owner. Paths come back in the active code
// page; nullopt when the user cancels.
std::optional<std::string> QtOpenFileDialog(QWidget* owner, const FileDialogOptions& options);
std::optional<std::string> QtSaveFileDialog(QWidget* owner, const FileDialogOptions& options);
std::optional<std::string> QtFolderDialog(QWidget* owner, const CDuiString& title, const CDuiString& initialFolder);

// The Qt name filter for a filter: "description (pattern pattern ...)", patterns deduplicated;
// an empty pattern list gives all files. The dialogs show only the description part (which may
// name its patterns itself); Qt filters by the patterns in the last parentheses.
QString QtNameFilter(const FileDialogFilter& filter);
