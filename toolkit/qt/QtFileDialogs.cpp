#include "toolkit/qt/QtFileDialogs.h"

#include "toolkit/qt/QtText.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace {

// Opens the dialog in `folder` when it is one, else in the user's home folder (never in the
// program's own folder, where Qt would start).
void StartIn(QFileDialog& dialog, const CDuiString& folder)
{
    const QString wanted = AnsiToQString(folder.GetData());
    dialog.setDirectory(!wanted.isEmpty() && QFileInfo(wanted).isDir() ? wanted : QDir::homePath());
}

std::optional<std::string> Run(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty())
        return std::nullopt;
    return QStringToAnsi(chosen.front());
}

void Prepare(QFileDialog& dialog, const FileDialogOptions& options)
{
    if (!options.title.IsEmpty())
        dialog.setWindowTitle(AnsiToQString(options.title.GetData()));
    dialog.setNameFilter(QtNameFilter(options.filter));
    // The description names the patterns in its own words; Qt's copy of them is not shown.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    StartIn(dialog, options.initialFolder);
}

} // namespace

QString QtNameFilter(const FileDialogFilter& filter)
{
    QStringList patterns;
    for (const QString& pattern : AnsiToQString(filter.patterns.GetData()).split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (!trimmed.isEmpty() && !patterns.contains(trimmed))
            patterns << trimmed;
    }
    if (patterns.isEmpty())
        patterns << QStringLiteral("*");
    QString description = AnsiToQString(filter.description.GetData()).trimmed();
    if (description.isEmpty())
        description = patterns.join(u' ');
    return description + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

std::optional<std::string> QtOpenFileDialog(QWidget* owner, const FileDialogOptions& options)
{
    QFileDialog dialog(owner);
    Prepare(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return Run(dialog);
}

std::optional<std::string> QtSaveFileDialog(QWidget* owner, const FileDialogOptions& options)
{
    QFileDialog dialog(owner);
    Prepare(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // An existing file is replaced without asking, as the program's save has always done.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!options.defaultExtension.IsEmpty())
        dialog.setDefaultSuffix(AnsiToQString(options.defaultExtension.GetData()));
    return Run(dialog);
}

std::optional<std::string> QtFolderDialog(QWidget* owner, const CDuiString& title, const CDuiString& initialFolder)
{
    QFileDialog dialog(owner);
    if (!title.IsEmpty())
        dialog.setWindowTitle(AnsiToQString(title.GetData()));
    StartIn(dialog, initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    return Run(dialog);
}
