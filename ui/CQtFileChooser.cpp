// Qt's open-file dialog with the settings of the window's two choosers.
#include "CQtFileChooser.h"

#include <QFileDialog>

QStringList CQtFileChooser::ChooseFiles(QWidget* owner, const CChooserRequest& request) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // ExistingFiles: several at once, and only files that exist.
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(request.m_filters);
    if (!request.m_filters.isEmpty()) dialog.selectNameFilter(request.m_filters.front());
    dialog.setDefaultSuffix(request.m_defaultSuffix);
    // Read-only files are chosen like any other; a job reports what it cannot write.
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}
