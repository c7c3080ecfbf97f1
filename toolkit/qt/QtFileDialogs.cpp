#include "toolkit/qt/QtFileDialogs.h"

#include "toolkit/qt/QtText.h"

#include <QFileDialog>
#include <QStringList>

namespace {

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

std::optional<std::string> QtFolderDialog(QWidget* owner, const CDuiString& title)
{
    QFileDialog dialog(owner);
    if (!title.IsEmpty())
        dialog.setWindowTitle(AnsiToQString(title.GetData()));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    return Run(dialog);
}
