#include "windows/FileChooser.h"

#include <QFileInfo>

FileChooser::FileChooser(QWidget* parent) : QFileDialog(parent)
{
    // The desktop's own dialogs choose either files or folders, never both.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setLabelText(QFileDialog::Accept, "Choose");
    setWindowTitle("Convert a File");
}

void FileChooser::accept()
{
    const QStringList files = selectedFiles();
    for (const QString& file : files) {
        // The dialog itself says what is wrong with a name that does not exist.
        if (!QFileInfo::exists(file)) return QFileDialog::accept();
    }
    if (files.isEmpty()) return;
    chosen_.clear();
    for (const QString& file : files) chosen_.push_back(absoluteNormal(file.toStdString()));
    done(QDialog::Accepted);
}
