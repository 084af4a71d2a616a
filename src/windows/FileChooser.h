#pragma once
#include "core/Paths.h"

#include <QFileDialog>

// The open dialog of "Convert a File…": files and folders may be chosen together, and
// "Choose" takes a selected folder instead of opening it (a double click still opens it).
class FileChooser : public QFileDialog {
    Q_OBJECT
public:
    explicit FileChooser(QWidget* parent = nullptr);
    // What was chosen, absolute; empty until the dialog is accepted.
    const Paths& chosen() const { return chosen_; }

public slots:
    void accept() override;

private:
    Paths chosen_;
};
