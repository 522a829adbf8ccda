// The results dialog: the text, read-only, and a button to close it.
#include "CResultsDlg.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "CSkinButton.h"
#include "Skin.h"
#include "TrackedNew.h"

CResultsDlg::CResultsDlg(const QString& results, QWidget* parent) : CVelDialog(parent) {
    setWindowTitle(QStringLiteral("Lintrim results"));
    setFont(QFont(QString::fromLatin1(skin::kFontFamily), skin::kFontPoints));
    auto* column = LINTRIM_NEW QVBoxLayout(this);
    m_text = LINTRIM_NEW QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setAccessibleName(QStringLiteral("results of the last run"));
    m_text->setPlainText(results.isEmpty() ? QStringLiteral("no run yet") : results);
    column->addWidget(m_text);
    auto* row = LINTRIM_NEW QHBoxLayout();
    auto* close = LINTRIM_NEW CSkinButton(QStringLiteral("Close"), this);
    row->addStretch();
    row->addWidget(close);
    column->addLayout(row);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    SetGrayTextColor(skin::kGrayText);
    SetBackgroundColor(skin::kBackground);
    resize(420, 160);
}
