// The open-file chooser as the main window sees it: a question (filters,
// default suffix) and the chosen paths as the answer. Behind an interface so
// that tests can answer in place of a person.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

struct CChooserRequest {
    QStringList m_filters;    // the first one is selected
    QString m_defaultSuffix;  // added to a typed name without one
};

class CFileChooser {
public:
    virtual ~CFileChooser() = default;

    // Lets the user pick one or more existing files; the full paths in the
    // order the chooser hands them out, none when cancelled.
    virtual QStringList ChooseFiles(QWidget* owner, const CChooserRequest& request) = 0;
};
