#include "app/uFolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

bool TFolderDialog::Execute(QWidget *parent)
{
    QFileDialog dialog(parent, Title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::FileName, u"フォルダー"_s);
    dialog.setLabelText(QFileDialog::Accept, u"選択"_s);
    dialog.setLabelText(QFileDialog::Reject, u"キャンセル"_s);
    const QFileInfo start(Directory);
    if (!Directory.isEmpty() && start.isDir()) {
        const QString folder = QDir::cleanPath(start.absoluteFilePath());
        dialog.setDirectory(folder);
        dialog.selectFile(folder);
    } else {
        dialog.setDirectory(QDir::rootPath());
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty() && !chosen.first().isEmpty())
        Directory = QDir::toNativeSeparators(chosen.first());
    return true;
}
