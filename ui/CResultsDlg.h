// The results of the last run in a dialog of the window's skin: every list
// with its counts by reason, or its failure and cause, one a line.
#pragma once

#include <QPlainTextEdit>

#include "CVelDialog.h"

class CResultsDlg : public CVelDialog {
    Q_OBJECT

public:
    CResultsDlg(const QString& results, QWidget* parent = nullptr);
    QString Text() const { return m_text->toPlainText(); }

private:
    QPlainTextEdit* m_text = nullptr;
};
